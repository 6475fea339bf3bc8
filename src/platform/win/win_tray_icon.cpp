#include "platform/win/win_tray_icon.h"

#include "core/app/tray_dispatch.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

namespace varno {

namespace {

SUBCLASSPROC subclassProcedure(std::intptr_t(__stdcall* procedure)(void*, unsigned, std::uintptr_t, std::intptr_t,
                                                                   std::uintptr_t, std::uintptr_t))
{
    return reinterpret_cast<SUBCLASSPROC>(procedure);
}

} // namespace

WinTrayIcon::WinTrayIcon(void* ownerWindow, int iconId, std::function<void(std::uint32_t)> mouseMessage)
    : m_window(ownerWindow)
    , m_iconId(ownerWindow ? iconId : 0)
    , m_mouseMessage(std::move(mouseMessage))
{
    if (!m_window)
        return;
    // A subclass of the window rather than a swapped window procedure: a second icon on the same window
    // would otherwise call itself as the "previous" procedure for ever, and icons could not go in any
    // order.
    m_inMessagePath = SetWindowSubclass(static_cast<HWND>(m_window), subclassProcedure(&WinTrayIcon::ownerProcedure),
                                        reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

WinTrayIcon::~WinTrayIcon()
{
    notify(Action::Delete, nullptr, {});
    if (m_inMessagePath)
        RemoveWindowSubclass(static_cast<HWND>(m_window), subclassProcedure(&WinTrayIcon::ownerProcedure),
                             reinterpret_cast<UINT_PTR>(this));
}

std::uint32_t WinTrayIcon::callbackMessage() const
{
    return trayCallbackMessage(m_iconId);
}

bool WinTrayIcon::notifyAndRelease(Action action, void* iconHandle, const std::string& tip)
{
    const bool accepted = notify(action, iconHandle, tip);
    if (iconHandle)
        DestroyIcon(static_cast<HICON>(iconHandle));
    return accepted;
}

bool WinTrayIcon::notify(Action action, void* iconHandle, const std::string& tip)
{
    // The record in its first, smallest form, filled afresh for every call.
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof(data));
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = static_cast<HWND>(m_window);
    data.uID = static_cast<UINT>(m_iconId);
    data.uFlags = trayFlags(!tip.empty());
    data.uCallbackMessage = callbackMessage();
    data.hIcon = iconHandle ? static_cast<HICON>(iconHandle) : LoadIconA(nullptr, MAKEINTRESOURCEA(32517));
    if (!tip.empty()) {
        const std::string kept = trayTip(tip);
        std::memcpy(data.szTip, kept.c_str(), kept.size() + 1);
    }
    return Shell_NotifyIconA(static_cast<DWORD>(action), &data) != FALSE;
}

std::intptr_t __stdcall WinTrayIcon::ownerProcedure(void* window, unsigned message, std::uintptr_t wParam,
                                                    std::intptr_t lParam, std::uintptr_t, std::uintptr_t icon)
{
    auto* self = reinterpret_cast<WinTrayIcon*>(icon);
    if (message != self->callbackMessage())
        return DefSubclassProc(static_cast<HWND>(window), message, wParam, lParam);
    const auto mouse = static_cast<std::uint32_t>(lParam);
    const bool known = mouse >= kWmMouseMove && mouse <= kWmMButtonDblClk;
    self->m_lastCallbackResult = known ? 0 : 1;
    if (known && self->m_mouseMessage)
        self->m_mouseMessage(mouse);
    return self->m_lastCallbackResult;
}

} // namespace varno
