#include "platform/win/win_launcher.h"

#include "platform/win/win_process.h"

#include <windows.h>

namespace varno {

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
    outcome.exitCode = static_cast<int>(startInNewConsole(commandLine, 100));
    return outcome;
}

} // namespace varno
