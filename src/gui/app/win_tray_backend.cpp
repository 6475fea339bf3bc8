#include "gui/app/tray_icon.h"

#include "platform/qt_text.h"
#include "platform/win/win_tray_icon.h"

#include <QImage>
#include <QWidget>

#include <windows.h>

#include <memory>

namespace varno {

namespace {

// The notification area through the shell, for Windows.
class WinTrayBackend : public TrayBackend {
public:
    WinTrayBackend(QWidget* owner, int iconId);

    bool available() const override { return true; }
    bool add(const QIcon& icon, const QString& tip) override;
    bool modify(const QIcon& icon, const QString& tip) override;
    void remove() override;

private:
    bool send(int action, const QIcon& icon, const QString& tip);

    std::unique_ptr<WinTrayIcon> m_icon;
};

WinTrayBackend::WinTrayBackend(QWidget* owner, int iconId)
    : m_icon(std::make_unique<WinTrayIcon>(owner ? reinterpret_cast<void*>(owner->winId()) : nullptr, iconId,
                                           [this](std::uint32_t message) {
                                               if (mouseMessage)
                                                   mouseMessage(message);
                                           }))
{
}

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

} // namespace

std::unique_ptr<TrayBackend> createTrayBackend(QWidget* owner, int iconId)
{
    return std::make_unique<WinTrayBackend>(owner, iconId);
}

} // namespace varno
