#include "core/lpb/rcon_pacer.h"

#include <algorithm>

namespace varno {

RconPacer::RconPacer(std::int64_t classicGapUs, std::int64_t rateWindowUs, std::size_t rateLimit)
    : m_classicGapUs(classicGapUs)
    , m_rateWindowUs(rateWindowUs)
    , m_rateLimit(std::max<std::size_t>(rateLimit, 1))
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
    m_servers[target].queue.push_back({std::move(payload), minGapAfterPreviousUs, id});
}

std::optional<std::int64_t> RconPacer::dueUs(const Server& server, std::int64_t nowUs) const
{
    if (server.queue.empty())
        return std::nullopt;
    if (server.recentSends.empty())
        return nowUs;
    const std::int64_t last = server.recentSends.back();
    std::int64_t due = last + server.queue.front().minGapUs;
    if (server.layout == StatusLayout::Classic)
        due = std::max(due, last + m_classicGapUs);
    else if (server.recentSends.size() >= m_rateLimit)
        due = std::max(due, server.recentSends[server.recentSends.size() - m_rateLimit] + m_rateWindowUs);
    return due;
}

std::vector<OutgoingDatagram> RconPacer::takeDue(std::int64_t nowUs)
{
    std::vector<OutgoingDatagram> due;
    for (auto& [target, server] : m_servers) {
        for (auto at = dueUs(server, nowUs); at && *at <= nowUs; at = dueUs(server, nowUs)) {
            due.push_back({target, std::move(server.queue.front().payload), server.queue.front().id});
            server.queue.pop_front();
            server.recentSends.push_back(nowUs);
            if (server.recentSends.size() > m_rateLimit)
                server.recentSends.pop_front();
        }
    }
    return due;
}

std::optional<OutgoingDatagram> RconPacer::takeNextDue(std::int64_t nowUs)
{
    for (auto& [target, server] : m_servers) {
        const auto at = dueUs(server, nowUs);
        if (!at || *at > nowUs)
            continue;
        OutgoingDatagram datagram{target, std::move(server.queue.front().payload), server.queue.front().id};
        server.queue.pop_front();
        server.recentSends.push_back(nowUs);
        if (server.recentSends.size() > m_rateLimit)
            server.recentSends.pop_front();
        return datagram;
    }
    return std::nullopt;
}

void RconPacer::markSent(const RconTarget& target, std::int64_t sentUs)
{
    const auto it = m_servers.find(target);
    if (it != m_servers.end() && !it->second.recentSends.empty())
        it->second.recentSends.back() = std::max(it->second.recentSends.back(), sentUs);
}

std::optional<std::int64_t> RconPacer::nextDueUs(std::int64_t nowUs) const
{
    std::optional<std::int64_t> next;
    for (const auto& [target, server] : m_servers) {
        const auto at = dueUs(server, nowUs);
        if (at && (!next || std::max(nowUs, *at) < *next))
            next = std::max(nowUs, *at);
    }
    return next;
}

void RconPacer::clear()
{
    for (auto& [target, server] : m_servers)
        server.queue.clear();
}

bool RconPacer::isEmpty() const
{
    return std::none_of(m_servers.begin(), m_servers.end(),
                        [](const auto& entry) { return !entry.second.queue.empty(); });
}

} // namespace varno
