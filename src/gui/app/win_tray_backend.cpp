#include "gui/app/tray_icon.h"

#include "platform/qt_text.h"
#include "platform/win/win_tray_icon.h"

#include <QImage>
#include <QWidget>

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
    bool send(WinTrayIcon::Action action, const QIcon& icon, const QString& tip);

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

bool WinTrayBackend::send(WinTrayIcon::Action action, const QIcon& icon, const QString& tip)
{
    void* handle = icon.isNull() ? nullptr : static_cast<void*>(icon.pixmap(16, 16).toImage().toHICON());
    return m_icon->notifyAndRelease(action, handle, toStd(tip));
}

bool WinTrayBackend::add(const QIcon& icon, const QString& tip)
{
    return send(WinTrayIcon::Action::Add, icon, tip);
}

bool WinTrayBackend::modify(const QIcon& icon, const QString& tip)
{
    return send(WinTrayIcon::Action::Modify, icon, tip);
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
