#pragma once

#include "core/lpb/player_record.h"

#include <string>
#include <string_view>

namespace varno {

// Command texts follow the password directly, so each brings its own leading blank.
inline constexpr std::string_view kRconStatusCommand = " status";
inline constexpr std::string_view kRconStartAnnouncement =
    " say ^2V^4a^2r^4n^2o Server: ZOZ Idaroz Started Successfully!^7";
inline constexpr std::string_view kRconLocalHost = "127.0.0.1";

// The whole UDP payload: four 0xFF bytes, "rcon ", the password byte for byte, the command text. Nothing is added
// between password and command and nothing after the command.
std::string rconDatagram(std::string_view password, std::string_view commandText);

// " say ^2V^4a^2r^4n^2o^7: " + msg1 + name field + msg2, nothing in between.
std::string lpbAnnouncementCommand(std::string_view msg1, const PlayerRecord& player, std::string_view msg2);

// " kick " + client-number field, so client 3 is kicked with " kick  3".
std::string kickCommand(const PlayerRecord& player);

// "127.0.0.1" when working on localhost, otherwise the remote host text exactly as typed (even empty).
std::string rconHost(bool workOnLocalhost, std::string_view remoteHostText);

// The four port fields of the page; an extra port of 0 (or below) is off.
struct RconPorts {
    int mainPort = 27960;
    int port2 = 0;
    int port3 = 0;
    int port4 = 0;
};

// Main port, except at cycle values 2, 3 and 4 where the matching extra port is taken when it is above 0.
int selectRconPort(int cycleValue, const RconPorts& ports);

// The process-wide port rotation: five steps (0..4), so the main port is polled twice per round. Only status polls
// advance it; it is never reset while the program runs.
class PortCycleCounter {
public:
    int value() const { return m_value; }

    // For aimed sends that are not polls (enabling or disabling the watcher): no advance.
    int currentPort(const RconPorts& ports) const;

    // For a status poll: the port for the current value, then one step on.
    int pollPort(const RconPorts& ports);

private:
    int m_value = 0;
};

} // namespace varno
