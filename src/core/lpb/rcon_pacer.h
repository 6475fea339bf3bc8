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
    bool poll = false;    // queued with enqueuePoll()
    bool query = false;   // queued with enqueueQuery()
    bool paced = true;    // counts toward the server's limit: only these take markSent()
};

// Holds rcon datagrams until their server will accept them. Game servers silently drop rcon datagrams over their
// flood limit: the classic server any that arrives within 500 ms of the last one it served, from anyone; ioquake3,
// OpenArena and Quake3e keep a leaky bucket for each sender address, filled by rcon and status queries alike: a burst
// of 10, then one a second. A datagram the server would drop is never sent: it waits.
//
// The pacer keeps a model of each server's limit: to a server whose last status reply had the classic layout each
// datagram leaves at least 500 ms after the previous one sent to it; to any other, the bucket is followed from the
// times datagrams left (the server's bucket sees them a little later, so the session gives the period a margin). A
// datagram may ask for a gap of its own after the previous one (the kick after its announcement). The first datagram
// to a quiet server leaves at once. Servers do not wait for each other.
//
// Commands leave in the order they were queued, and before any status poll waiting for the same server: a kick is
// never held up by a poll. A server has at most one poll waiting; a newer one takes its place and the older counts as
// skipped.
//
// A getstatus query (for the server's rules and players, not an rcon datagram) waits behind the commands and the poll
// and fills the same bucket, since the engines that limit per sender count it there. The classic server does not limit
// getstatus at all: to it a query leaves at once and leaves the pace of the rcon datagrams alone. A server has at most
// one query waiting; a newer one takes its place.
//
// Pure logic on the caller's monotonic clock in microseconds: after enqueue() call takeDue(now) and send what it
// returns, then arm a single-shot timer for nextDueUs(now) and call takeDue() again when it fires.
class RconPacer {
public:
    static constexpr std::int64_t kClassicGapUs = 500'000;
    static constexpr int kBucketBurst = 10;
    static constexpr std::int64_t kBucketPeriodUs = 1'000'000;
    // The kick follows its announcement by at least this much, whatever the server's pace.
    static constexpr std::int64_t kKickAfterAnnouncementUs = 10'000;

    explicit RconPacer(std::int64_t classicGapUs = kClassicGapUs, std::int64_t bucketPeriodUs = kBucketPeriodUs,
                       int bucketBurst = kBucketBurst);

    // From each status reply of target. Unknown is ignored: a reply without a status table says nothing about the
    // engine, and the pace it has earned stays.
    void setLayout(const RconTarget& target, StatusLayout layout);
    StatusLayout layout(const RconTarget& target) const;

    // A command, to leave after the commands queued before it and before any waiting poll.
    void enqueue(const RconTarget& target, std::string payload, std::int64_t minGapAfterPreviousUs = 0,
                 std::uint64_t id = 0);
    // A status poll, to leave when no command waits. False when it took the place of an earlier poll that had not
    // left yet: that one is skipped.
    bool enqueuePoll(const RconTarget& target, std::string payload);
    // A getstatus query, to leave after the commands and the poll. False when it took the place of an earlier query
    // that had not left yet.
    bool enqueueQuery(const RconTarget& target, std::string payload);

    // Everything that may leave at nowUs, in order; what is returned counts as sent at nowUs.
    std::vector<OutgoingDatagram> takeDue(std::int64_t nowUs);
    // The next datagram that may leave at nowUs, if any; it counts as sent at nowUs until markSent() says when it
    // really left, so that the gap after it counts from there.
    std::optional<OutgoingDatagram> takeNextDue(std::int64_t nowUs);
    void markSent(const RconTarget& target, std::int64_t sentUs);

    // When the next queued datagram may leave, if any is queued; nowUs when one may leave at once.
    std::optional<std::int64_t> nextDueUs(std::int64_t nowUs) const;

    // Drops every queued command and poll (the watcher was disabled); a waiting query stays, as it is not the
    // watcher's. What each server has had is kept, so the next ones still keep within its limit.
    void clear();

    bool isEmpty() const;

private:
    struct Queued {
        std::string payload;
        std::int64_t minGapUs = 0;
        std::uint64_t id = 0;
    };
    // The server's bucket as this side sees it: how full it is and when it last leaked, on whole periods.
    struct Bucket {
        bool used = false;
        int level = 0;
        std::int64_t lastLeakUs = 0;
    };
    struct Server {
        StatusLayout layout = StatusLayout::Unknown;
        std::optional<std::int64_t> lastSentUs;
        Bucket bucket;
        std::deque<Queued> commands;
        std::optional<Queued> poll;
        std::optional<Queued> query;
    };

    // The datagram that goes next to the server, if any.
    static const Queued* next(const Server& server);
    // A query that need not keep the server's rcon pace.
    static bool hasFreeQuery(const Server& server);
    // When the next datagram may leave, if any waits.
    std::optional<std::int64_t> dueUs(const Server& server, std::int64_t nowUs) const;
    // The bucket after leaking up to nowUs.
    Bucket leaked(const Bucket& bucket, std::int64_t nowUs) const;
    OutgoingDatagram take(const RconTarget& target, Server& server, std::int64_t nowUs);

    std::int64_t m_classicGapUs;
    std::int64_t m_bucketPeriodUs;
    int m_bucketBurst;
    std::map<RconTarget, Server> m_servers;
};

} // namespace varno
