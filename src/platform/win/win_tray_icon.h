#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace varno {

// One notification-area icon of an owner window through Shell_NotifyIcon. While it lives it sits in
// the owner window's message path: the icon's callback message (WM_USER + icon number) goes to
// mouseMessage with the mouse message from lParam; every other message reaches the window's own
// procedure unchanged. Destruction removes the icon and takes it out of the message path again; icons
// of one window may go in any order.
class WinTrayIcon {
public:
    WinTrayIcon(void* ownerWindow, int iconId, std::function<void(std::uint32_t)> mouseMessage);
    ~WinTrayIcon();
    WinTrayIcon(const WinTrayIcon&) = delete;
    WinTrayIcon& operator=(const WinTrayIcon&) = delete;

    enum class Action { Add = 0, Modify = 1, Delete = 2 };

    // Sends the notification record with this action; the icon handle may be null for the stock
    // Windows logo. True when the shell accepted it.
    bool notify(Action action, void* iconHandle, const std::string& tip);
    // Sends the record with an icon handle the caller made for it (an HICON), and frees the handle: the shell keeps
    // its own copy.
    bool notifyAndRelease(Action action, void* iconHandle, const std::string& tip);

    int iconId() const { return m_iconId; }
    std::uint32_t callbackMessage() const;

    // The result the window procedure gave for the last callback message (1 for messages that fire
    // no event); for tests.
    std::intptr_t lastCallbackResult() const { return m_lastCallbackResult; }

private:
    // Routes the owner window's messages: a subclass procedure of the window (SUBCLASSPROC) whose
    // reference data is the icon.
    static std::intptr_t __stdcall ownerProcedure(void* window, unsigned message, std::uintptr_t wParam,
                                                  std::intptr_t lParam, std::uintptr_t subclassId, std::uintptr_t icon);

    void* m_window;
    int m_iconId;
    std::function<void(std::uint32_t)> m_mouseMessage;
    bool m_inMessagePath = false;
    std::intptr_t m_lastCallbackResult = 0;
};

} // namespace varno
