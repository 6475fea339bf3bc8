#include "net/rcon_session.h"

#include "core/app/varno_error.h"
#include "net/rcon_endpoint.h"
#include "platform/qt_text.h"

#include <QTimer>

#include <algorithm>
#include <utility>

namespace varno {

namespace {

// Where a status table begins: a reply's first datagram, whose console text starts with the map line.
const QByteArray kStatusReplyStart = QByteArrayLiteral("\xff\xff\xff\xffprint\nmap: ");
// The empty line that closes a status table.
const QByteArray kStatusTableEnd = QByteArrayLiteral("\n\n");

constexpr std::int64_t kUsPerMs = 1000;
// A wait this short is spun rather than left to a timer.
constexpr std::int64_t kSpinUs = 1500;
// Servers take the time of a datagram in whole milliseconds when their loop gets to it; sent exactly on the limit,
// a datagram can look a hair too early and be dropped.
constexpr std::int64_t kPaceMarginUs = 20'000;
// A server's bucket leaks on the times it received datagrams, which a varying delay on the way can bring closer
// together than they left: the model leaks a little slower than the server.
constexpr std::int64_t kBucketMarginUs = 50'000;

QTimer* preciseSingleShot(QObject* parent)
{
    auto* timer = new QTimer(parent);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    return timer;
}

} // namespace

RconSession::RconSession(QObject* parent)
    : QObject(parent)
    , m_endpoint(new RconEndpoint(this))
    , m_pacer(RconPacer::kClassicGapUs + kPaceMarginUs, RconPacer::kBucketPeriodUs + kBucketMarginUs)
    , m_pacerTimer(preciseSingleShot(this))
    , m_replyTimer(preciseSingleShot(this))
{
    m_clock.start();
    connect(m_pacerTimer, &QTimer::timeout, this, &RconSession::sendPaced);
    connect(m_replyTimer, &QTimer::timeout, this, [this] { drainReplies(false); });
    connect(m_endpoint, &RconEndpoint::datagramArrived, this, &RconSession::datagramArrived);
    connect(m_endpoint, &RconEndpoint::listenedDatagramArrived, this, &RconSession::listenedDatagramArrived);
    connect(m_endpoint, &RconEndpoint::lookupFinished, this, &RconSession::releaseAfterLookup);
    connect(m_endpoint, &RconEndpoint::foreignDatagramDropped, this, [this](const QString& source) {
        m_health.foreignReply(m_lastAimed, toStd(source));
        healthChanged();
    });
}

RconSession::~RconSession() = default;

void RconSession::aim(const RconTarget& target)
{
    m_lastAimed = target;
    m_endpoint->aim(target);
}

void RconSession::poll(const RconTarget& target, std::string payload)
{
    aim(target);
    queue({target, std::move(payload), 0, 0, Kind::Poll});
}

void RconSession::send(std::string payload, std::int64_t minGapUs, std::uint64_t id)
{
    sendTo(m_lastAimed, std::move(payload), minGapUs, id);
}

void RconSession::sendTo(const RconTarget& target, std::string payload, std::int64_t minGapUs, std::uint64_t id)
{
    queue({target, std::move(payload), minGapUs, id, Kind::Command});
}

void RconSession::queryInfo(const RconTarget& target)
{
    m_endpoint->listen(target);
    queue({target, std::string(kGetStatusQuery), 0, 0, Kind::Query});
}

void RconSession::queue(Queued queued)
{
    if (!m_endpoint->isResolved(queued.target)) {
        // One poll and one query wait for the lookup at a time, as in the pacer.
        if (queued.kind != Kind::Command)
            std::erase_if(m_awaitingLookup, [&](const Queued& waiting) {
                return waiting.kind == queued.kind && waiting.target == queued.target;
            });
        m_awaitingLookup.push_back(std::move(queued));
        return;
    }
    toPacer(std::move(queued));
    sendPaced();
}

void RconSession::toPacer(Queued queued)
{
    if (queued.kind == Kind::Command) {
        m_pacer.enqueue(queued.target, std::move(queued.payload), queued.minGapUs, queued.id);
        return;
    }
    if (queued.kind == Kind::Query) {
        m_pacer.enqueueQuery(queued.target, std::move(queued.payload));
        return;
    }
    // The server's limit had no room for the last poll before this one was due: the operator hears of it.
    if (!m_pacer.enqueuePoll(queued.target, std::move(queued.payload))) {
        m_health.pollSkipped(queued.target);
        healthChanged();
    }
}

void RconSession::clearQueued()
{
    m_pacer.clear();
    std::erase_if(m_awaitingLookup, [](const Queued& waiting) { return waiting.kind != Kind::Query; });
    // Re-armed for the queries that stay, or stopped.
    sendPaced();
}

bool RconSession::isSending() const
{
    return !m_pacer.isEmpty() || !m_awaitingLookup.empty();
}

WatcherHealthStatus RconSession::health() const
{
    return m_health.status(nowMs());
}

void RconSession::resetHealth()
{
    m_health.reset();
}

void RconSession::healthChanged()
{
    if (onHealth)
        onHealth();
}

void RconSession::report(const QString& message)
{
    if (onError)
        onError(message);
}

void RconSession::releaseAfterLookup(const RconTarget& target, const QString& error)
{
    std::vector<Queued> released;
    const auto forTarget = [&](const Queued& waiting) { return waiting.target == target; };
    std::copy_if(m_awaitingLookup.begin(), m_awaitingLookup.end(), std::back_inserter(released), forTarget);
    std::erase_if(m_awaitingLookup, forTarget);
    if (!error.isEmpty()) {
        // A host looked up for getstatus queries alone says nothing about the watcher's servers.
        const bool queriesOnly = !released.empty() && target != m_lastAimed &&
                                 std::all_of(released.begin(), released.end(),
                                             [](const Queued& waiting) { return waiting.kind == Kind::Query; });
        if (!queriesOnly) {
            m_health.hostNotFound(target);
            healthChanged();
        }
        if (!released.empty())
            report(error);
        return;
    }
    for (Queued& waiting : released)
        toPacer(std::move(waiting));
    sendPaced();
}

void RconSession::sendPaced()
{
    QString failure;
    std::int64_t now = nowUs();
    while (true) {
        std::optional<OutgoingDatagram> datagram = m_pacer.takeNextDue(now);
        if (!datagram) {
            const auto next = m_pacer.nextDueUs(now);
            // Qt's timers keep whole milliseconds: the last one is waited out here, so that a kick leaves
            // 10 ms after its announcement and not 11.
            if (!next || *next - now > kSpinUs)
                break;
            while (now < *next)
                now = nowUs();
            continue;
        }
        try {
            m_endpoint->send(datagram->target,
                             QByteArray(datagram->payload.data(), qsizetype(datagram->payload.size())));
            now = nowUs();
            // The gap to the next datagram counts from when this one left, not from when it was due.
            if (datagram->paced)
                m_pacer.markSent(datagram->target, now);
            if (datagram->query)
                m_infoAwaited.insert(datagram->target);
            if (datagram->poll) {
                m_health.pollSent(datagram->target, nowMs());
                healthChanged();
            }
            if (datagram->id != 0 && onSent)
                onSent(datagram->id);
        } catch (const VarnoError& error) {
            if (failure.isEmpty())
                failure = QString::fromLocal8Bit(error.what());
        }
    }
    if (const auto next = m_pacer.nextDueUs(now)) {
        // Woken a little early; the rest is waited out above.
        const std::int64_t waitUs = *next - now - kSpinUs / 2;
        m_pacerTimer->start(int(std::max<std::int64_t>(0, waitUs / kUsPerMs)));
    } else {
        m_pacerTimer->stop();
    }
    if (!failure.isEmpty())
        report(failure);
}

void RconSession::datagramArrived(const QByteArray& payload, const QString& source)
{
    const std::string_view datagram(payload.constData(), std::size_t(payload.size()));
    // Not an rcon reply: it must not join one, nor count as the server's answer.
    if (isStatusResponse(datagram)) {
        infoArrived(m_endpoint->target(), datagram);
        return;
    }
    if (payload.startsWith(kStatusReplyStart))
        m_openStatusSource = source;
    m_assembler.feed(datagram, nowMs(), toStd(source));
    const bool tableComplete = source == m_openStatusSource && payload.endsWith(kStatusTableEnd);
    if (tableComplete)
        m_openStatusSource.clear();
    drainReplies(tableComplete);
}

void RconSession::listenedDatagramArrived(const RconTarget& target, const QByteArray& payload, const QString& source)
{
    const std::string_view datagram(payload.constData(), std::size_t(payload.size()));
    if (isStatusResponse(datagram)) {
        infoArrived(target, datagram);
        return;
    }
    // Anything else from there is what it was before the server was queried: a reply from a server not polled.
    m_health.foreignReply(m_lastAimed, toStd(source));
    healthChanged();
}

void RconSession::infoArrived(const RconTarget& from, std::string_view datagram)
{
    // One answer per query that left; a repeated or unasked one is dropped.
    if (m_infoAwaited.erase(from) == 0)
        return;
    const std::optional<ServerInfo> info = parseStatusResponse(datagram);
    if (info && onServerInfo)
        onServerInfo(from, *info);
}

void RconSession::drainReplies(bool tableComplete)
{
    const std::int64_t now = nowMs();
    // Once the table's closing empty line is in, nothing more belongs to the reply: it need not wait out the
    // join window.
    const std::int64_t until = tableComplete ? now + m_assembler.joinWindowMs() : now;
    while (const auto reply = m_assembler.takeComplete(until))
        deliver(reply->text);
    if (const auto deadline = m_assembler.nextDeadline())
        m_replyTimer->start(int(std::max<std::int64_t>(0, *deadline - nowMs())));
    else
        m_replyTimer->stop();
}

void RconSession::deliver(std::string_view reply)
{
    // Any reply from the server counts as an answer, even one that repeats the last; the operator hears of it
    // after the reply's kicks are on their way.
    m_health.replyArrived(m_lastAimed, reply, nowMs());
    // Every reply is read, also one that repeats the last: a player still listed after the kick is kicked again.
    // Read into the result of the reply before, whose rows keep their storage. It is taken out while handed on: a
    // message box under onReply runs the event loop, and a reply delivered meanwhile gets one of its own.
    ParsedStatus status = std::move(m_status);
    parseStatusReply(reply, status);
    m_pacer.setLayout(m_lastAimed, status.layout);
    if (onReply)
        onReply(reply, status);
    m_status = std::move(status);
    healthChanged();
}

std::int64_t RconSession::nowUs() const
{
    return m_clock.nsecsElapsed() / 1000;
}

std::int64_t RconSession::nowMs() const
{
    return m_clock.elapsed();
}

} // namespace varno
