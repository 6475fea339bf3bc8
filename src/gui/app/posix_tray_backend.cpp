#include "gui/app/tray_icon.h"

#include "core/app/tray_dispatch.h"

#include <QApplication>
#include <QStyle>
#include <QSystemTrayIcon>

namespace varno {

namespace {

// The notification area through Qt, for desktops other than Windows.
class QtTrayBackend : public TrayBackend {
public:
    QtTrayBackend()
    {
        QObject::connect(&m_icon, &QSystemTrayIcon::activated, &m_icon, [this](QSystemTrayIcon::ActivationReason why) {
            if (!mouseMessage)
                return;
            switch (why) {
            case QSystemTrayIcon::Trigger:
                mouseMessage(kWmLButtonDown);
                break;
            case QSystemTrayIcon::DoubleClick:
                mouseMessage(kWmLButtonDblClk);
                break;
            case QSystemTrayIcon::MiddleClick:
                mouseMessage(kWmMButtonDown);
                break;
            case QSystemTrayIcon::Context:
                mouseMessage(kWmRButtonDown);
                break;
            case QSystemTrayIcon::Unknown:
                break;
            }
        });
    }

    bool available() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }

    bool add(const QIcon& icon, const QString& tip) override
    {
        if (m_icon.isVisible())
            return false;
        apply(icon, tip);
        m_icon.show();
        return m_icon.isVisible();
    }

    bool modify(const QIcon& icon, const QString& tip) override
    {
        if (!m_icon.isVisible())
            return false;
        apply(icon, tip);
        return true;
    }

    void remove() override { m_icon.hide(); }

private:
    void apply(const QIcon& icon, const QString& tip)
    {
        // An empty icon shows the system's stock one.
        m_icon.setIcon(icon.isNull() ? QApplication::style()->standardIcon(QStyle::SP_ComputerIcon) : icon);
        m_icon.setToolTip(tip);
    }

    QSystemTrayIcon m_icon;
};

} // namespace

std::unique_ptr<TrayBackend> createTrayBackend(QWidget*, int)
{
    return std::make_unique<QtTrayBackend>();
}

} // namespace varno
