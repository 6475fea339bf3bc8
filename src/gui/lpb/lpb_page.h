#pragma once

#include "core/lpb/lpb_watcher.h"
#include "core/lpb/rcon.h"
#include "core/lpb/rcon_pacer.h"
#include "core/lpb/status_parser.h"

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

class ModelBindings;

class RconEndpoint;
class RconSession;
class SettingsStore;
class SpinEdit;
class StatusLine;

// The "ZOZ Idaroz" page: the low-ping watcher's settings, control and log.
//
// While enabled, LPBTimer polls the server with an rcon " status" every check period. Each reply from the server
// last aimed at is parsed; every player whose ping is below the threshold is logged, banned, announced and kicked
// as the options say, and counted. Datagrams leave through a pacer, so that servers that throttle rcon do not
// drop the announcement or the kick.
class LpbPage : public QWidget {
    Q_OBJECT
public:
    LpbPage(ModelBindings& bindings, StatusLine* statusLine, QWidget* parent = nullptr);
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
    QTimer* LPBTimer;
    RconEndpoint* UDP1; // the session's endpoint

    void LPBRadio1Click();
    void LPBRadio2Click();
    void LPBServerEditChange();
    void LPBPortSpinChange();
    void LPBPort2Change();
    void LPBPort3Change();
    void LPBPort4Change();
    void SpinMinPingChange();
    void SpinCheckLPBChange();
    void msg1Change();
    void msg2Change();
    void LPBRconChange();
    void LPBMsgClick();
    void KickCBClick();
    void BanIPCBClick();
    void KickBannedCBClick();
    // An entry the operator added to or removed from the ban list goes to the running server at once (addip or
    // removeip) while the watcher runs and the server answers; otherwise the next launch's script carries it.
    void sendBanListEdit(bool added, const QString& entry);
    void LogLPBsCBClick();
    // The operator's Kick or Ban on a player of the Status Window's table, sent to the server that listed it.
    void removePlayer(const PlayerRecord& player, bool ban);
    void LpbButtonClick();
    void Button10Click();
    void Button9Click();
    void BanIP1Click();
    void ClearAll1Click();
    void LPBTimerTimer();

    // The start-up loader's part for this page: the host choice (the remote radio first, then the local one), the
    // stored host when the remote radio ends up on, then main port, threshold, check rate, texts, password and the
    // four options. The extra ports are not read. Each control's change handler stores its value straight back.
    void loadStoredSettings(SettingsStore& store);
    // Enables the watcher as the Enable button would, when it is not running (VarnoSrv --lpb).
    void enableFromCommandLine();

    bool isRunning() const;
    // Whether datagrams still wait for their turn or for their host's lookup.
    bool isSending() const;
    const PortCycleCounter& portCycle() const { return m_portCycle; }
    // The LPB log, one entry per logged player, as the saved file holds it.
    const std::vector<std::string>& logLines() const { return m_logLines; }

    // One complete reply from the server: parsed unless it repeats the previous one.
    void handleReply(std::string_view replyText);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ModelBindings& m_bindings;
    void buildLayout();
    void connectHandlers();
    void installHints();

    RconTarget aimEndpoint(bool advanceCycle);
    // The watcher's options as the controls hold them.
    WatcherOptions options() const;
    void showHealth();
    void applyTimerPeriod();
    void stop();

    void parseStatus(const std::string& replyText, const ParsedStatus& parsed);
    // The log, the table, the stored ban and the count of one decision, once its datagrams are queued.
    void showLpb(const LpbDecision& decision);
    void sendDecided(const RconTarget& target, const LpbDecision& decision);
    std::vector<std::string> storedBans() const;
    void commandSent(std::uint64_t id);
    void countLpb();
    void resetLpbGrid();

    StatusLine* m_statusLine;
    QHash<QObject*, QString> m_hints;

    PortCycleCounter m_portCycle;
    RconSession* m_session;
    LpbWatcher m_watcher;
    RconTarget m_polled; // where the last aimed send went: replies come from there only
    RconTarget m_tableTarget; // whose table the Status Window shows
    std::string m_shownHealthKey;
    bool m_healthTroubled = false;

    std::vector<std::string> m_logLines;
};

} // namespace varno
