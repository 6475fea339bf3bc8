#pragma once

#include "core/console/console_output.h"
#include "core/console/console_window.h"
#include "core/console/server_console.h"
#include "platform/win/win_run_record.h"

#include <optional>
#include <string>

namespace varno {

// The game's console window ("Q3 WinConsole") of the process with that id, or of any process for 0; null when
// there is none. A void* stands for the window handle, so that callers need no Windows header.
void* findConsoleWindow(unsigned long processId = 0);
// The id of the process that owns the window.
unsigned long consoleProcessId(void* consoleWindow);

// A game console window and its process.
struct ServerConsoleWindow {
    void* window = nullptr;
    RunRecord process;
};
// The console window of the place's server, as recordedServerAmong picks it: never one of another profile's server.
std::optional<ServerConsoleWindow> findServerConsole(const RunRecordPlace& place);
// The whole text of the console window's output control; nothing when there is no such control or it hangs.
std::optional<std::string> consoleWindowText(void* consoleWindow);

// The server console on Windows: the selected server's top-level window of class "Q3 WinConsole", whatever its
// title, and its first child of class "Edit" as the input field. Both are looked up again on every call.
class WinConsole : public ServerConsole {
public:
    explicit WinConsole(RunRecordPlaceSource place = {});
    bool exists() override;
    bool bringInputToForeground() override;

private:
    RunRecordPlaceSource m_place;
};

// The game opens its console window in front by itself; there is nothing to open and nothing to attach.
class WinConsoleWindowOpener : public ConsoleWindowOpener {
public:
    explicit WinConsoleWindowOpener(RunRecordPlaceSource place = {});
    Opening open(const std::string& consoleName) override;
    bool attached(const std::string& consoleName) override;
    std::string attachCommand(const std::string& consoleName) const override;

private:
    RunRecordPlaceSource m_place;
};

// The selected server's console window's output: its read-only multi-line "Edit" child, whose text the game
// appends to.
class WinConsoleOutput : public ConsoleOutputReader {
public:
    explicit WinConsoleOutput(RunRecordPlaceSource place = {});
    std::optional<std::vector<std::string>> recentLines(std::size_t maxLines) override;

private:
    RunRecordPlaceSource m_place;
};

} // namespace varno
