#pragma once

#include "core/lpb/lpb_watcher.h"
#include "core/lpb/watcher_health.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QTimer;

namespace varno {

class RconSession;

// What one command that left tells the operator: "Announced NAME", "Kicked …", "Kicked banned …", "Sent addip …".
std::string sentCommandText(const LpbCommandReport& report);

// The ZOZ Idaroz at work, for the panel's page and varno watch alike: polls the server on its timer through the
// port cycle, announces its start (once more when the server was not listening yet), sends each command the watcher
// decides through the rcon session with its gap, and reports what happened: the decisions, each command once its
// datagram has left, the health while running, and on stop the commands that never left. The options and the ban
// list come from the owner at each use; what to show of the reports is the owner's.
class WatcherDriver : public QObject {
    Q_OBJECT
public:
    // The health each time it may have changed while running.
    struct HealthReport {
        WatcherHealthStatus status;
        bool changed = false; // another state than the one reported before
        bool notable = false; // changed into trouble, or out of it
    };

    explicit WatcherDriver(QObject* parent = nullptr);
    ~WatcherDriver() override;

    // Where the options and the banned-address list come from, and where a ban goes that the watcher stores.
    std::function<WatcherOptions()> options;
    std::function<std::vector<std::string>()> bans;
    std::function<void(const std::string& address)> storeBan;

    // The reports; any may stay empty.
    std::function<void(const RconTarget& target, const WatcherOptions& options)> onStarted;
    std::function<void(const std::vector<LpbCommandReport>& unsent)> onStopped;
    std::function<void(const HealthReport& health)> onHealth;
    // A reply of the polled server, once the commands decided for it are queued.
    std::function<void(std::string_view reply, const ParsedStatus& status)> onReply;
    // A decision about one player of that reply, its ban stored; the reports of its commands follow.
    std::function<void(const LpbDecision& decision)> onDecided;
    std::function<void(const LpbCommandReport& report)> onSent;
    // The reply's reading stopped at a ping that is no number; said after everything else about it.
    std::function<void(const std::string& error)> onReplyError;
    // A lookup or a send failed.
    std::function<void(const QString& message)> onFailure;

    RconSession& session() const { return *m_session; }
    QTimer* timer() const { return m_timer; }
    const PortCycleCounter& portCycle() const { return m_portCycle; }
    bool isRunning() const { return m_running; }
    // Whether datagrams still wait for their turn or for their host's lookup.
    bool isSending() const;
    WatcherHealthStatus health() const;
    // Running, and the server's last word was an answer.
    bool serverAnswers() const;
    int count() const { return m_watcher.count(); }
    int bannedCount() const { return m_watcher.bannedCount(); }

    // Aims at the server and, unless the options refuse it (their reason is returned), runs: the timer at the check
    // rate, the start announcement sent.
    std::optional<std::string_view> start();
    // Stops polling and drops what has not left, reporting it.
    void stop();
    // Stops the timer alone: what is queued still leaves and is reported.
    void stopPolling();
    // The poll period; zero stops the polls while the watcher stays on.
    void setCheckRate(int seconds);
    // One status poll of the next port of the cycle, running or not.
    void poll();
    // The operator's kick, and with ban the addip, of a player of the last table, to its server; nothing when the
    // watcher is off.
    std::optional<LpbDecision> removeByOperator(const PlayerRecord& player, bool ban);
    // One rcon command to the server last aimed at.
    void send(std::string_view commandText);
    // A complete reply, as if it had arrived.
    void deliver(std::string_view reply);

private:
    WatcherOptions currentOptions() const;
    std::vector<std::string> currentBans() const;
    void queue(const RconTarget& target, const std::string& password, const LpbDecision& decision);
    void replyArrived(std::string_view reply, const ParsedStatus& status);
    void commandSent(std::uint64_t id);
    void reportHealth();

    RconSession* m_session;
    QTimer* m_timer;
    LpbWatcher m_watcher;
    PortCycleCounter m_portCycle;
    RconTarget m_polled;      // where the last aimed send went: replies come from there only
    RconTarget m_tableTarget; // whose table was the last one
    bool m_running = false;
    std::string m_healthKey;
    bool m_troubled = false;
    // While a reply's commands are queued, the reports of those that leave at once wait for its decisions.
    bool m_holdingReports = false;
    std::vector<LpbCommandReport> m_heldReports;
};

} // namespace varno
