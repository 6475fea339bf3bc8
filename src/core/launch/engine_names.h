#pragma once

#include <span>
#include <string_view>

namespace varno {

// The dedicated-server programs the launch looks for in the game folder where the game is not the
// Windows quake3.exe, in order of preference.
std::span<const std::string_view> engineProgramNames();

// The Windows game program.
inline constexpr std::string_view kWindowsGameProgram = "quake3.exe";

} // namespace varno
