#pragma once

#include "core/lpb/status_parser.h"

#include <compare>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace varno {

// Where an rcon datagram goes: the host text as the endpoint takes it and the port as the page gives it.
struct RconTarget {
    std::string host;
    int port = 0;

    auto operator<=>(const RconTarget&) const = default;
};

struct OutgoingDatagram {
    RconTarget target;
    std::string payload;
};

// Holds rcon datagrams until their server will accept them. Game servers silently drop rcon datagrams that come
// too close together: the classic server any that arrives within 500 ms of the previous one, ioquake3 and Quake3e
// more than 10 a second per sender (a bucket of 10 that drains one every 100 ms).
//
// Datagrams to one server leave in the order they were queued, each at least the server's gap after the previous
// one sent to it: 500 ms to a server whose last status reply had the classic layout, 100 ms to any other (a fixed
// gap, which never even starts to fill the newer engines' bucket). A datagram may ask for a longer gap of its own.
// The first datagram to a server that has been quiet for its gap leaves at once. Servers do not wait for each other.
//
// Pure logic on the caller's monotonic clock: after enqueue() call takeDue(now) and send what it returns, then arm
// a single-shot timer for nextDueMs(now) and call takeDue() again when it fires.
class RconPacer {
public:
    static constexpr std::int64_t kClassicGapMs = 500;
    static constexpr std::int64_t kOtherGapMs = 100;
    // The kick follows its announcement by at least this much, whatever the server's gap.
    static constexpr std::int64_t kKickAfterAnnouncementMs = 10;

    explicit RconPacer(std::int64_t classicGapMs = kClassicGapMs, std::int64_t otherGapMs = kOtherGapMs);

    // From each status reply of target. Unknown is ignored: a reply without a status table says nothing about the
    // engine, and the gap it has earned stays.
    void setLayout(const RconTarget& target, StatusLayout layout);
    StatusLayout layout(const RconTarget& target) const;

    void enqueue(const RconTarget& target, std::string payload, std::int64_t minGapAfterPreviousMs = 0);

    // Everything that may leave at nowMs, in order; what is returned counts as sent at nowMs.
    std::vector<OutgoingDatagram> takeDue(std::int64_t nowMs);

    // When the next queued datagram may leave, if any is queued; nowMs when one may leave at once.
    std::optional<std::int64_t> nextDueMs(std::int64_t nowMs) const;

    // Drops every queued datagram (the watcher was disabled). When each server last got a datagram is kept, so the
    // next one still keeps its distance.
    void clear();

    bool isEmpty() const;

private:
    struct Queued {
        std::string payload;
        std::int64_t minGapMs = 0;
    };
    struct Server {
        StatusLayout layout = StatusLayout::Unknown;
        std::optional<std::int64_t> lastSentMs;
        std::deque<Queued> queue;
    };

    std::int64_t gapOf(const Server& server) const;
    // When the front of the server's queue may leave; nowMs for a server that never got a datagram.
    std::optional<std::int64_t> dueMs(const Server& server, std::int64_t nowMs) const;

    std::int64_t m_classicGapMs;
    std::int64_t m_otherGapMs;
    std::map<RconTarget, Server> m_servers;
};

} // namespace varno
