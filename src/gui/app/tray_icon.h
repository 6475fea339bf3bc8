#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QMenu;
class QWidget;

namespace varno {

// How an icon reaches the notification area: the shell on Windows, QSystemTrayIcon elsewhere.
class TrayBackend {
public:
    virtual ~TrayBackend() = default;
    // Whether there is a notification area at all.
    virtual bool available() const = 0;
    // Adds the icon; false when the area refuses it (for instance because it is shown already).
    virtual bool add(const QIcon& icon, const QString& tip) = 0;
    // Sends a changed icon or tip; refused while the icon is not shown.
    virtual bool modify(const QIcon& icon, const QString& tip) = 0;
    virtual void remove() = 0;

    // The backend reports mouse activity over the icon as the shell's mouse messages (512..521).
    std::function<void(std::uint32_t mouseMessage)> mouseMessage;
};

// The system's notification area: the shell's on Windows (win_tray_backend.cpp), QSystemTrayIcon's elsewhere
// (posix_tray_backend.cpp).
std::unique_ptr<TrayBackend> createTrayBackend(QWidget* owner, int iconId);

// One icon in the notification area on behalf of its owner window, with its mouse activity turned into
// events. Once shown it stays until the component goes.
class TTrayIcon : public QObject {
    Q_OBJECT
public:
    using Event = std::function<void(TTrayIcon* sender)>;

    explicit TTrayIcon(QWidget* owner);
    ~TTrayIcon() override;

    QIcon Icon() const { return m_icon; }
    void setIcon(const QIcon& icon);
    QString Tip() const { return m_tip; }
    // Keeps at most 63 characters, as the notification area does.
    void setTip(const QString& tip);
    QMenu* PopupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu* menu) { m_popupMenu = menu; }

    Event OnClick;
    Event OnDblClick;
    Event OnMouseDown;
    Event OnMouseMove;
    Event OnMouseUp;

    // Adds the icon; true when it was added.
    bool ShowIcon();
    // The icon's number on its owner window: 1 for the owner's first tray component.
    int IconID() const { return m_iconId; }
    bool available() const;

    // The mouse message the icon received (512..521), dispatched to the events.
    void handleMouseMessage(std::uint32_t mouseMessage);

    // Tests put a backend of their own in place of the platform's.
    using BackendFactory = std::function<std::unique_ptr<TrayBackend>(QWidget* owner, int iconId)>;
    static void setBackendFactory(BackendFactory factory);

private:
    QWidget* m_owner;
    int m_iconId = 0;
    QIcon m_icon;
    QString m_tip;
    QMenu* m_popupMenu = nullptr;
    std::unique_ptr<TrayBackend> m_backend;
};

} // namespace varno
