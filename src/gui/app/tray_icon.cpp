#include "gui/app/tray_icon.h"

#include "core/app/tray_dispatch.h"
#include "gui/app/error_report.h"
#include "platform/qt_text.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QWidget>

#ifdef _WIN32
#include "gui/app/win_tray_backend.h"
#endif

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

std::unique_ptr<TrayBackend> platformBackend(QWidget* owner, int iconId)
{
#ifdef _WIN32
    return std::make_unique<WinTrayBackend>(owner, iconId);
#else
    (void)owner;
    (void)iconId;
    return std::make_unique<QtTrayBackend>();
#endif
}

TTrayIcon::BackendFactory& backendFactory()
{
    static TTrayIcon::BackendFactory factory = platformBackend;
    return factory;
}

} // namespace

void TTrayIcon::setBackendFactory(BackendFactory factory)
{
    backendFactory() = factory ? std::move(factory) : BackendFactory(platformBackend);
}

TTrayIcon::TTrayIcon(QWidget* owner)
    : QObject(owner)
    , m_owner(owner)
{
    if (m_owner && m_owner->isWindow())
        m_iconId = int(m_owner->findChildren<TTrayIcon*>(QString(), Qt::FindDirectChildrenOnly).size());
    m_backend = backendFactory()(m_owner, m_iconId);
    m_backend->mouseMessage = [this](std::uint32_t message) { handleMouseMessage(message); };
}

TTrayIcon::~TTrayIcon()
{
    m_backend->remove();
}

void TTrayIcon::setIcon(const QIcon& icon)
{
    m_icon = icon;
    m_backend->modify(m_icon, m_tip);
}

void TTrayIcon::setTip(const QString& tip)
{
    m_tip = toQ(trayTip(toStd(tip)));
    m_backend->modify(m_icon, m_tip);
}

bool TTrayIcon::ShowIcon()
{
    return m_backend->add(m_icon, m_tip);
}

bool TTrayIcon::available() const
{
    return m_backend->available();
}

void TTrayIcon::handleMouseMessage(std::uint32_t mouseMessage)
{
    const TrayHandlers handlers{bool(OnMouseDown), m_popupMenu != nullptr};
    const auto fire = [this](const Event& event) {
        if (event)
            runHandler([&] { event(this); });
    };
    switch (trayActionFor(mouseMessage, handlers)) {
    case TrayAction::MouseMove:
        fire(OnMouseMove);
        break;
    case TrayAction::MouseDown:
        fire(OnMouseDown);
        break;
    case TrayAction::Click:
        fire(OnClick);
        break;
    case TrayAction::MouseUp:
        fire(OnMouseUp);
        break;
    case TrayAction::DblClick:
        fire(OnDblClick);
        break;
    case TrayAction::PopupMenu:
        if (m_owner)
            m_owner->activateWindow();
        QCoreApplication::processEvents();
        m_popupMenu->exec(QCursor::pos());
        QCoreApplication::processEvents();
        break;
    case TrayAction::None:
        break;
    }
}

} // namespace varno
