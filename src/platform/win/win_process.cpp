#include "platform/win/win_process.h"

#include <windows.h>

#include <vector>

namespace varno {

long startInNewConsole(const std::string& commandLine, unsigned waitMs)
{
    WinProcess process;
    if (!process.start(commandLine))
        return -1;
    return process.wait(waitMs);
}

namespace {

std::uint64_t creationTimeOf(HANDLE process)
{
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return (std::uint64_t(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

} // namespace

std::uint64_t processCreationTime(unsigned long processId)
{
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId));
    if (!process)
        return 0;
    const std::uint64_t created = creationTimeOf(process);
    CloseHandle(process);
    return created;
}

WinProcess::~WinProcess()
{
    if (m_process)
        CloseHandle(m_process);
}

bool WinProcess::start(const std::string& commandLine)
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
        return false;
    CloseHandle(process.hThread);
    if (m_process)
        CloseHandle(m_process);
    m_process = process.hProcess;
    return true;
}

bool WinProcess::open(unsigned long processId)
{
    const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                                       static_cast<DWORD>(processId));
    if (!process)
        return false;
    if (m_process)
        CloseHandle(m_process);
    m_process = process;
    return true;
}

unsigned long WinProcess::id() const
{
    return m_process ? GetProcessId(m_process) : 0;
}

std::uint64_t WinProcess::creationTime() const
{
    return m_process ? creationTimeOf(m_process) : 0;
}

long WinProcess::wait(unsigned waitMs) const
{
    if (!m_process)
        return -1;
    WaitForSingleObject(m_process, waitMs);
    DWORD code = 0;
    return GetExitCodeProcess(m_process, &code) ? static_cast<long>(static_cast<LONG>(code)) : -1;
}

bool WinProcess::terminate(unsigned exitCode) const
{
    return m_process && TerminateProcess(m_process, exitCode);
}

} // namespace varno
