#include "cli/cli_context.h"
#include "core/lpb/lpb_watcher.h"
#include "core/lpb/rcon.h"
#include "core/lpb/status_parser.h"
#include "core/settings/comma_list.h"
#include "core/settings/schema.h"
#include "net/rcon_session.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <csignal>

namespace varno::cli {

namespace {

std::atomic<bool> g_interrupted{false};

extern "C" void onInterrupt(int)
{
    g_interrupted = true;
}

WatcherOptions storedOptions()
{
    return readWatcherOptions(*createSettingsStore());
}

std::string trimmed(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string who(const PlayerRecord& player)
{
    return "client " + trimmed(player.clientNumber) + " " + trimmed(player.name);
}

// The varno watch driver of the watcher engine: polls on a timer, prints what the engine decided as it happens
// (a datagram's line once it has left) and the health on standard error once per change.
class Watcher {
public:
    explicit Watcher(Context& context)
        : m_context(context)
    {
        m_session.onReply = [this](std::string_view, const ParsedStatus& status) { handleReply(status); };
        m_session.onSent = [this](std::uint64_t id) { reportSent(id); };
        m_session.onHealth = [this] { reportHealth(); };
        // The same failure at every poll is said once, like the health.
        m_session.onError = [this](const QString& message) {
            // A host that is not found is the health's news already.
            if (message == m_lastError || message == QString::fromStdString(m_session.health().text))
                return;
            m_lastError = message;
            std::fprintf(m_context.err, "varno: %s\n", qPrintable(message));
        };
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    }

    void start()
    {
        const WatcherOptions options = storedOptions();
        if (options.password.empty())
            throw CliError("You must setup an RCon Password before enabling this feature!");
        const RconTarget target{options.host(), m_portCycle.currentPort(options.ports)};
        m_polled = target;
        m_session.aim(target);
        m_session.send(rconDatagram(options.password, kRconStartAnnouncement));
        m_watcher.startAnnouncementSent();
        m_timer.start(options.checkRateSeconds * 1000);
        std::fprintf(m_context.err, "varno: watching %s:%d every %d s for pings below %d ms\n",
                     options.host().c_str(), target.port, options.checkRateSeconds, options.minPing);
    }

    int count() const { return m_watcher.count(); }
    int bannedCount() const { return m_watcher.bannedCount(); }
    bool isSending() const { return m_session.isSending(); }
    void stopPolling() { m_timer.stop(); }

    // What was decided and has not left: said on standard error, then forgotten.
    void reportUnsent()
    {
        m_session.clearQueued();
        for (const LpbCommandReport& report : m_watcher.dropPending()) {
            std::string what;
            switch (report.kind) {
            case LpbCommandKind::Announcement:
                what = "announcement of " + who(report.player);
                break;
            case LpbCommandKind::Kick:
                what = "kick of " + who(report.player);
                break;
            case LpbCommandKind::AddIp:
                what = "addip " + report.address;
                break;
            }
            std::fprintf(m_context.err, "varno: not sent: %s\n", what.c_str());
        }
    }

private:
    void poll()
    {
        const WatcherOptions options = storedOptions();
        m_polled = {options.host(), m_portCycle.pollPort(options.ports)};
        m_watcher.pollSent(m_polled);
        m_session.poll(m_polled, rconDatagram(options.password, kRconStatusCommand));
        // A check rate changed meanwhile takes effect from the next period.
        if (m_timer.interval() != options.checkRateSeconds * 1000)
            m_timer.start(options.checkRateSeconds * 1000);
    }

    void say(const std::string& line)
    {
        m_context.printRaw(line + "\n");
        std::fflush(m_context.out);
    }

    void handleReply(const ParsedStatus& status)
    {
        const WatcherOptions options = storedOptions();
        if (m_watcher.announceStartAgain(status))
            m_session.send(rconDatagram(options.password, kRconStartAnnouncement));
        if (status.layout == StatusLayout::Unknown)
            return; // the answer to a say or kick
        const auto store = createSettingsStore();
        std::vector<std::string> bans = FromCommaList(store->ReadString(kBanIPList));
        for (const LpbDecision& decision : m_watcher.decide(m_polled, status, options, bans)) {
            if (decision.message)
                std::fprintf(m_context.err, "varno: %s\n", decision.message->c_str());
            if (decision.logLine)
                say(*decision.logLine);
            if (decision.storeBan) {
                bans.push_back(*decision.storeBan);
                store->WriteString(kBanIPList, ToCommaList(bans));
                say("Banned " + *decision.storeBan);
            }
            for (const LpbCommand& command : decision.commands)
                m_session.send(rconDatagram(options.password, command.commandText), command.minGapUs, command.id);
        }
        if (status.error)
            std::fprintf(m_context.err, "varno: %s\n", status.error->c_str());
    }

    void reportSent(std::uint64_t id)
    {
        const std::optional<LpbCommandReport> report = m_watcher.commandSent(id);
        if (!report)
            return;
        switch (report->kind) {
        case LpbCommandKind::Announcement:
            say("Announced " + trimmed(report->player.name));
            break;
        case LpbCommandKind::Kick:
            say((report->banned ? "Kicked banned " : "Kicked ") + who(report->player));
            break;
        case LpbCommandKind::AddIp:
            say("Sent addip " + report->address);
            break;
        }
    }

    void reportHealth()
    {
        const WatcherHealthStatus health = m_session.health();
        if (health.key == m_healthKey)
            return;
        m_healthKey = health.key;
        std::fprintf(m_context.err, "varno: %s\n", health.text.c_str());
    }

    Context& m_context;
    RconSession m_session;
    LpbWatcher m_watcher;
    PortCycleCounter m_portCycle;
    RconTarget m_polled;
    std::string m_healthKey;
    QString m_lastError;
    QTimer m_timer;
};

} // namespace

int watchCommand(Context& context)
{
    refuseUnknownOptions(context.arguments);
    if (!context.arguments.isEmpty())
        throw CliError("watch takes no arguments", 2);
    Watcher watcher(context);
    watcher.start();
    g_interrupted = false;
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    // An interrupt stops the polls; announcements and kicks already decided still leave (for at most a few
    // seconds, the classic server's pace), then the program ends.
    constexpr int kDrainLimitMs = 3000;
    int drainedMs = -1;
    QTimer interruptCheck;
    QObject::connect(&interruptCheck, &QTimer::timeout, [&] {
        if (!g_interrupted)
            return;
        if (drainedMs < 0) {
            watcher.stopPolling();
            drainedMs = 0;
        }
        drainedMs += interruptCheck.interval();
        if (!watcher.isSending() || drainedMs >= kDrainLimitMs)
            QCoreApplication::quit();
    });
    interruptCheck.start(100);
    QCoreApplication::exec();
    watcher.reportUnsent();
    std::fprintf(context.err, "varno: watch ended; %d low-ping players found, %d banned players removed\n",
                 watcher.count(), watcher.bannedCount());
    return 0;
}

} // namespace varno::cli
