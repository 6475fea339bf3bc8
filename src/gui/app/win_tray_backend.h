#pragma once

#include "gui/app/tray_icon.h"

#include <memory>

class QWidget;

namespace varno {

class WinTrayIcon;

// The notification area through the shell, for Windows.
class WinTrayBackend : public TrayBackend {
public:
    WinTrayBackend(QWidget* owner, int iconId);
    ~WinTrayBackend() override;

    bool available() const override { return true; }
    bool add(const QIcon& icon, const QString& tip) override;
    bool modify(const QIcon& icon, const QString& tip) override;
    void remove() override;

private:
    bool send(int action, const QIcon& icon, const QString& tip);

    std::unique_ptr<WinTrayIcon> m_icon;
};

} // namespace varno
