#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace varno {

// A reply's printed text: without the four 0xFF bytes and "print\n" it begins with, when it does.
std::string_view printedText(std::string_view reply);

struct AssembledReply {
    std::string text;   // the first datagram whole, then each continuation without its 0xFF bytes and "print\n"
    std::string source; // as given to feed()
};

// Joins the datagrams of one rcon reply. A server sends a long reply (a status with many players) as several
// datagrams back to back, each starting with the four 0xFF bytes and "print\n", without sequence numbers or an end
// marker; a split may fall inside a row.
//
// A datagram joins the pending reply of its source when it arrives less than the join window after the previous
// one and does not itself start a reply (its text after "print\n" starting with "map: ", or no "print\n" at all).
// The one exception: while the pending reply is a status table whose closing empty line has not come, a datagram
// with "print\n" always continues it, since a player's name may hold "map: " where the server's buffer filled.
// A reply is complete once the window has passed without a further datagram, or when its source starts another.
// Times come from the caller's monotonic clock in milliseconds.
//
// Typical use: feed() every arriving datagram, then drain takeComplete(now) until it yields nothing, and arm a
// single-shot timer for nextDeadline() to drain again.
class ReplyAssembler {
public:
    // Datagrams of one reply leave the server within microseconds; 100 ms absorbs network jitter and costs only a
    // tenth of a second before the reply is read.
    static constexpr std::int64_t kDefaultJoinWindowMs = 100;
    // Far above any real reply (64 players are under 10 KB); bounds what a hostile sender can make us hold.
    static constexpr std::size_t kMaxReplyBytes = 256 * 1024;
    static constexpr std::size_t kMaxPendingSources = 8;
    static constexpr std::size_t kMaxCompletedReplies = 32;

    explicit ReplyAssembler(std::int64_t joinWindowMs = kDefaultJoinWindowMs);

    void setJoinWindowMs(std::int64_t joinWindowMs);
    std::int64_t joinWindowMs() const { return m_joinWindowMs; }

    // source tells senders apart (for instance "host:port"); replies from different sources are never joined.
    void feed(std::string_view payload, std::int64_t arrivalMs, std::string_view source = {});

    // The oldest complete reply at nowMs, if any.
    std::optional<AssembledReply> takeComplete(std::int64_t nowMs);

    // When takeComplete() will next have a reply, if anything is held; may lie in the past (drain at once).
    std::optional<std::int64_t> nextDeadline() const;

    bool isEmpty() const { return m_pending.empty() && m_completed.empty(); }
    void clear();

private:
    struct Pending {
        std::string text;
        std::int64_t firstMs = 0;
        std::int64_t lastMs = 0;
    };
    struct Completed {
        AssembledReply reply;
        std::int64_t readyMs = 0;
    };
    using PendingMap = std::map<std::string, Pending, std::less<>>;

    void complete(PendingMap::iterator it, std::int64_t readyMs);

    std::int64_t m_joinWindowMs;
    PendingMap m_pending;
    std::deque<Completed> m_completed;
};

} // namespace varno
