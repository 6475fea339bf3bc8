#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace varno::standin {

inline constexpr std::string_view kConnectionlessHeader = "\xff\xff\xff\xff";

// The text of a connectionless packet: what follows the four 0xFF bytes up to the first line feed or NUL, at most
// 1023 bytes, as the engine reads it. nullopt for any other packet.
std::optional<std::string> connectionlessText(std::string_view payload);

struct RconRequest {
    std::string password; // the first argument after "rcon"
    std::string command;  // everything after the password, leading blanks skipped
};

// Reads "rcon <password> <command>" the way the engine does: the password is the first argument and the command
// is the rest of the text after the blanks that follow it, so " status" and "status" both give "status".
// nullopt when the text is not an rcon request.
std::optional<RconRequest> parseRconRequest(std::string_view text);

enum class RconThrottleMode { Off, Classic, Ioq3, Quake3e };

// The mode named by standin_rcon_throttle: "classic", "ioq3", "quake3e"; anything else leaves rcon unthrottled.
RconThrottleMode rconThrottleModeFromName(std::string_view name);

// The engines' leaky bucket (ioquake3's and Quake3e's SVC_RateLimit): a burst of `burst` requests, after which one
// leaks out every `periodMs`. The time of the last leak stays on whole periods, so that a steady sender gets exactly
// one request a period through; a bucket quiet for longer than its content takes to leak starts empty again.
class LeakyBucket {
public:
    // Whether a request at nowMs is served, counting it when it is.
    bool admit(std::int64_t nowMs, int burst, int periodMs);

private:
    bool m_used = false;
    int m_burst = 0;
    std::int64_t m_lastTimeMs = 0;
};

// What became of a request under the engine's flood protection.
enum class FloodVerdict {
    Served,
    DroppedForSender, // the sender's own limit ("rate limit from ADDRESS exceeded")
    DroppedForAll,    // a limit shared by all senders ("rate limit exceeded")
};

// The engines' flood protection for connectionless requests, by mode:
// - classic (Quake III Arena 1.32): rcon datagrams within 500 ms of the last one served are dropped, whoever sent
//   them, before the password is looked at; status and info queries are not limited.
// - ioq3 and quake3e (ioquake3, OpenArena, Quake3e): one bucket per sender address (port ignored), a burst of 10
//   and then one a second, shared by rcon, getstatus and getinfo; rcon with a wrong or no password also fills one
//   bucket for all senders (10, one a second); getstatus and getinfo that pass their sender's bucket also fill one
//   outbound bucket for all (10, one each 100 ms).
class FloodProtection {
public:
    static constexpr std::int64_t kClassicRconIntervalMs = 500;
    static constexpr int kAddressBurst = 10;
    static constexpr int kAddressPeriodMs = 1000;
    static constexpr int kOutboundBurst = 10;
    static constexpr int kOutboundPeriodMs = 100;
    // Senders are forgotten once this many buckets are kept, so that a flood of addresses cannot grow the table.
    static constexpr std::size_t kMaxBuckets = 16384;

    FloodVerdict admitRcon(RconThrottleMode mode, const std::string& senderIp, bool passwordValid, std::int64_t nowMs);
    FloodVerdict admitQuery(RconThrottleMode mode, const std::string& senderIp, std::int64_t nowMs);

private:
    LeakyBucket& bucketFor(const std::string& senderIp);

    std::optional<std::int64_t> m_lastClassicRconMs;
    std::map<std::string, LeakyBucket> m_buckets;
    LeakyBucket m_badPassword;
    LeakyBucket m_outbound;
};

} // namespace varno::standin
