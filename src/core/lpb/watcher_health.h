#pragma once

#include "core/lpb/rcon_pacer.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace varno {

enum class HealthState {
    Waiting,        // no poll answered yet
    Answering,      // the server replies
    PasswordRefused, // "Bad rconpassword." or no rcon password set on the server
    NoReply,        // polls go unanswered
    HostNotFound,   // the host name does not resolve
    ForeignReplies, // datagrams come from another address than the one polled, and are ignored
};

struct WatcherHealthStatus {
    HealthState state = HealthState::Waiting;
    std::string text; // for the operator, as the page and varno watch show it
    std::string key;  // what identifies the state apart from counts and ages: a change of key is a change of state
};

inline constexpr std::string_view kPasswordRefusedText = "Server refused the rcon password";

// Whether a reply is the server's refusal of the rcon password ("Bad rconpassword.", or none set on the server).
bool isRconRefusal(std::string_view replyText);

// Whether the watcher can see its servers. Fed with the events of polls and replies on the caller's monotonic clock
// in milliseconds, so that a watcher that is blind says so instead of finding nobody.
class WatcherHealth {
public:
    void pollSent(const RconTarget& target, std::int64_t nowMs);
    // A poll of target never left: the server's rcon limit had no room for it before the next one was due.
    void pollSkipped(const RconTarget& target);
    // A reply of target's server, whatever it says.
    void replyArrived(const RconTarget& target, std::string_view replyText, std::int64_t nowMs);
    void hostNotFound(const RconTarget& target);
    // A datagram from source (as "address:port") reached the endpoint while target was polled.
    void foreignReply(const RconTarget& target, std::string_view source);
    void reset();

    WatcherHealthStatus status(std::int64_t nowMs) const;

private:
    std::string skippedText() const;

    HealthState m_state = HealthState::Waiting;
    RconTarget m_subject;
    std::string m_foreignSource;
    bool m_foreignSincePoll = false;
    std::int64_t m_lastReplyMs = 0;
    int m_skippedPolls = 0;
    std::map<RconTarget, int> m_unanswered;
};

} // namespace varno
