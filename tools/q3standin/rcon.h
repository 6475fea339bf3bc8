#pragma once

#include <chrono>
#include <deque>
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

enum class RconThrottleMode { Off, Classic, Ioq3 };

// The mode named by standin_rcon_throttle: "classic", "ioq3"; anything else leaves rcon unthrottled.
RconThrottleMode rconThrottleModeFromName(std::string_view name);

// Decides which rcon datagrams are served when the engines' flood protection is imitated.
class RconThrottle {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kClassicInterval{500};
    static constexpr std::chrono::milliseconds kIoq3Window{1000};
    static constexpr std::size_t kIoq3MaxPerWindow = 10;

    // Classic: nothing within kClassicInterval of the last accepted datagram, from whichever sender.
    // ioquake3: at most kIoq3MaxPerWindow accepted datagrams per sender address in any kIoq3Window.
    bool accept(RconThrottleMode mode, const std::string& senderAddress, Clock::time_point now);

private:
    std::optional<Clock::time_point> m_lastAccepted;
    std::map<std::string, std::deque<Clock::time_point>> m_acceptedBySender;
};

} // namespace varno::standin
