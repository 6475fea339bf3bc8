#include "platform/win/win_process.h"

#include <windows.h>

#include <vector>

namespace varno {

long startInNewConsole(const std::string& commandLine, unsigned waitMs)
{
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, waitMs);
    DWORD code = 0;
    const long exitCode = GetExitCodeProcess(process.hProcess, &code) ? static_cast<long>(code) : -1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

} // namespace varno
