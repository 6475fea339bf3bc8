#include "gui/app/win_tray_backend.h"

#include "platform/qt_text.h"
#include "platform/win/win_tray_icon.h"

#include <QImage>
#include <QWidget>

#include <windows.h>

namespace varno {

WinTrayBackend::WinTrayBackend(QWidget* owner, int iconId)
    : m_icon(std::make_unique<WinTrayIcon>(owner ? reinterpret_cast<void*>(owner->winId()) : nullptr, iconId,
                                           [this](std::uint32_t message) {
                                               if (mouseMessage)
                                                   mouseMessage(message);
                                           }))
{
}

WinTrayBackend::~WinTrayBackend() = default;

bool WinTrayBackend::send(int action, const QIcon& icon, const QString& tip)
{
    HICON handle = icon.isNull() ? nullptr : icon.pixmap(16, 16).toImage().toHICON();
    const bool accepted = m_icon->notify(static_cast<WinTrayIcon::Action>(action), handle, toStd(tip));
    if (handle)
        DestroyIcon(handle);
    return accepted;
}

bool WinTrayBackend::add(const QIcon& icon, const QString& tip)
{
    return send(0, icon, tip);
}

bool WinTrayBackend::modify(const QIcon& icon, const QString& tip)
{
    return send(1, icon, tip);
}

void WinTrayBackend::remove()
{
    m_icon->notify(WinTrayIcon::Action::Delete, nullptr, {});
}

} // namespace varno
