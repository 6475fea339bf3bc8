// The stand-in game server as a Windows program: its console window, as the panel finds and reads it, its game
// port over loopback, and the ways it ends.

// Before windows.h, which the test support includes.
#include <winsock2.h>

#include "win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace varno::wintest;

namespace {

constexpr const char* kConsoleClass = "Q3 WinConsole";
constexpr int kInputId = 101;
constexpr int kBufferId = 100;
constexpr DWORD kAccessViolation = 0xC0000005;
constexpr int kPortsTried = 10;
constexpr DWORD kMessagePatienceMs = 5000;

struct ConsoleSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK matchConsole(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<ConsoleSearch*>(lParam);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && std::string(className) == kConsoleClass) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND consoleOf(DWORD processId)
{
    ConsoleSearch search{processId, nullptr};
    EnumWindows(matchConsole, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A control's text, asked of the other process by message: GetWindowText does not read other programs' controls.
std::string controlText(HWND control)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessagePatienceMs, &length))
        return {};
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        kMessagePatienceMs, &copied);
    text.resize(copied);
    return text;
}

LONG_PTR styleOf(HWND window)
{
    return GetWindowLongPtrA(window, GWL_STYLE);
}

// The output control as the panel's reader picks it: the multi-line read-only "Edit" child.
HWND bufferOf(HWND console)
{
    for (HWND child = FindWindowExA(console, nullptr, "Edit", nullptr); child;
         child = FindWindowExA(console, child, "Edit", nullptr)) {
        if ((styleOf(child) & ES_MULTILINE) && (styleOf(child) & ES_READONLY))
            return child;
    }
    return nullptr;
}

// The exit code once the process has ended, or STILL_ACTIVE when it does not end in time.
DWORD exitCodeOf(const ChildProcess& process)
{
    const HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process.id());
    if (!handle)
        return STILL_ACTIVE;
    WaitForSingleObject(handle, static_cast<DWORD>(kPatience.count()));
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(handle, &code);
    CloseHandle(handle);
    return code;
}

class Winsock {
public:
    Winsock()
    {
        WSADATA data;
        m_started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~Winsock()
    {
        if (m_started)
            WSACleanup();
    }
    Winsock(const Winsock&) = delete;
    Winsock& operator=(const Winsock&) = delete;

private:
    bool m_started = false;
};

// A UDP socket of the test's own, bound to `ip` and `port` (0: any free one).
class UdpPort {
public:
    UdpPort(u_long ip, int port)
        : m_socket(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(ip);
        address.sin_port = htons(static_cast<u_short>(port));
        m_bound = m_socket != INVALID_SOCKET &&
                  bind(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~UdpPort()
    {
        if (m_socket != INVALID_SOCKET)
            closesocket(m_socket);
    }
    UdpPort(const UdpPort&) = delete;
    UdpPort& operator=(const UdpPort&) = delete;

    bool bound() const { return m_bound; }

    int port() const
    {
        sockaddr_in address{};
        int length = sizeof address;
        getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        return ntohs(address.sin_port);
    }

    // Sends to the loopback port and returns the first datagram that comes back, empty after patience runs out.
    std::string ask(int port, const std::string& payload)
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(static_cast<u_short>(port));
        sendto(m_socket, payload.data(), static_cast<int>(payload.size()), 0, reinterpret_cast<const sockaddr*>(&to),
               sizeof to);
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m_socket, &readable);
        timeval patience{static_cast<long>(kPatience.count() / 1000), 0};
        if (select(0, &readable, nullptr, nullptr, &patience) != 1)
            return {};
        std::string reply(65536, '\0');
        const int received = recv(m_socket, reply.data(), static_cast<int>(reply.size()), 0);
        reply.resize(received > 0 ? static_cast<std::size_t>(received) : 0);
        return reply;
    }

private:
    SOCKET m_socket;
    bool m_bound = false;
};

// Ports from `base` on, all held, or none when one of them is taken.
std::vector<std::unique_ptr<UdpPort>> holdPorts(int base, int count)
{
    std::vector<std::unique_ptr<UdpPort>> held;
    for (int i = 0; i < count; ++i) {
        held.push_back(std::make_unique<UdpPort>(INADDR_ANY, base + i));
        if (!held.back()->bound())
            return {};
    }
    return held;
}

// Runs q3standin.exe in a folder of the test's own and finds its console window.
class WinStandinTest : public ::testing::Test {
protected:
    void start(const std::string& arguments)
    {
        CurrentFolderGuard folder;
        fs::current_path(m_work.path());
        m_server = startProcess("\"" + siblingProgram("q3standin.exe").string() + "\" " + arguments);
        ASSERT_TRUE(m_server.running());
        // The window comes first, its controls a moment later.
        ASSERT_TRUE(waitUntil([this] {
            m_console = consoleOf(m_server.id());
            return m_console && (m_buffer = bufferOf(m_console)) != nullptr;
        })) << "the stand-in opened no console window with a buffer";
    }

