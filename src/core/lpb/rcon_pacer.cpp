#include "core/lpb/rcon_pacer.h"

#include <algorithm>

namespace varno {

RconPacer::RconPacer(std::int64_t classicGapUs, std::int64_t bucketPeriodUs, int bucketBurst)
    : m_classicGapUs(classicGapUs)
    , m_bucketPeriodUs(std::max<std::int64_t>(bucketPeriodUs, 1))
    , m_bucketBurst(std::max(bucketBurst, 1))
{
}

void RconPacer::setLayout(const RconTarget& target, StatusLayout layout)
{
    if (layout != StatusLayout::Unknown)
        m_servers[target].layout = layout;
}

StatusLayout RconPacer::layout(const RconTarget& target) const
{
    const auto it = m_servers.find(target);
    return it == m_servers.end() ? StatusLayout::Unknown : it->second.layout;
}

void RconPacer::enqueue(const RconTarget& target, std::string payload, std::int64_t minGapAfterPreviousUs,
                        std::uint64_t id)
{
    m_servers[target].commands.push_back({std::move(payload), minGapAfterPreviousUs, id});
}

bool RconPacer::enqueuePoll(const RconTarget& target, std::string payload)
{
    Server& server = m_servers[target];
    const bool firstWaiting = !server.poll.has_value();
    server.poll = Queued{std::move(payload), 0, 0};
    return firstWaiting;
}

bool RconPacer::enqueueQuery(const RconTarget& target, std::string payload)
{
    Server& server = m_servers[target];
    const bool firstWaiting = !server.query.has_value();
    server.query = Queued{std::move(payload), 0, 0};
    return firstWaiting;
}

const RconPacer::Queued* RconPacer::next(const Server& server)
{
    if (!server.commands.empty())
        return &server.commands.front();
    if (server.poll)
        return &*server.poll;
    return server.query ? &*server.query : nullptr;
}

bool RconPacer::hasFreeQuery(const Server& server)
{
    return server.query && server.layout == StatusLayout::Classic;
}

RconPacer::Bucket RconPacer::leaked(const Bucket& bucket, std::int64_t nowUs) const
{
    if (!bucket.used)
        return {true, 0, nowUs};
    // As the engines leak it: whole periods since the last leak, the rest carried over; a bucket that has leaked
    // more than it held starts afresh.
    const std::int64_t interval = nowUs - bucket.lastLeakUs;
    const std::int64_t periods = interval / m_bucketPeriodUs;
    if (interval < 0 || periods > bucket.level)
        return {true, 0, nowUs};
    return {true, bucket.level - int(periods), nowUs - interval % m_bucketPeriodUs};
}

std::optional<std::int64_t> RconPacer::dueUs(const Server& server, std::int64_t nowUs) const
{
    if (hasFreeQuery(server))
        return nowUs;
    const Queued* queued = next(server);
    if (!queued)
        return std::nullopt;
    if (!server.lastSentUs)
        return nowUs;
    std::int64_t due = std::max(nowUs, *server.lastSentUs + queued->minGapUs);
    if (server.layout == StatusLayout::Classic)
        return std::max(due, *server.lastSentUs + m_classicGapUs);
    // A full bucket takes one more as soon as it has leaked one.
    const Bucket bucket = leaked(server.bucket, due);
    if (bucket.level >= m_bucketBurst)
        due = bucket.lastLeakUs + m_bucketPeriodUs;
    return due;
}

OutgoingDatagram RconPacer::take(const RconTarget& target, Server& server, std::int64_t nowUs)
{
    OutgoingDatagram datagram;
    datagram.target = target;
    if (hasFreeQuery(server)) {
        datagram.payload = std::move(server.query->payload);
        datagram.query = true;
        datagram.paced = false;
        server.query.reset();
        return datagram;
    }
    if (!server.commands.empty()) {
        datagram.payload = std::move(server.commands.front().payload);
        datagram.id = server.commands.front().id;
        server.commands.pop_front();
    } else if (server.poll) {
        datagram.payload = std::move(server.poll->payload);
        datagram.poll = true;
        server.poll.reset();
    } else {
        datagram.payload = std::move(server.query->payload);
        datagram.query = true;
        server.query.reset();
    }
    server.lastSentUs = nowUs;
    server.bucket = leaked(server.bucket, nowUs);
    ++server.bucket.level;
    return datagram;
}

std::vector<OutgoingDatagram> RconPacer::takeDue(std::int64_t nowUs)
{
    std::vector<OutgoingDatagram> due;
    for (auto& [target, server] : m_servers) {
        for (auto at = dueUs(server, nowUs); at && *at <= nowUs; at = dueUs(server, nowUs))
            due.push_back(take(target, server, nowUs));
    }
    return due;
}

std::optional<OutgoingDatagram> RconPacer::takeNextDue(std::int64_t nowUs)
{
    for (auto& [target, server] : m_servers) {
        const auto at = dueUs(server, nowUs);
        if (at && *at <= nowUs)
            return take(target, server, nowUs);
    }
    return std::nullopt;
}

void RconPacer::markSent(const RconTarget& target, std::int64_t sentUs)
{
    const auto it = m_servers.find(target);
    if (it != m_servers.end() && it->second.lastSentUs)
        it->second.lastSentUs = std::max(*it->second.lastSentUs, sentUs);
}

std::optional<std::int64_t> RconPacer::nextDueUs(std::int64_t nowUs) const
{
    std::optional<std::int64_t> next;
    for (const auto& [target, server] : m_servers) {
        const auto at = dueUs(server, nowUs);
        if (at && (!next || *at < *next))
            next = *at;
    }
    return next;
}

void RconPacer::clear()
{
    for (auto& [target, server] : m_servers) {
        server.commands.clear();
        server.poll.reset();
    }
}

bool RconPacer::isEmpty() const
{
    return std::all_of(m_servers.begin(), m_servers.end(),
                       [](const auto& entry) { return next(entry.second) == nullptr; });
}

} // namespace varno
