#include "platform/win/win_web_site.h"

#include <windows.h>

#include <vector>

namespace varno {

std::optional<std::string> openWebSiteWithExplorer(const std::string& address)
{
    const std::string commandLine = "explorer " + address;
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    long exitCode = -1;
    if (CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE,
                       CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, 100);
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code))
            exitCode = static_cast<long>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (exitCode < 0)
        return std::string("Error: file iexplore.exe not found!  Please reinstall Internet Explorer.");
    return std::nullopt;
}

} // namespace varno
