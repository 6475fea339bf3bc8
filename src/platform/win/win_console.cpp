#include "platform/win/win_console.h"

#include "core/console/console_names.h"
#include "platform/win/win_process.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace varno {

namespace {

constexpr const char* kInputFieldClass = "Edit";
// How long a switched console may take to give its input line the focus.
constexpr DWORD kFocusPatienceMs = 1000;
constexpr DWORD kFocusPollMs = 5;

HWND findConsole(const RunRecordPlaceSource& place)
{
    const auto found = findServerConsole(place ? place() : RunRecordPlace());
    return found ? static_cast<HWND>(found->window) : nullptr;
}

bool inputHasFocus(HWND console, HWND input)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(console, nullptr), &info) && info.hwndFocus == input;
}

// The console activates itself on its own thread after the switch, and may still be handling an
// earlier deactivation; keys sent meanwhile would go astray (Wine routes a key when it is sent, not when
// it is read). So the switch counts once the console has caught up with what this thread asked of it
// and its input line holds the focus.
bool awaitInputFocus(HWND console, HWND input)
{
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(console, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kFocusPatienceMs, &ignored))
        return false;
    const DWORD start = GetTickCount();
    while (!inputHasFocus(console, input)) {
        if (GetTickCount() - start >= kFocusPatienceMs)
            return false;
        Sleep(kFocusPollMs);
    }
    return true;
}

// The console's output control: the child "Edit" that holds many lines and cannot be typed into.
HWND findOutputControl(HWND console)
{
    for (HWND child = FindWindowExA(console, nullptr, kInputFieldClass, nullptr); child;
         child = FindWindowExA(console, child, kInputFieldClass, nullptr)) {
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        if ((style & ES_MULTILINE) && (style & ES_READONLY))
            return child;
    }
    return nullptr;
}

} // namespace

void* findConsoleWindow(unsigned long processId)
{
    const std::string windowClass(kConsoleWindowClass);
    for (HWND window = FindWindowExA(nullptr, nullptr, windowClass.c_str(), nullptr); window;
         window = FindWindowExA(nullptr, window, windowClass.c_str(), nullptr)) {
        if (processId == 0 || consoleProcessId(window) == processId)
            return window;
    }
    return nullptr;
}

unsigned long consoleProcessId(void* consoleWindow)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(static_cast<HWND>(consoleWindow), &processId);
    return processId;
}

std::optional<ServerConsoleWindow> findServerConsole(const RunRecordPlace& place)
{
    std::vector<ServerConsoleWindow> consoles;
    const std::string windowClass(kConsoleWindowClass);
    for (HWND window = FindWindowExA(nullptr, nullptr, windowClass.c_str(), nullptr); window;
         window = FindWindowExA(nullptr, window, windowClass.c_str(), nullptr)) {
        const unsigned long processId = consoleProcessId(window);
        consoles.push_back({window, {processId, processCreationTime(processId)}});
    }
    std::vector<RunRecord> processes;
    for (const ServerConsoleWindow& console : consoles)
        processes.push_back(console.process);
    const auto chosen =
        recordedServerAmong(processes, place.profile.empty(), readRunRecord(place), otherRunRecords(place));
    return chosen ? std::optional(consoles[*chosen]) : std::nullopt;
}

std::optional<std::string> consoleWindowText(void* consoleWindow)
{
    const HWND output = findOutputControl(static_cast<HWND>(consoleWindow));
    if (!output)
        return std::nullopt;
    // A hung console must not hang the panel.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(output, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kFocusPatienceMs, &length))
        return std::nullopt;
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(output, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()), SMTO_ABORTIFHUNG,
                             kFocusPatienceMs, &copied))
        return std::nullopt;
    text.resize(std::min<std::size_t>(copied, length));
    return text;
}

WinConsole::WinConsole(RunRecordPlaceSource place)
    : m_place(std::move(place))
{
}

bool WinConsole::exists()
{
    return findConsole(m_place) != nullptr;
}

bool WinConsole::bringInputToForeground()
{
    const HWND console = findConsole(m_place);
    if (!console)
        return false;
    const HWND input = FindWindowExA(console, nullptr, kInputFieldClass, nullptr);
    if (!input)
        return false;
    // Activating the console moves the keyboard focus to its input line. Windows takes the input line
    // itself; where only top-level windows may come to the foreground (Wine refuses child windows), the
    // console window is switched instead, and nothing is typed unless its input line then has the focus.
    if (SetForegroundWindow(input))
        return true;
    return SetForegroundWindow(console) && awaitInputFocus(console, input);
}

WinConsoleWindowOpener::WinConsoleWindowOpener(RunRecordPlaceSource place)
    : m_place(std::move(place))
{
}

ConsoleWindowOpener::Opening WinConsoleWindowOpener::open(const std::string&)
{
    return {};
}

bool WinConsoleWindowOpener::attached(const std::string&)
{
    return findConsole(m_place) != nullptr;
}

std::string WinConsoleWindowOpener::attachCommand(const std::string&) const
{
    return {};
}

WinConsoleOutput::WinConsoleOutput(RunRecordPlaceSource place)
    : m_place(std::move(place))
{
}

std::optional<std::vector<std::string>> WinConsoleOutput::recentLines(std::size_t maxLines)
{
    const HWND console = findConsole(m_place);
    if (!console)
        return std::nullopt;
    const std::optional<std::string> text = consoleWindowText(console);
    if (!text)
        return std::nullopt;
    return lastLines(*text, maxLines);
}

} // namespace varno