    bool bufferShows(const std::string& text) const
    {
        return waitUntil([&] { return controlText(m_buffer).find(text) != std::string::npos; });
    }

    // The game port the server reports having opened.
    int openedPort() const
    {
        const std::string opening = "Opening IP socket: 0.0.0.0:";
        if (!bufferShows(opening))
            return 0;
        const std::string text = controlText(m_buffer);
        return std::atoi(text.c_str() + text.find(opening) + opening.size());
    }

    static bool enterLine(HWND input, const std::string& line)
    {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutA(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(line.c_str()), SMTO_ABORTIFHUNG,
                                   kMessagePatienceMs, &ignored) &&
               SendMessageTimeoutA(input, WM_CHAR, '\r', 0, SMTO_ABORTIFHUNG, kMessagePatienceMs, &ignored);
    }

    Winsock m_winsock;
    TempFolder m_work{"standin"};
    ChildProcess m_server;
    HWND m_console = nullptr;
    HWND m_buffer = nullptr;
};

TEST_F(WinStandinTest, ConsoleWindowRunsTypedLinesAndTheGamePortAnswersRcon)
{
    const fs::path log = m_work.path() / "commands.log";
    start("+set net_port 0 +set rconpassword pw +set standin_log \"" + log.string() + "\" +map q3dm1");

    // The panel's finder takes the first "Edit" child for the input line; the buffer comes after it.
    const HWND input = FindWindowExA(m_console, nullptr, "Edit", nullptr);
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(GetDlgCtrlID(input), kInputId);
    EXPECT_EQ(styleOf(input) & (ES_MULTILINE | ES_READONLY), 0);
    EXPECT_EQ(GetDlgCtrlID(m_buffer), kBufferId);
    EXPECT_TRUE(waitUntil([&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(m_console, nullptr), &info) && info.hwndFocus == input;
    })) << "the input line does not hold the keyboard focus";
    const int port = openedPort();
    ASSERT_GT(port, 0) << controlText(m_buffer);

    // Shown behind "]" and run, colour codes left out on the screen only.
    ASSERT_TRUE(enterLine(input, "echo hello ^1red"));
    EXPECT_TRUE(bufferShows("]echo hello red\r\nhello red\r\n")) << controlText(m_buffer);
    EXPECT_EQ(controlText(input), "");
    EXPECT_TRUE(waitUntil([&] { return readWholeFile(log).find("\necho hello ^1red\n") != std::string::npos; }))
        << readWholeFile(log);

    UdpPort client(INADDR_LOOPBACK, 0);
    ASSERT_TRUE(client.bound());
    const std::string reply = client.ask(port, "\xff\xff\xff\xffrcon pw status");
    EXPECT_EQ(reply.rfind("\xff\xff\xff\xffprint\n", 0), 0u) << reply;
    EXPECT_NE(reply.find("map: q3dm1\n"), std::string::npos) << reply;
    EXPECT_TRUE(bufferShows("Rcon from 127.0.0.1:" + std::to_string(client.port()) + ": status\r\n"));
}

TEST_F(WinStandinTest, EndsAsTheGameEndsOnWindows)
{
    const struct {
        const char* typed; // nothing: the window is closed
        DWORD exitCode;
    } cases[] = {{nullptr, 0}, {"standin_crash", kAccessViolation}, {"standin_exit 7", 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed ? c.typed : "WM_CLOSE");
        start("+set net_port 0");
        if (c.typed)
            ASSERT_TRUE(enterLine(FindWindowExA(m_console, nullptr, "Edit", nullptr), c.typed));
        else
            PostMessageA(m_console, WM_CLOSE, 0, 0);
        EXPECT_EQ(exitCodeOf(m_server), c.exitCode);
    }
}

TEST_F(WinStandinTest, FatalPortErrorKeepsTheWindowWithoutInputLineUntilItIsClosed)
{
    std::vector<std::unique_ptr<UdpPort>> held;
    int base = 0;
    for (int attempt = 0; attempt < 5 && held.empty(); ++attempt) {
        base = UdpPort(INADDR_ANY, 0).port();
        held = holdPorts(base, kPortsTried);
    }
    if (held.empty())
        GTEST_SKIP() << "found no " << kPortsTried << " free ports in a row";

    start("+set net_port " + std::to_string(base));
    EXPECT_TRUE(waitUntil([&] {
        return controlText(FindWindowExA(m_console, nullptr, "Static", nullptr)) == "Couldn't allocate IP port";
    }));
    EXPECT_EQ(GetDlgItem(m_console, kInputId), nullptr);
    EXPECT_TRUE(bufferShows("WARNING: UDP_OpenSocket: bind: WSAEADDRINUSE\r\nCouldn't allocate IP port\r\n"))
        << controlText(m_buffer);
    // Nothing but the user ends it.
    Sleep(300);
    EXPECT_TRUE(m_server.running());
    PostMessageA(m_console, WM_CLOSE, 0, 0);
    EXPECT_EQ(exitCodeOf(m_server), 0u);
}

} // namespace
