#include "cli/cli_context.h"
#include "core/lpb/lpb_log.h"
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

// The ZOZ Idaroz options as the stored settings hold them, read afresh for every poll and reply as the
// page reads its controls.
struct WatchOptions {
    std::string host;
    RconPorts ports;
    int minPing = 100;
    int checkRateSeconds = 15;
    std::string password;
    bool announce = true;
    std::string msg1;
    std::string msg2;
    bool kick = true;
    bool ban = false;
    bool log = true;
};

WatchOptions storedOptions()
{
    const auto store = createSettingsStore();
    WatchOptions options;
    const bool local = store->ReadBool(kLocalHost, true);
    const bool remote = !local && store->ReadBool(kRemoteHost, false);
    options.host = rconHost(local, remote ? store->ReadString(kRemoteHostAddress, "") : "");
    // The extra ports are read too: without a page there is no other way to give them.
    options.ports = {kLPBRemotePort.clamp(store->ReadInteger(kLPBRemotePort, 27960)),
                     kLPBPort2.clamp(store->ReadInteger(kLPBPort2, 0)), kLPBPort3.clamp(store->ReadInteger(kLPBPort3, 0)),
                     kLPBPort4.clamp(store->ReadInteger(kLPBPort4, 0))};
    options.minPing = kLPBMinPing.clamp(store->ReadInteger(kLPBMinPing, 100));
    options.checkRateSeconds = kLPBCheckRate.clamp(store->ReadInteger(kLPBCheckRate, 15));
    options.password = store->ReadString(kLPBRCon, "");
    options.announce = store->ReadBool(kLPBMsg, true);
    options.msg1 = store->ReadString(kLPBMsg1, kLPBMsg1.defaultText);
    options.msg2 = store->ReadString(kLPBMsg2, kLPBMsg2.defaultText);
    options.kick = store->ReadBool(kKickLPB, true);
    options.ban = store->ReadBool(kBanIP, false);
    options.log = store->ReadBool(kLogLPBs, true);
    return options;
}

std::string trimmed(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

class Watcher {
public:
    explicit Watcher(Context& context)
        : m_context(context)
    {
        m_session.onReply = [this](std::string_view reply) { handleReply(reply); };
        m_session.onError = [this](const QString& message) {
            std::fprintf(m_context.err, "varno: %s\n", qPrintable(message));
        };
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    }

    void start()
    {
        const WatchOptions options = storedOptions();
        if (options.password.empty())
            throw CliError("You must setup an RCon Password before enabling this feature!");
        const RconTarget target{options.host, m_portCycle.currentPort(options.ports)};
        m_session.aim(target);
        m_session.send(target, rconDatagram(options.password, kRconStartAnnouncement));
        m_timer.start(options.checkRateSeconds * 1000);
        std::fprintf(m_context.err, "varno: watching %s:%d every %d s for pings below %d ms\n", options.host.c_str(),
                     target.port, options.checkRateSeconds, options.minPing);
    }

    int count() const { return m_count; }
    bool isSending() const { return m_session.isSending(); }
    void stopPolling() { m_timer.stop(); }

private:
    void poll()
    {
        const WatchOptions options = storedOptions();
        const RconTarget target{options.host, m_portCycle.pollPort(options.ports)};
        m_session.aim(target);
        m_session.send(target, rconDatagram(options.password, kRconStatusCommand));
        // A check rate changed meanwhile takes effect from the next period.
        if (m_timer.interval() != options.checkRateSeconds * 1000)
            m_timer.start(options.checkRateSeconds * 1000);
    }

    void say(const std::string& line)
    {
        m_context.printRaw(line + "\n");
        std::fflush(m_context.out);
    }

    void handleReply(std::string_view reply)
    {
        const ParsedStatus parsed = parseStatusReply(reply);
        if (parsed.layout == StatusLayout::Unknown)
            return; // the answer to a say or kick
        m_session.setLayout(m_session.lastAimed(), parsed.layout);
        const WatchOptions options = storedOptions();
        for (const StatusRow& row : parsed.rows) {
            if (isLowPingPlayer(row, options.minPing))
                act(row.player, options);
        }
        if (parsed.error)
            std::fprintf(m_context.err, "varno: %s\n", parsed.error->c_str());
    }

    void act(const PlayerRecord& player, const WatchOptions& options)
    {
        if (options.log)
            say(lpbLogLine(player));
        if (options.ban) {
            const auto store = createSettingsStore();
            auto bans = FromCommaList(store->ReadString(kBanIPList, ""));
            bans.push_back(player.address);
            store->WriteString(kBanIPList, ToCommaList(bans));
            say("Banned " + player.address);
        }
        const RconTarget target = m_session.lastAimed();
        if (options.announce) {
            m_session.send(target,
                           rconDatagram(options.password, lpbAnnouncementCommand(options.msg1, player, options.msg2)));
            say("Announced " + trimmed(player.name));
        }
        if (options.kick) {
            m_session.send(target, rconDatagram(options.password, kickCommand(player)),
                           RconPacer::kKickAfterAnnouncementUs);
            say("Kicked client " + trimmed(player.clientNumber) + " " + trimmed(player.name));
        }
        ++m_count;
    }

    Context& m_context;
    RconSession m_session;
    PortCycleCounter m_portCycle;
    QTimer m_timer;
    int m_count = 0;
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
    std::fprintf(context.err, "varno: watch ended; %d low-ping players found\n", watcher.count());
    return 0;
}

} // namespace varno::cli
