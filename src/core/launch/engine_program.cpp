#include "core/launch/engine_program.h"

#include "core/launch/engine_names.h"

namespace varno {

namespace {

bool isExecutableFile(const std::filesystem::path& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error || !fs::is_regular_file(status))
        return false;
    constexpr auto kAnyExecute = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    return (status.permissions() & kAnyExecute) != fs::perms::none;
}

} // namespace

std::optional<std::filesystem::path> findEngineProgram(const std::filesystem::path& gameFolder)
{
    for (const std::string_view name : engineProgramNames()) {
        std::filesystem::path candidate = gameFolder / name;
        if (isExecutableFile(candidate))
            return candidate;
    }
    return std::nullopt;
}

} // namespace varno
