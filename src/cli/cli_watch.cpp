#include "cli/cli_context.h"
#include "core/lpb/lpb_watcher.h"
#include "core/settings/comma_list.h"
#include "core/settings/schema.h"
#include "drive/watcher_driver.h"
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

std::vector<std::string> storedBans()
{
    return FromCommaList(createSettingsStore()->ReadString(kBanIPList));
}

// varno watch's view of the watcher: the options and the ban list as stored at each use, one line on standard output
// for each action (a datagram's once it has left), and on standard error the changes of the health and what went
// wrong, each once.
class Watcher {
public:
    explicit Watcher(Context& context)
        : m_context(context)
    {
        m_driver.options = [] { return readWatcherOptions(*createSettingsStore()); };
        m_driver.bans = storedBans;
        m_driver.storeBan = [this](const std::string& address) {
            std::vector<std::string> bans = storedBans();
            bans.push_back(address);
            createSettingsStore()->WriteString(kBanIPList, ToCommaList(bans));
        };
        m_driver.onStarted = [this](const RconTarget& target, const WatcherOptions& options) {
            std::fprintf(m_context.err, "varno: watching %s:%d every %d s for pings below %d ms\n", target.host.c_str(),
                         target.port, options.checkRateSeconds, options.minPing);
        };
        m_driver.onStopped = [this](const std::vector<LpbCommandReport>& unsent) {
            for (const LpbCommandReport& report : unsent)
                std::fprintf(m_context.err, "varno: not sent: %s\n", describeCommand(report).c_str());
        };
        m_driver.onHealth = [this](const WatcherDriver::HealthReport& health) {
            if (health.changed)
                note(health.status.text);
        };
        m_driver.onDecided = [this](const LpbDecision& decision) { reportDecision(decision); };
        m_driver.onSent = [this](const LpbCommandReport& report) { reportSent(report); };
        m_driver.onReplyError = [this](const std::string& error) { note(error); };
        // The same failure at every poll is said once, like the health.
        m_driver.onFailure = [this](const QString& message) {
            // A host that is not found is the health's news already.
            if (message == m_lastError || message == QString::fromStdString(m_driver.health().text))
                return;
            m_lastError = message;
            note(toStd(message));
        };
    }

    void start()
    {
        if (const auto refusal = m_driver.start())
            throw CliError(std::string(*refusal));
    }

    int count() const { return m_driver.count(); }
    int bannedCount() const { return m_driver.bannedCount(); }
    bool isSending() const { return m_driver.isSending(); }
    void stopPolling() { m_driver.stopPolling(); }
    // What was decided and has not left is said on standard error, then forgotten.
    void stop() { m_driver.stop(); }

private:
    void note(const std::string& text) { std::fprintf(m_context.err, "varno: %s\n", text.c_str()); }

    void say(const std::string& line)
    {
        m_context.printRaw(line + "\n");
        std::fflush(m_context.out);
    }

    void reportDecision(const LpbDecision& decision)
    {
        if (decision.message)
            note(*decision.message);
        if (decision.logLine)
            say(*decision.logLine);
        if (decision.storeBan)
            say("Banned " + *decision.storeBan);
    }

    void reportSent(const LpbCommandReport& report)
    {
        switch (report.kind) {
        case LpbCommandKind::Announcement:
            say("Announced " + playerName(report.player));
            break;
        case LpbCommandKind::Kick:
            say((report.banned ? "Kicked banned " : "Kicked ") + playerText(report.player));
            break;
        case LpbCommandKind::AddIp:
            say("Sent addip " + report.address);
            break;
        }
    }

    Context& m_context;
    WatcherDriver m_driver;
    QString m_lastError;
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
    watcher.stop();
    std::fprintf(context.err, "varno: watch ended; %d low-ping players found, %d banned players removed\n",
                 watcher.count(), watcher.bannedCount());
    return 0;
}

} // namespace varno::cli
