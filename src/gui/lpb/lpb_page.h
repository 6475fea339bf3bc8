#pragma once

#include <QWidget>

class QTimer;

namespace varno {

class SettingsStore;
class StatusLine;

// The "ZOZ Idaroz" page: the low-ping watcher's settings, control and log.
class LpbPage : public QWidget {
    Q_OBJECT
public:
    explicit LpbPage(StatusLine* statusLine, QWidget* parent = nullptr);

    QTimer* LPBTimer;

    // The start-up loader's part for this page: every stored value of the page into its control.
    void loadStoredSettings(SettingsStore& store);
    // Enables the watcher as the Enable button would, when it is not running (VarnoSrv --lpb).
    void enableFromCommandLine();

private:
    StatusLine* m_statusLine;
};

} // namespace varno
