#include "drive/watcher_driver.h"

#include "core/lpb/rcon.h"
#include "net/rcon_session.h"

#include <QTimer>

#include <utility>

namespace varno {

std::string sentCommandText(const LpbCommandReport& report)
{
    switch (report.kind) {
    case LpbCommandKind::Announcement:
        return "Announced " + playerName(report.player);
    case LpbCommandKind::Kick:
        return (report.banned ? "Kicked banned " : "Kicked ") + playerText(report.player);
    case LpbCommandKind::AddIp:
        break;
    }
    return "Sent addip " + report.address;
}

namespace {

constexpr int kMsPerSecond = 1000;

} // namespace

WatcherDriver::WatcherDriver(QObject* parent)
    : QObject(parent)
    , m_session(new RconSession(this))
    , m_timer(new QTimer(this))
{
    connect(m_timer, &QTimer::timeout, this, &WatcherDriver::poll);
    m_session->onReply = [this](std::string_view reply, const ParsedStatus& status) { replyArrived(reply, status); };
    m_session->onSent = [this](std::uint64_t id) { commandSent(id); };
    m_session->onHealth = [this] { reportHealth(); };
    m_session->onError = [this](const QString& message) {
        if (onFailure)
            onFailure(message);
    };
}

WatcherDriver::~WatcherDriver() = default;

WatcherOptions WatcherDriver::currentOptions() const
{
    return options ? options() : WatcherOptions();
}

std::vector<std::string> WatcherDriver::currentBans() const
{
    return bans ? bans() : std::vector<std::string>();
}

bool WatcherDriver::isSending() const
{
    return m_session->isSending();
}

WatcherHealthStatus WatcherDriver::health() const
{
    return m_session->health();
}

bool WatcherDriver::serverAnswers() const
{
    return m_running && m_session->health().state == HealthState::Answering;
}

std::optional<std::string_view> WatcherDriver::start()
{
    const WatcherOptions current = currentOptions();
    // Enabling aims without a step of the port cycle: only polls advance it.
    m_polled = {current.host(), m_portCycle.currentPort(current.ports)};
    m_session->aim(m_polled);
    if (const auto refusal = startRefusal(current))
        return refusal;
    m_running = true;
    setCheckRate(current.checkRateSeconds);
    m_session->resetHealth();
    m_healthKey.clear();
    m_troubled = false;
    if (onStarted)
        onStarted(m_polled, current);
    reportHealth();
    m_session->send(rconDatagram(current.password, kRconStartAnnouncement));
    m_watcher.startAnnouncementSent();
    return std::nullopt;
}

void WatcherDriver::stop()
{
    m_timer->stop();
    m_running = false;
    m_session->clearQueued();
    const std::vector<LpbCommandReport> unsent = m_watcher.dropPending();
    if (onStopped)
        onStopped(unsent);
}

void WatcherDriver::stopPolling()
{
    m_timer->stop();
}

void WatcherDriver::setCheckRate(int seconds)
{
    const int period = seconds * kMsPerSecond;
    m_timer->setInterval(period);
    // A zero period would fire continuously: the watcher then stays on but does not poll.
    if (m_running && period > 0)
        m_timer->start();
    else
        m_timer->stop();
}

void WatcherDriver::poll()
{
    const WatcherOptions current = currentOptions();
    m_polled = {current.host(), m_portCycle.pollPort(current.ports)};
    m_watcher.pollSent(m_polled);
    m_session->poll(m_polled, rconDatagram(current.password, kRconStatusCommand));
    // A check rate changed meanwhile takes effect from the next period.
    if (m_running && m_timer->interval() != current.checkRateSeconds * kMsPerSecond)
        setCheckRate(current.checkRateSeconds);
}

std::optional<LpbDecision> WatcherDriver::removeByOperator(const PlayerRecord& player, bool ban)
{
    if (!m_running)
        return std::nullopt;
    const WatcherOptions current = currentOptions();
    LpbDecision decision = m_watcher.removeByOperator(m_tableTarget, player, ban, currentBans());
    queue(m_tableTarget, current.password, decision);
    if (decision.storeBan && storeBan)
        storeBan(*decision.storeBan);
    return decision;
}

void WatcherDriver::send(std::string_view commandText)
{
    m_session->send(rconDatagram(currentOptions().password, commandText));
}

void WatcherDriver::deliver(std::string_view reply)
{
    m_session->deliver(reply);
}

void WatcherDriver::queue(const RconTarget& target, const std::string& password, const LpbDecision& decision)
{
    for (const LpbCommand& command : decision.commands)
        m_session->sendTo(target, rconDatagram(password, command.commandText), command.minGapUs, command.id);
}

void WatcherDriver::replyArrived(std::string_view reply, const ParsedStatus& status)
{
    const WatcherOptions current = currentOptions();
    if (m_watcher.announceStartAgain(status))
        m_session->send(rconDatagram(current.password, kRconStartAnnouncement));
    const std::vector<LpbDecision> decisions = m_watcher.decide(m_polled, status, current, currentBans());
    // The datagrams first, all to the server whose reply this is: the rest only tells of them, and a kick should
    // not wait for that. The pacer keeps each kick 10 ms behind its announcement.
    m_holdingReports = true;
    for (const LpbDecision& decision : decisions)
        queue(m_polled, current.password, decision);
    m_holdingReports = false;
    if (status.layout != StatusLayout::Unknown)
        m_tableTarget = m_polled;
    if (onReply)
        onReply(reply, status);
    for (const LpbDecision& decision : decisions) {
        if (decision.storeBan && storeBan)
            storeBan(*decision.storeBan);
        if (onDecided)
            onDecided(decision);
    }
    for (const LpbCommandReport& report : std::exchange(m_heldReports, {})) {
        if (onSent)
            onSent(report);
    }
    if (status.error && onReplyError)
        onReplyError(*status.error);
}

void WatcherDriver::commandSent(std::uint64_t id)
{
    std::optional<LpbCommandReport> report = m_watcher.commandSent(id);
    if (!report)
        return;
    if (m_holdingReports)
        m_heldReports.push_back(std::move(*report));
    else if (onSent)
        onSent(*report);
}

void WatcherDriver::reportHealth()
{
    if (!m_running)
        return;
    HealthReport report{m_session->health()};
    report.changed = report.status.key != m_healthKey;
    if (report.changed) {
        // Trouble is told, and so is the recovery from it; a watcher that simply answers leaves that to the replies.
        const bool fine = report.status.state == HealthState::Answering || report.status.state == HealthState::Waiting;
        report.notable = !fine || m_troubled;
        m_troubled = !fine;
        m_healthKey = report.status.key;
    }
    if (onHealth)
        onHealth(report);
}

} // namespace varno
