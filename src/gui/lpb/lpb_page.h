#pragma once

#include "core/lpb/lpb_watcher.h"
#include "core/lpb/rcon.h"
#include "core/lpb/status_parser.h"
#include "drive/watcher_driver.h"

#include <QHash>
#include <QWidget>

#include <string>
#include <string_view>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTimer;

namespace varno {

class FleetServer;
class ModelBindings;

class RconEndpoint;
class SettingsStore;
class SpinEdit;
class StatusLine;

// The "ZOZ Idaroz" page: the low-ping watcher's settings, control and log.
//
// The watcher driver does the work with the options the page's controls show: while enabled it polls the server
// every check period, and every player whose ping is below the threshold is logged, banned, announced and kicked as
// the options say. The page shows what it reports: the log and its table, the counts, the health, and the replies
// for the Status Window.
class LpbPage : public QWidget {
    Q_OBJECT
public:
    LpbPage(ModelBindings& bindings, FleetServer& server, StatusLine* statusLine, QWidget* parent = nullptr);
    ~LpbPage() override;

    QRadioButton* LPBRadio1;
    QRadioButton* LPBRadio2;
    QLineEdit* LPBServerEdit;
    SpinEdit* LPBPortSpin;
    SpinEdit* LPBPort2;
    SpinEdit* LPBPort3;
    SpinEdit* LPBPort4;
    SpinEdit* SpinMinPing;
    SpinEdit* SpinCheckLPB;
    QLineEdit* LPBRcon;
    QCheckBox* LPBMsg;
    QLineEdit* msg1;
    QLineEdit* msg2;
    QCheckBox* KickCB;
    QCheckBox* BanIPCB;
    QCheckBox* KickBannedCB;
    QCheckBox* LogLPBsCB;
    QPushButton* LpbButton;
    QPushButton* Button10;
    QLabel* LPBHealth; // whether the watcher sees its server, in the "Returned Info." area
    QLabel* LPBcnt;
    QLabel* BannedCnt;
    QTableWidget* LPBGrid;
    QPlainTextEdit* LPBListBox;
    QPushButton* Button9;
    QMenu* RulesPopupMenu;
    QAction* BanIP1;
    QAction* ClearAll1;
    QTimer* LPBTimer; // the driver's
    RconEndpoint* UDP1; // the driver's session's endpoint

    void LPBRadio1Click();
    void LPBRadio2Click();
    void SpinMinPingChange();
    void SpinCheckLPBChange();
    // An entry the operator added to or removed from the ban list goes to the running server at once (addip or
    // removeip) while the watcher runs and the server answers; otherwise the next launch's script carries it.
    void sendBanListEdit(bool added, const QString& entry);
    // The operator's Kick or Ban on a player of the Status Window's table, sent to the server that listed it.
    void removePlayer(const PlayerRecord& player, bool ban);
    void LpbButtonClick();
    void Button10Click();
    void Button9Click();
    void BanIP1Click();
    void ClearAll1Click();
    void LPBTimerTimer();

    // Shows and drives that server's watcher from now on; the one shown before goes on in the background.
    void attach(FleetServer& server);

    // Enables the watcher as the Enable button would, when it is not running (VarnoSrv --lpb).
    void enableFromCommandLine();

    bool isRunning() const { return m_driver->isRunning(); }
    // Whether datagrams still wait for their turn or for their host's lookup.
    bool isSending() const { return m_driver->isSending(); }
    const PortCycleCounter& portCycle() const { return m_driver->portCycle(); }
    // The LPB log, one entry per logged player, as the saved file holds it.
    const std::vector<std::string>& logLines() const { return m_logLines; }

    // One complete reply from the server, as if it had arrived.
    void handleReply(std::string_view replyText);

signals:
    // A reply of the polled server for the Status Window.
    void statusReplied(const QString& rawText, const varno::ParsedStatus& status);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bindControls();
    void buildLayout();
    void connectHandlers();

    void installHints();

    // The host choice stores both of its values, the local one first.
    void storeHostChoice();
    void appendBan(const std::string& address);
    void showStopped(const std::vector<LpbCommandReport>& unsent);
    void showHealth(const WatcherDriver::HealthReport& health);
    void showReply(std::string_view replyText, const ParsedStatus& status);
    // The log, the table, the status line and the count of one decision, once its datagrams are queued.
    void showLpb(const LpbDecision& decision);
    void commandSent(const LpbCommandReport& report);
    void countLpb();
    void resetLpbGrid();

    ModelBindings& m_bindings;
    StatusLine* m_statusLine;
    QHash<QObject*, QString> m_hints;
    FleetServer* m_server = nullptr;
    WatcherDriver* m_driver = nullptr;
    QMetaObject::Connection m_replies;
    std::vector<std::string> m_logLines;
};

} // namespace varno
