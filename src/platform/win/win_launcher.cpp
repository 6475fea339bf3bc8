#include "platform/win/win_launcher.h"

#include "platform/win/win_process.h"

#include <windows.h>

namespace varno {

namespace {

constexpr unsigned kStartWaitMs = 100;

} // namespace

WinLauncher::WinLauncher() = default;
WinLauncher::~WinLauncher() = default;

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
    outcome.exitCode = static_cast<int>(process->wait(kStartWaitMs));
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
    // The game's console window belongs to another process; its text is not read back.
    return {};
}

bool WinLauncher::adopt()
{
    return false;
}

bool WinLauncher::stop(std::chrono::milliseconds grace)
{
    if (!m_process)
        return false;
    m_stopRequested = true;
    if (m_process->wait(static_cast<unsigned>(grace.count())) != kStillActive)
        return true;
    m_process->terminate(0);
    return m_process->wait(2000) != kStillActive;
}

} // namespace varno
