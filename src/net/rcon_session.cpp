#include "net/rcon_session.h"

#include "core/app/varno_error.h"
#include "net/rcon_endpoint.h"
#include "platform/qt_text.h"

#include <QTimer>

#include <algorithm>

namespace varno {

namespace {

// Where a status table begins: a reply's first datagram, whose console text starts with the map line.
const QByteArray kStatusReplyStart = QByteArrayLiteral("\xff\xff\xff\xffprint\nmap: ");
// The empty line that closes a status table.
const QByteArray kStatusTableEnd = QByteArrayLiteral("\n\n");

constexpr std::int64_t kUsPerMs = 1000;

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
    , m_pacerTimer(preciseSingleShot(this))
    , m_replyTimer(preciseSingleShot(this))
{
    m_clock.start();
    connect(m_pacerTimer, &QTimer::timeout, this, &RconSession::sendPaced);
    connect(m_replyTimer, &QTimer::timeout, this, [this] { drainReplies(false); });
    connect(m_endpoint, &RconEndpoint::datagramArrived, this, &RconSession::datagramArrived);
    connect(m_endpoint, &RconEndpoint::lookupFinished, this, &RconSession::releaseAfterLookup);
}

RconSession::~RconSession() = default;

void RconSession::aim(const RconTarget& target)
{
    m_lastAimed = target;
    m_endpoint->aim(target);
}

void RconSession::send(const RconTarget& target, std::string payload, std::int64_t minGapUs)
{
    if (!m_endpoint->isResolved(target)) {
        m_awaitingLookup.push_back({target, std::move(payload), minGapUs});
        return;
    }
    m_pacer.enqueue(target, std::move(payload), minGapUs);
    sendPaced();
}

void RconSession::clearQueued()
{
    m_pacer.clear();
    m_awaitingLookup.clear();
    m_pacerTimer->stop();
}

bool RconSession::isSending() const
{
    return !m_pacer.isEmpty() || !m_awaitingLookup.empty();
}

void RconSession::setLayout(const RconTarget& target, StatusLayout layout)
{
    m_pacer.setLayout(target, layout);
}

void RconSession::report(const QString& message)
{
    if (onError)
        onError(message);
}

void RconSession::releaseAfterLookup(const RconTarget& target, const QString& error)
{
    std::vector<AwaitingLookup> released;
    const auto forTarget = [&](const AwaitingLookup& waiting) { return waiting.target == target; };
    std::copy_if(m_awaitingLookup.begin(), m_awaitingLookup.end(), std::back_inserter(released), forTarget);
    std::erase_if(m_awaitingLookup, forTarget);
    if (released.empty())
        return;
    if (!error.isEmpty()) {
        report(error);
        return;
    }
    for (AwaitingLookup& waiting : released)
        m_pacer.enqueue(waiting.target, std::move(waiting.payload), waiting.minGapUs);
    sendPaced();
}

void RconSession::sendPaced()
{
    const std::int64_t now = nowUs();
    QString failure;
    for (const OutgoingDatagram& datagram : m_pacer.takeDue(now)) {
        try {
            m_endpoint->send(datagram.target,
                             QByteArray(datagram.payload.data(), qsizetype(datagram.payload.size())));
        } catch (const VarnoError& error) {
            if (failure.isEmpty())
                failure = QString::fromLocal8Bit(error.what());
        }
    }
    if (const auto next = m_pacer.nextDueUs(now)) {
        // Whole milliseconds, rounded up; a timer that fires early finds nothing due and is armed again.
        const std::int64_t waitUs = *next - now;
        m_pacerTimer->start(int((waitUs + kUsPerMs - 1) / kUsPerMs));
    } else {
        m_pacerTimer->stop();
    }
    if (!failure.isEmpty())
        report(failure);
}

void RconSession::datagramArrived(const QByteArray& payload, const QString& source)
{
    if (payload.startsWith(kStatusReplyStart))
        m_openStatusSource = source;
    m_assembler.feed(std::string_view(payload.constData(), std::size_t(payload.size())), nowMs(), toStd(source));
    const bool tableComplete = source == m_openStatusSource && payload.endsWith(kStatusTableEnd);
    if (tableComplete)
        m_openStatusSource.clear();
    drainReplies(tableComplete);
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
    if (m_repeatFilter.isNew(reply) && onReply)
        onReply(reply);
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
