#include "gui/app/tray_icon.h"

#include "core/app/tray_dispatch.h"
#include "gui/app/error_report.h"
#include "platform/qt_text.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <QWidget>

namespace varno {

namespace {

TTrayIcon::BackendFactory& backendFactory()
{
    static TTrayIcon::BackendFactory factory = createTrayBackend;
    return factory;
}

} // namespace

void TTrayIcon::setBackendFactory(BackendFactory factory)
{
    backendFactory() = factory ? std::move(factory) : BackendFactory(createTrayBackend);
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
