#pragma once

#include "core/console/console_output.h"
#include "core/console/console_window.h"
#include "core/console/server_console.h"

namespace varno {

// The server console on Windows: the top-level window of class "Q3 WinConsole", whatever its title, and its
// first child of class "Edit" as the input field. Both are looked up again on every call.
class WinConsole : public ServerConsole {
public:
    bool exists() override;
    bool bringInputToForeground() override;
};

// The game opens its console window in front by itself; there is nothing to open and nothing to attach.
class WinConsoleWindowOpener : public ConsoleWindowOpener {
public:
    Opening open(const std::string& consoleName) override;
    bool attached(const std::string& consoleName) override;
    std::string attachCommand(const std::string& consoleName) const override;
};

// The console window's output: its read-only multi-line "Edit" child, whose text the game appends to.
class WinConsoleOutput : public ConsoleOutputReader {
public:
    std::optional<std::vector<std::string>> recentLines(std::size_t maxLines) override;
};

} // namespace varno
