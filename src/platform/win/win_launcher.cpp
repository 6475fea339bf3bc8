#include "platform/win/win_launcher.h"

#include <windows.h>

#include <vector>

namespace varno {

LaunchOutcome WinLauncher::start(const std::string& gameFolder, const std::string& commandLine)
{
    LaunchOutcome outcome;
    // No working folder is passed: the game starts in the current folder, which the launch has made
    // the game folder, and is searched for there.
    SetCurrentDirectoryA(gameFolder.c_str());
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process))
        return outcome;
    WaitForSingleObject(process.hProcess, 100);
    DWORD exitCode = 0;
    if (GetExitCodeProcess(process.hProcess, &exitCode))
        outcome.exitCode = static_cast<int>(exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return outcome;
}

} // namespace varno
