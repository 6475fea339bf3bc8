#include "win_console_window.h"

#include <algorithm>

namespace varno::standin {

namespace {

constexpr const char* kWindowClass = "Q3 WinConsole";
constexpr const char* kWindowTitle = "Quake 3 Console";
constexpr DWORD kWindowStyle = WS_POPUPWINDOW | WS_CAPTION | WS_MINIMIZEBOX;
constexpr int kClientWidth = 540;
constexpr int kClientHeight = 450;

// Control ids and places as the game has them.
constexpr int kCopyId = 1;
constexpr int kQuitId = 2;
constexpr int kClearId = 3;
constexpr int kErrorBoxId = 10;
constexpr int kBufferId = 100;
constexpr int kInputId = 101;

constexpr COLORREF kBufferBackground = RGB(0x00, 0x00, 0xB0);
constexpr COLORREF kBufferTextColour = RGB(0xFF, 0xFF, 0x00);
constexpr COLORREF kErrorBackground = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kErrorTextOn = RGB(0xFF, 0x00, 0x00);
constexpr COLORREF kErrorTextOff = RGB(0x00, 0x00, 0x00);
constexpr UINT_PTR kBlinkTimer = 1;
constexpr UINT kBlinkIntervalMs = 1000;

// GetWindowText into the game's 1024-byte buffer.
constexpr int kInputReadSize = 1024;
// The game keeps typed text in 512 bytes until its next frame takes it, with room for the line end and NUL.
constexpr std::size_t kTypedTextSize = 512;
constexpr std::size_t kTypedTextReserve = 5;
// A printed piece longer than this keeps only its end; its converted text is cut at twice that, less the NUL.
constexpr std::size_t kLongestPiece = 16384 - 1;
constexpr std::size_t kLongestConverted = 2 * 16384 - 1;
// When the text appended since the last reset passes this, the buffer starts again with the new text.
constexpr unsigned long kBufferResetCount = 0x7FFF;
// The error box holds an 80-byte text.
constexpr std::size_t kErrorTextLength = 80 - 1;

// The buffer's text for a printed piece: each LF, CR or LF CR is a CR LF, and "^" followed by anything but "^"
// (a colour code) is left out with that character.
std::string bufferText(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    if (text.size() > kLongestPiece)
        text.remove_prefix(text.size() - kLongestPiece);
    std::string converted;
    for (std::size_t i = 0; i < text.size() && converted.size() < kLongestConverted; ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '\n' || c == '\r') {
            converted += "\r\n";
            if (c == '\n' && next == '\r')
                ++i;
        } else if (c == '^' && next != '\0' && next != '^') {
            ++i;
        } else {
            converted += c;
        }
    }
    return converted;
}

} // namespace

WinConsoleWindow::WinConsoleWindow(HINSTANCE instance)
    : m_instance(instance)
    , m_bufferBrush(CreateSolidBrush(kBufferBackground))
    , m_errorBrush(CreateSolidBrush(kErrorBackground))
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW);
    windowClass.lpszClassName = kWindowClass;
    // Without a window the server runs on unseen, as the game does.
    if (!RegisterClassA(&windowClass))
        return;

    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, kWindowStyle, FALSE);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    m_window =
        CreateWindowExA(0, kWindowClass, kWindowTitle, kWindowStyle, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                        (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr, instance, this);
    if (!m_window)
        return;
    createChildren();
    ShowWindow(m_window, SW_SHOWDEFAULT);
    UpdateWindow(m_window);
    SetForegroundWindow(m_window);
    SetFocus(m_input);
}

WinConsoleWindow::~WinConsoleWindow()
{
    if (m_window) {
        ShowWindow(m_window, SW_HIDE);
        DestroyWindow(m_window);
    }
    if (m_font)
        DeleteObject(m_font);
    DeleteObject(m_bufferBrush);
    DeleteObject(m_errorBrush);
}

void WinConsoleWindow::createChildren()
{
    const HDC screen = GetDC(m_window);
    const int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(m_window, screen);
    m_font = CreateFontA(height, 0, 0, 0, FW_LIGHT, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_MODERN | FIXED_PITCH, "Courier New");

    const auto child = [this](const char* windowClass, const char* text, DWORD style, int x, int y, int width,
                              int height, int id) {
        return CreateWindowExA(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, m_window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_instance, nullptr);
    };
    // The input line first: the panel's console finder takes the first "Edit" child for it.
    m_input = child("edit", nullptr, WS_BORDER | ES_LEFT | ES_AUTOHSCROLL, 6, 400, 528, 20, kInputId);
    child("button", "copy", BS_PUSHBUTTON | BS_DEFPUSHBUTTON, 5, 425, 72, 24, kCopyId);
    child("button", "clear", BS_PUSHBUTTON | BS_DEFPUSHBUTTON, 82, 425, 72, 24, kClearId);
    child("button", "quit", BS_PUSHBUTTON | BS_DEFPUSHBUTTON, 462, 425, 72, 24, kQuitId);
    m_buffer = child("edit", nullptr, WS_VSCROLL | WS_BORDER | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, 6,
                     40, 526, 354, kBufferId);
    SendMessageA(m_buffer, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), 0);
    // Windows' own limit for the buffer, which Wine sets lower; the buffer starts again before it is reached.
    SendMessageA(m_buffer, EM_SETLIMITTEXT, kBufferResetCount, 0);

    SetWindowLongPtrA(m_input, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_editProcedure =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(m_input, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(inputProcedure)));
    SendMessageA(m_input, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), 0);
}

