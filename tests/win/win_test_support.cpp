#include "win_test_support.h"

#include "platform/win/win_console.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace varno::wintest {

namespace {

constexpr std::chrono::milliseconds kPollInterval{10};
constexpr DWORD kCloseWaitMs = 5000;

BOOL CALLBACK closeWindowOfProcess(HWND window, LPARAM processId)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId))
        PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

std::vector<DWORD> consoleProcessIds()
{
    std::vector<DWORD> ids;
    for (HWND window = FindWindowExA(nullptr, nullptr, "Q3 WinConsole", nullptr); window;
         window = FindWindowExA(nullptr, window, "Q3 WinConsole", nullptr))
        ids.push_back(consoleProcessId(window));
    return ids;
}

void pumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

} // namespace

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        pumpMessages();
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

std::string readWholeFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

fs::path siblingProgram(const std::string& fileName)
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size())
            return fs::path(std::string(buffer.data(), length)).parent_path() / fileName;
        buffer.resize(buffer.size() * 2);
    }
}

TempFolder::TempFolder(const std::string& purpose)
{
    std::random_device random;
    m_path = fs::temp_directory_path() /
             ("varno-" + purpose + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(random()));
    fs::create_directories(m_path);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

ChildProcess::ChildProcess(HANDLE process)
    : m_process(process)
{
}

ChildProcess::~ChildProcess()
{
    end();
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : m_process(std::exchange(other.m_process, nullptr))
{
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept
{
    if (this != &other) {
        end();
        m_process = std::exchange(other.m_process, nullptr);
    }
    return *this;
}

ChildProcess ChildProcess::fromId(DWORD processId)
{
    return ChildProcess(
        OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
}

bool ChildProcess::running() const
{
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

DWORD ChildProcess::id() const
{
    return m_process ? GetProcessId(m_process) : 0;
}

void ChildProcess::end()
{
    if (!m_process)
        return;
    if (running()) {
        EnumWindows(closeWindowOfProcess, static_cast<LPARAM>(id()));
        if (WaitForSingleObject(m_process, kCloseWaitMs) != WAIT_OBJECT_0) {
            TerminateProcess(m_process, 1);
            WaitForSingleObject(m_process, kCloseWaitMs);
        }
    }
    CloseHandle(m_process);
    m_process = nullptr;
}

ChildProcess startProcess(const std::string& commandLine)
{
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return {};
    CloseHandle(process.hThread);
    return ChildProcess(process.hProcess);
}

CurrentFolderGuard::CurrentFolderGuard()
    : m_folder(fs::current_path())
{
}

CurrentFolderGuard::~CurrentFolderGuard()
{
    std::error_code ignored;
    fs::current_path(m_folder, ignored);
}

HWND createTestWindow(const char* className, WNDPROC procedure, const char* title, DWORD style, int x, int y,
                      int width, int height)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, className, title, style, x, y, width, height, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

ServerGames::ServerGames()
{
    fs::copy_file(siblingProgram("console_stand_in.exe"), m_game.path() / "quake3.exe");
}

ServerGames::~ServerGames()
{
    for (const auto& launcher : m_launchers)
        launcher->stop(std::chrono::milliseconds(kCloseWaitMs));
}

RunRecordPlace ServerGames::placeOf(const std::string& profile) const
{
    // Not there yet, as the per-user folder may not be before the first start.
    return {(m_records.path() / "state").string(), profile};
}

DWORD ServerGames::start(const std::string& profile)
{
    const std::vector<DWORD> before = consoleProcessIds();
    auto& launcher = m_launchers.emplace_back(std::make_unique<WinLauncher>(sourceOf(profile)));
    launcher->start(m_game.path().string(), "quake3.exe \"" + reportOf(profile).string() + "\"");
    // The stand-in reports once its console window is shown.
    if (!waitUntil([&] { return !readWholeFile(reportOf(profile)).empty(); }))
        return 0;
    for (const DWORD id : consoleProcessIds())
        if (std::find(before.begin(), before.end(), id) == before.end())
            return id;
    return 0;
}

} // namespace varno::wintest
