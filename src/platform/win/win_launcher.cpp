#include "platform/win/win_launcher.h"

#include "core/console/console_names.h"
#include "platform/win/win_console.h"
#include "platform/win/win_process.h"

#include <windows.h>

#include <utility>

namespace varno {

namespace {

constexpr unsigned kStartWaitMs = 100;

} // namespace

WinLauncher::WinLauncher(RunRecordPlaceSource place)
    : m_place(std::move(place))
{
}

WinLauncher::~WinLauncher() = default;

RunRecordPlace WinLauncher::place() const
{
    return m_place ? m_place() : RunRecordPlace();
}

void WinLauncher::record(const WinProcess& process) const
{
    // A record that cannot be kept is no reason to fail: this launcher still has its process, only the console
    // bridge and a later run will not find it.
    if (const std::uint64_t createdAt = process.creationTime())
        writeRunRecord(place(), {process.id(), createdAt});
}

std::optional<std::string> WinLauncher::gameProgram(const std::string&) const
{
    return std::string(kWindowsGameProgram);
}

LaunchOutcome WinLauncher::start(const std::string& gameFolder, const std::string& commandLine)
{
    // No working folder is passed: the game starts in the current folder, which the launch has made
    // the game folder, and is searched for there. Without that folder nothing is started, rather than a
    // program of the same name in whatever folder happens to be current.
    LaunchOutcome outcome;
    if (!SetCurrentDirectoryA(gameFolder.c_str()))
        return outcome;
    auto process = std::make_unique<WinProcess>();
    if (!process->start(commandLine))
        return outcome;
    // Before the wait, so that its console is never taken for a server without a record meanwhile.
    record(*process);
    outcome.exitCode = static_cast<int>(process->wait(kStartWaitMs));
    // A crash ends a Windows program with its exception code, a negative number that would read as "not started".
    if (outcome.exitCode < 0)
        outcome.problem = "The server ended at once (" + describeEnd({outcome.exitCode, 0}) + ")";
    // The console is the game's own window, named by its class.
    outcome.consoleName = std::string(kConsoleWindowClass);
    m_process = std::move(process);
    m_stopRequested = false;
    return outcome;
}

ServerState WinLauncher::poll()
{
    ServerState state;
    if (!m_process)
        return state;
    state.stopRequested = m_stopRequested;
    const long code = m_process->wait(0);
    if (code == kStillActive) {
        state.kind = ServerState::Kind::Running;
    } else {
        state.kind = ServerState::Kind::Ended;
        state.end.exitCode = static_cast<int>(code);
    }
    return state;
}

std::string WinLauncher::consoleText()
{
    // Readable while the game's console window is there: a game that ended took it along.
    if (!m_process)
        return {};
    void* console = findConsoleWindow(m_process->id());
    return console ? consoleWindowText(console).value_or(std::string()) : std::string();
}

bool WinLauncher::adopt()
{
    // A running game shows its console window; of those, the one of this launcher's server.
    const auto console = findServerConsole(place());
    if (!console)
        return false;
    auto process = std::make_unique<WinProcess>();
    if (!process->open(console->process.processId) || process->wait(0) != kStillActive)
        return false;
    // The id may have passed to another process since the window was found.
    if (console->process.createdAt != 0 && process->creationTime() != console->process.createdAt)
        return false;
    record(*process);
    m_process = std::move(process);
    m_stopRequested = false;
    return true;
}

bool WinLauncher::stop(std::chrono::milliseconds grace)
{
    if (!m_process)
        return false;
    m_stopRequested = true;
    // Closing the dedicated server's console window is its quit: the game queues "quit" and ends in order. Posted,
    // so that a hung game cannot hang the caller.
    if (void* console = findConsoleWindow(m_process->id()))
        PostMessageA(static_cast<HWND>(console), WM_CLOSE, 0, 0);
    if (m_process->wait(static_cast<unsigned>(grace.count())) != kStillActive)
        return true;
    m_process->terminate(0);
    return m_process->wait(2000) != kStillActive;
}

} // namespace varno