void WinConsoleWindow::append(std::string_view text)
{
    if (!m_buffer)
        return;
    const std::string converted = bufferText(text);
    m_appendedCount += static_cast<unsigned long>(converted.size());
    if (m_appendedCount > kBufferResetCount) {
        SendMessageA(m_buffer, EM_SETSEL, 0, -1);
        m_appendedCount = static_cast<unsigned long>(converted.size());
    } else {
        const int end = GetWindowTextLengthA(m_buffer);
        SendMessageA(m_buffer, EM_SETSEL, end, end);
    }
    SendMessageA(m_buffer, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(converted.c_str()));
    SendMessageA(m_buffer, EM_LINESCROLL, 0, 0xFFFF);
    SendMessageA(m_buffer, EM_SCROLLCARET, 0, 0);
}

std::vector<std::string> WinConsoleWindow::takeInput()
{
    std::vector<std::string> input = std::move(m_events);
    m_events.clear();
    if (!m_typed.empty())
        input.push_back(std::move(m_typed));
    m_typed.clear();
    return input;
}

void WinConsoleWindow::waitAfterFatalError(const std::string& text)
{
    append(text);
    append("\n");
    if (m_window) {
        m_errorBox = CreateWindowExA(0, "static", nullptr, WS_CHILD | WS_VISIBLE | SS_SUNKEN, 6, 5, 526, 30, m_window,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(kErrorBoxId)), m_instance, nullptr);
        SendMessageA(m_errorBox, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), 0);
        SetWindowTextA(m_errorBox, text.substr(0, kErrorTextLength).c_str());
        SetTimer(m_window, kBlinkTimer, kBlinkIntervalMs, nullptr);
        DestroyWindow(m_input);
        m_input = nullptr;
    }
    m_quitOnClose = true;
    // Without a window nobody could end the wait.
    if (!m_window)
        return;

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void WinConsoleWindow::enterLine()
{
    char line[kInputReadSize] = {};
    GetWindowTextA(m_input, line, kInputReadSize);
    const std::string_view typed(line);
    const std::size_t used = m_typed.size() + kTypedTextReserve;
    const std::size_t room = used < kTypedTextSize ? kTypedTextSize - used : 0;
    m_typed.append(typed.substr(0, room));
    m_typed += '\n';
    SetWindowTextA(m_input, "");
    append("]" + std::string(typed) + '\n');
}

void WinConsoleWindow::requestQuit()
{
    if (m_quitOnClose)
        PostQuitMessage(0);
    else
        m_events.emplace_back("quit\n");
}

LRESULT CALLBACK WinConsoleWindow::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* self = static_cast<WinConsoleWindow*>(creation->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WinConsoleWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    return self->handleWindowMessage(window, message, wParam, lParam);
}

LRESULT WinConsoleWindow::handleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        // The default handling then focuses the window itself, which the input line refuses.
        if (LOWORD(wParam) != WA_INACTIVE && m_input)
            SetFocus(m_input);
        break;
    case WM_CLOSE:
        requestQuit();
        return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == m_buffer) {
            SetBkColor(reinterpret_cast<HDC>(wParam), kBufferBackground);
            SetTextColor(reinterpret_cast<HDC>(wParam), kBufferTextColour);
            return reinterpret_cast<LRESULT>(m_bufferBrush);
        }
        if (reinterpret_cast<HWND>(lParam) == m_errorBox) {
            SetBkColor(reinterpret_cast<HDC>(wParam), kErrorBackground);
            SetTextColor(reinterpret_cast<HDC>(wParam), m_blinkOn ? kErrorTextOn : kErrorTextOff);
            return reinterpret_cast<LRESULT>(m_errorBrush);
        }
        break;
    case WM_COMMAND:
        if (wParam == kCopyId) {
            SendMessageA(m_buffer, EM_SETSEL, 0, -1);
            SendMessageA(m_buffer, WM_COPY, 0, 0);
        } else if (wParam == kQuitId) {
            requestQuit();
        } else if (wParam == kClearId) {
            SendMessageA(m_buffer, EM_SETSEL, 0, -1);
            SendMessageA(m_buffer, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
            UpdateWindow(m_buffer);
        }
        break;
    case WM_TIMER:
        if (wParam == kBlinkTimer && m_errorBox) {
            m_blinkOn = !m_blinkOn;
            InvalidateRect(m_errorBox, nullptr, FALSE);
        }
        break;
    case WM_DESTROY:
        m_window = nullptr;
        m_input = nullptr;
        m_buffer = nullptr;
        m_errorBox = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK WinConsoleWindow::inputProcedure(HWND input, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<WinConsoleWindow*>(GetWindowLongPtrA(input, GWLP_USERDATA));
    return self->handleInputMessage(input, message, wParam, lParam);
}

LRESULT WinConsoleWindow::handleInputMessage(HWND input, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KILLFOCUS:
        // The focus stays here when it would go to the console window itself.
        if (const HWND next = reinterpret_cast<HWND>(wParam); next && (next == m_window || next == m_errorBox)) {
            SetFocus(input);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == '\r') {
            enterLine();
            return 0;
        }
        break;
    default:
        break;
    }
    return CallWindowProcA(m_editProcedure, input, message, wParam, lParam);
}

} // namespace varno::standin
