#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace varno::standin {

// The dedicated server's console on Windows, laid out as the game's: a window of class "Q3 WinConsole" whose
// children are, in this order, the input line, the copy, clear and quit buttons and the read-only scroll buffer
// that printed text is appended to. The panel relies on that order: its console finder takes the first "Edit"
// child as the input line.
class WinConsoleWindow {
public:
    explicit WinConsoleWindow(HINSTANCE instance);
    ~WinConsoleWindow();
    WinConsoleWindow(const WinConsoleWindow&) = delete;
    WinConsoleWindow& operator=(const WinConsoleWindow&) = delete;

    // Printed text, appended at the end of the buffer as the game does it: line ends become CR LF and colour codes
    // are left out.
    void append(std::string_view text);

    // The console input that arrived since the last call, oldest first: the "quit" of a closed window, then the
    // lines typed, each ending with a line end.
    std::vector<std::string> takeInput();

    // The game's fatal error: its text is appended and shown in a box above the buffer, the input line goes, and
    // the window stays until it is closed or its quit button is pressed. Returns then.
    void waitAfterFatalError(const std::string& text);

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK inputProcedure(HWND input, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleInputMessage(HWND input, UINT message, WPARAM wParam, LPARAM lParam);

    void createChildren();
    void enterLine();
    void requestQuit();

    HINSTANCE m_instance;
    HWND m_window = nullptr;
    HWND m_input = nullptr;
    HWND m_buffer = nullptr;
    HWND m_errorBox = nullptr;
    HFONT m_font = nullptr;
    HBRUSH m_bufferBrush = nullptr;
    HBRUSH m_errorBrush = nullptr;
    WNDPROC m_editProcedure = nullptr;

    std::string m_typed;
    std::vector<std::string> m_events;
    unsigned long m_appendedCount = 0;
    // After a fatal error closing the window ends the wait instead of asking the server to quit.
    bool m_quitOnClose = false;
    bool m_blinkOn = false;
};

} // namespace varno::standin
