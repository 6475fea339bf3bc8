#pragma once

#include <string_view>

namespace varno {

// The window class of the game's dedicated-server console. On Linux the tmux session that holds the
// server's console carries a name that begins with it.
inline constexpr std::string_view kConsoleWindowClass = "Q3 WinConsole";

} // namespace varno
