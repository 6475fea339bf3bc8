#include "core/lpb/rcon_pacer.h"

#include <algorithm>

namespace varno {

RconPacer::RconPacer(std::int64_t classicGapMs, std::int64_t otherGapMs)
    : m_classicGapMs(classicGapMs)
    , m_otherGapMs(otherGapMs)
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

void RconPacer::enqueue(const RconTarget& target, std::string payload, std::int64_t minGapAfterPreviousMs)
{
    m_servers[target].queue.push_back({std::move(payload), minGapAfterPreviousMs});
}

std::int64_t RconPacer::gapOf(const Server& server) const
{
    return server.layout == StatusLayout::Classic ? m_classicGapMs : m_otherGapMs;
}

std::optional<std::int64_t> RconPacer::dueMs(const Server& server, std::int64_t nowMs) const
{
    if (server.queue.empty())
        return std::nullopt;
    if (!server.lastSentMs)
        return nowMs;
    return *server.lastSentMs + std::max(gapOf(server), server.queue.front().minGapMs);
}

std::vector<OutgoingDatagram> RconPacer::takeDue(std::int64_t nowMs)
{
    std::vector<OutgoingDatagram> due;
    for (auto& [target, server] : m_servers) {
        for (auto at = dueMs(server, nowMs); at && *at <= nowMs; at = dueMs(server, nowMs)) {
            due.push_back({target, std::move(server.queue.front().payload)});
            server.queue.pop_front();
            server.lastSentMs = nowMs;
        }
    }
    return due;
}

std::optional<std::int64_t> RconPacer::nextDueMs(std::int64_t nowMs) const
{
    std::optional<std::int64_t> next;
    for (const auto& [target, server] : m_servers) {
        const auto at = dueMs(server, nowMs);
        if (at && (!next || *at < *next))
            next = std::max(nowMs, *at);
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
