// Stands in for the game's dedicated-server console in the console bridge tests: a top-level window of
// class "Q3 WinConsole" with an input line of class "Edit" (left out with --no-input, and with it every
// child "Edit", since the first is the input line). Like the game's
// console it gives its input line the keyboard focus whenever it is activated, and takes a line when
// Enter arrives there, showing it behind "]" in its read-only output control, below a first line
// "Stand-in console". It appends to the report file named on its command line: "ready" once it is up,
// then "typed <text>" for every line entered.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

constexpr const char* kConsoleClass = "Q3 WinConsole";
// Never outlives a test that forgot it by much.
constexpr UINT kLongestLifeMs = 60000;
constexpr UINT_PTR kLifeTimer = 1;

std::string g_reportPath;
HWND g_input = nullptr;
HWND g_output = nullptr;
WNDPROC g_inputProcedure = nullptr;

void report(const std::string& line)
{
    const HANDLE file = CreateFileA(g_reportPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK inputProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHAR && wParam == '\r') {
        char text[512] = {};
        GetWindowTextA(window, text, sizeof(text));
        report(std::string("typed ") + text);
        SetWindowTextA(window, "");
        if (g_output) {
            // Appended at the end, as the game's console adds its printed text.
            const std::string shown = std::string("]") + text + "\r\n";
            const int end = GetWindowTextLengthA(g_output);
            SendMessageA(g_output, EM_SETSEL, end, end);
            SendMessageA(g_output, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(shown.c_str()));
        }
        return 0;
    }
    return CallWindowProcA(g_inputProcedure, window, message, wParam, lParam);
}

LRESULT CALLBACK consoleProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && g_input) {
            // Handled here alone: the default handling would put the focus on the frame.
            SetFocus(g_input);
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == kLifeTimer)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc < 2)
        return 100;
    g_reportPath = __argv[1];
    const bool withInput = !(__argc > 2 && std::string(__argv[2]) == "--no-input");

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = consoleProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kConsoleClass;
    if (!RegisterClassA(&windowClass))
        return 101;
    const HWND console = CreateWindowExA(0, kConsoleClass, "Stand-in server console", WS_OVERLAPPEDWINDOW, 40, 40, 480,
                                         200, nullptr, nullptr, instance, nullptr);
    if (!console)
        return 102;
    if (withInput) {
        g_input = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "", WS_CHILD | WS_VISIBLE | ES_LEFT | ES_AUTOHSCROLL, 8,
                                  120, 440, 24, console, nullptr, instance, nullptr);
        g_inputProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(g_input, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(inputProcedure)));
    }
    // Created after the input line, as the game creates its scroll buffer.
    if (withInput)
        g_output =
            CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "Stand-in console\r\n",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
                            8, 8, 440, 100, console, nullptr, instance, nullptr);
    SetTimer(console, kLifeTimer, kLongestLifeMs, nullptr);
    ShowWindow(console, SW_SHOWNORMAL);
    UpdateWindow(console);
    report("ready");

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
