#pragma once

#include <filesystem>
#include <optional>

namespace varno {

// The dedicated-server program to start from gameFolder: the first of engineProgramNames(), in that
// order, that is a regular file (a link to one counts) with an execute permission bit set for owner,
// group or others. The result is gameFolder / name; its filename() is the command line's program.
// Nothing when the folder holds none of them or cannot be read.
std::optional<std::filesystem::path> findEngineProgram(const std::filesystem::path& gameFolder);

} // namespace varno
