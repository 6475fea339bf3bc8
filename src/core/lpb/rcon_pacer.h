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
    std::uint64_t id = 0; // as given to enqueue()
};

// Holds rcon datagrams until their server will accept them. Game servers silently drop rcon datagrams that come
// too close together: the classic server any that arrives within 500 ms of the previous one, ioquake3 and Quake3e
// more than 10 a second per sender.
//
// Datagrams to one server leave in the order they were queued. To a server whose last status reply had the classic
// layout each leaves at least 500 ms after the previous one sent to it; to any other, no more than 10 leave within
// any second, so a poll, an announcement and a kick leave together. A datagram may ask for a gap of its own after
// the previous one (the kick after its announcement). The first datagram to a quiet server leaves at once. Servers
// do not wait for each other.
//
// Pure logic on the caller's monotonic clock in microseconds: after enqueue() call takeDue(now) and send what it
// returns, then arm a single-shot timer for nextDueUs(now) and call takeDue() again when it fires.
class RconPacer {
public:
    static constexpr std::int64_t kClassicGapUs = 500'000;
    static constexpr std::int64_t kRateWindowUs = 1'000'000;
    static constexpr std::size_t kRateLimit = 10;
    // The kick follows its announcement by at least this much, whatever the server's pace.
    static constexpr std::int64_t kKickAfterAnnouncementUs = 10'000;

    explicit RconPacer(std::int64_t classicGapUs = kClassicGapUs, std::int64_t rateWindowUs = kRateWindowUs,
                       std::size_t rateLimit = kRateLimit);

    // From each status reply of target. Unknown is ignored: a reply without a status table says nothing about the
    // engine, and the pace it has earned stays.
    void setLayout(const RconTarget& target, StatusLayout layout);
    StatusLayout layout(const RconTarget& target) const;

    void enqueue(const RconTarget& target, std::string payload, std::int64_t minGapAfterPreviousUs = 0,
                 std::uint64_t id = 0);

    // Everything that may leave at nowUs, in order; what is returned counts as sent at nowUs.
    std::vector<OutgoingDatagram> takeDue(std::int64_t nowUs);
    // The next datagram that may leave at nowUs, if any; it counts as sent at nowUs until markSent() says when it
    // really left, so that the gap after it counts from there.
    std::optional<OutgoingDatagram> takeNextDue(std::int64_t nowUs);
    void markSent(const RconTarget& target, std::int64_t sentUs);

    // When the next queued datagram may leave, if any is queued; nowUs when one may leave at once.
    std::optional<std::int64_t> nextDueUs(std::int64_t nowUs) const;

    // Drops every queued datagram (the watcher was disabled). When each server last got datagrams is kept, so the
    // next ones still keep their distance.
    void clear();

    bool isEmpty() const;

private:
    struct Queued {
        std::string payload;
        std::int64_t minGapUs = 0;
        std::uint64_t id = 0;
    };
    struct Server {
        StatusLayout layout = StatusLayout::Unknown;
        std::deque<std::int64_t> recentSends; // the last rateLimit send times, oldest first
        std::deque<Queued> queue;
    };

    // When the front of the server's queue may leave.
    std::optional<std::int64_t> dueUs(const Server& server, std::int64_t nowUs) const;

    std::int64_t m_classicGapUs;
    std::int64_t m_rateWindowUs;
    std::size_t m_rateLimit;
    std::map<RconTarget, Server> m_servers;
};

} // namespace varno
