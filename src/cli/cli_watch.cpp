#include "cli/cli_context.h"
#include "drive/server_catalog.h"
#include "core/lpb/lpb_watcher.h"
#include "core/settings/comma_list.h"
#include "core/settings/schema.h"
#include "drive/watcher_driver.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <csignal>

namespace varno::cli {

namespace {

std::atomic<bool> g_interrupted{false};

extern "C" void onInterrupt(int)
{
    g_interrupted = true;
}

// varno watch's view of one server's watcher: the options and the ban list as stored at each use, one line on
// standard output for each action (a datagram's once it has left), and on standard error the changes of the health
// and what went wrong, each once. Watching several servers, each line begins with the server's name.
class Watcher {
public:
    Watcher(Context& context, const std::string& profile, std::string label)
        : m_context(context)
        , m_profile(profile)
        , m_label(std::move(label))
    {
        m_driver.options = [this] { return readWatcherOptions(*createSettingsStoreOf(m_profile)); };
        m_driver.bans = [this] { return storedBans(); };
        m_driver.storeBan = [this](const std::string& address) {
            std::vector<std::string> bans = storedBans();
            bans.push_back(address);
            createSettingsStoreOf(m_profile)->WriteString(kBanIPList, ToCommaList(bans));
        };
        m_driver.onStarted = [this](const RconTarget& target, const WatcherOptions& options) {
            note("watching " + target.host + ":" + std::to_string(target.port) + " every " +
                 std::to_string(options.checkRateSeconds) + " s for pings below " + std::to_string(options.minPing) +
                 " ms");
        };
        m_driver.onStopped = [this](const std::vector<LpbCommandReport>& unsent) {
            for (const LpbCommandReport& report : unsent)
                note("not sent: " + describeCommand(report));
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

    // Why the watcher cannot run, or nothing once it runs.
    std::optional<std::string> start()
    {
        if (const auto refusal = m_driver.start())
            return std::string(*refusal);
        return std::nullopt;
    }

    int count() const { return m_driver.count(); }
    int bannedCount() const { return m_driver.bannedCount(); }
    bool isSending() const { return m_driver.isSending(); }
    void stopPolling() { m_driver.stopPolling(); }
    // What was decided and has not left is said on standard error, then forgotten.
    void stop() { m_driver.stop(); }

    void note(const std::string& text) { std::fprintf(m_context.err, "varno: %s%s\n", m_label.c_str(), text.c_str()); }

private:
    std::vector<std::string> storedBans() const
    {
        return FromCommaList(createSettingsStoreOf(m_profile)->ReadString(kBanIPList));
    }

    void say(const std::string& line)
    {
        m_context.printRaw(m_label + line + "\n");
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

    void reportSent(const LpbCommandReport& report) { say(sentCommandText(report)); }

    Context& m_context;
    std::string m_profile;
    std::string m_label; // "" watching one server, "[NAME] " watching all
    WatcherDriver m_driver;
    QString m_lastError;
};

} // namespace

int watchCommand(Context& context)
{
    const bool all = takeFlag(context.arguments, QStringLiteral("all"));
    refuseUnknownOptions(context.arguments);
    if (!context.arguments.isEmpty())
        throw CliError("watch takes no arguments besides --all", 2);
    std::vector<std::unique_ptr<Watcher>> watchers;
    if (!all) {
        watchers.push_back(std::make_unique<Watcher>(context, serverProfile(), std::string()));
        if (const auto refusal = watchers.back()->start())
            throw CliError(*refusal);
    } else {
        // Every server whose watcher can run; the others are named with the reason.
        for (const std::string& id : allProfiles()) {
            auto watcher = std::make_unique<Watcher>(context, id, "[" + nameOf(id) + "] ");
            if (const auto refusal = watcher->start())
                watcher->note("not watched: " + *refusal);
            else
                watchers.push_back(std::move(watcher));
        }
        if (watchers.empty())
            throw CliError("no server can be watched");
    }
    const auto each = [&](const auto& act) {
        for (const auto& watcher : watchers)
            act(*watcher);
    };
    const auto sending = [&] {
        return std::any_of(watchers.begin(), watchers.end(), [](const auto& watcher) { return watcher->isSending(); });
    };
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
            each([](Watcher& watcher) { watcher.stopPolling(); });
            drainedMs = 0;
        }
        drainedMs += interruptCheck.interval();
        if (!sending() || drainedMs >= kDrainLimitMs)
            QCoreApplication::quit();
    });
    interruptCheck.start(100);
    QCoreApplication::exec();
    int found = 0;
    int banned = 0;
    each([&](Watcher& watcher) {
        watcher.stop();
        found += watcher.count();
        banned += watcher.bannedCount();
    });
    std::fprintf(context.err, "varno: watch ended; %d low-ping players found, %d banned players removed\n", found,
                 banned);
    return 0;
}

} // namespace varno::cli
