#pragma once

// Builds status replies the way each engine prints them, for the lpb tests.

#include "support/status_rows.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace lpbtest {

inline const std::string kReplyPrefix = "\xff\xff\xff\xffprint\n";

inline std::string padded(const std::string& text, int width)
{
    return text + std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(text.size()))), ' ');
}

inline std::string rightAligned(const std::string& text, int width)
{
    return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(text.size()))), ' ') + text;
}

inline int visibleLength(const std::string& name)
{
    return static_cast<int>(varno::test::visibleLength(name));
}

// Classic: "%3i %5i %4i " (or a marker), name, "^7", blanks to 16 bytes, "%7i ", address, blanks to 22,
// "%5i %5i". The row's name as the table prints it is name + "^7".
inline std::string classicRow(int client, int score, const std::string& ping, const std::string& name, int lastmsg,
                              const std::string& address, int qport = 1234, int rate = 25000)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%3i %5i ", client, score);
    std::string row = buffer + rightAligned(ping, 4) + " " + name + "^7";
    row += std::string(static_cast<std::size_t>(std::max(0, 16 - static_cast<int>(name.size()))), ' ');
    std::snprintf(buffer, sizeof buffer, "%7i ", lastmsg);
    row += buffer + padded(address, 22);
    std::snprintf(buffer, sizeof buffer, "%5i %5i\n", qport, rate);
    return row + buffer;
}

inline std::string classicReply(const std::string& map, const std::vector<std::string>& rows)
{
    std::string text = kReplyPrefix + "map: " + map + "\n" +
                       "num score ping name            lastmsg address               qport rate\n" +
                       "--- ----- ---- --------------- ------- --------------------- ----- -----\n";
    for (const auto& row : rows)
        text += row;
    return text + "\n";
}

// ioquake3: "%2i %5i %4i " or "CON "/"ZMB ", name, blanks to 16 visible characters (at least one), "^7" glued to
// the address, blanks to 39 (at least one), " %5i".
inline std::string ioq3Row(int client, int score, const std::string& ping, const std::string& name,
                           const std::string& address, int rate = 25000)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%2i %5i ", client, score);
    std::string row = buffer;
    row += ping.size() == 3 && (ping[0] < '0' || ping[0] > '9') ? ping + " " : rightAligned(ping, 4) + " ";
    row += name + std::string(static_cast<std::size_t>(std::max(1, 16 - visibleLength(name))), ' ');
    row +=
        "^7" + address + std::string(static_cast<std::size_t>(std::max(1, 39 - static_cast<int>(address.size()))), ' ');
    std::snprintf(buffer, sizeof buffer, " %5i\n", rate);
    return row + buffer;
}

inline std::string ioq3Reply(const std::string& map, const std::vector<std::string>& rows)
{
    std::string text = kReplyPrefix + "map: " + map + "\n" +
                       "cl score ping name            address                                 rate \n" +
                       "-- ----- ---- --------------- --------------------------------------- -----\n";
    for (const auto& row : rows)
        text += row;
    return text + "\n";
}

// Quake3e: columns as wide as the widest name (visible characters) and address, at least minName / minAddress.
struct Q3eClient {
    int client;
    std::string ping; // digits, or "PRM"/"CON"/"ZMB"
    std::string name;
    std::string address;
};

inline std::string quake3eReply(const std::string& map, const std::vector<Q3eClient>& clients, bool blankBeforeMarker,
                                int minName = 15, int minAddress = 39)
{
    int nameWidth = minName;
    int addressWidth = minAddress;
    for (const auto& c : clients) {
        nameWidth = std::max(nameWidth, visibleLength(c.name));
        addressWidth = std::max(addressWidth, static_cast<int>(c.address.size()));
    }
    std::string text = kReplyPrefix + "map: " + map + "\n";
    text += "cl score ping " + padded("name", nameWidth) + " " + padded("address", addressWidth) + " rate\n";
    text += "-- ----- ---- " + std::string(static_cast<std::size_t>(nameWidth), '-') + " " +
            std::string(static_cast<std::size_t>(addressWidth), '-') + " -----\n";
    for (const auto& c : clients) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%2i %5i ", c.client, 3);
        text += buffer;
        const bool marker = c.ping[0] < '0' || c.ping[0] > '9';
        text += marker ? (blankBeforeMarker ? " " : "") + c.ping + " " : rightAligned(c.ping, 4) + " ";
        text += c.name + std::string(static_cast<std::size_t>(nameWidth - visibleLength(c.name)), ' ');
        text += "^7 " + padded(c.address, addressWidth) + "  8000\n";
    }
    return text + "\n";
}

} // namespace lpbtest
