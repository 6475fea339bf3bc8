#include "status_replies.h"

#include "support/status_rows.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace varno::bench {

namespace {

constexpr std::string_view kReplyPrefix = "\xff\xff\xff\xffprint\n";

constexpr std::string_view kClassicHead = "num score ping name            lastmsg address               qport rate\n"
                                          "--- ----- ---- --------------- ------- --------------------- ----- -----\n";
constexpr std::string_view kIoquake3Head =
    "cl score ping name            address                                 rate \n"
    "-- ----- ---- --------------- --------------------------------------- -----\n";

constexpr std::array<std::string_view, 8> kNames = {
    "Sarge", "^1Red^7Baron", "Visor", "xX_Fragger_Xx", "^4Blue^2Green", "Doom", "AVeryLongPlayerName", "Anarki",
};

struct Player {
    int client;
    int score;
    int ping;
    bool connecting;
    std::string name;
    std::string address; // without a port; bots have "bot"
    int port;
};

Player playerAt(int client)
{
    Player player;
    player.client = client;
    player.score = (client * 7) % 41 - 3;
    player.ping = 20 + (client * 37) % 180;
    player.connecting = client % 13 == 12;
    player.name = std::string(kNames[std::size_t(client) % kNames.size()]) + std::to_string(client);
    const bool bot = client % 5 == 4;
    player.address = bot ? "bot" : "198.51.100." + std::to_string(client + 1);
    player.port = bot ? 0 : 27960 + client;
    if (bot)
        player.ping = 0;
    return player;
}

using test::blanks;
using test::visibleLength;

std::string formatted(const char* format, int value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// "%3i " "%5i " "%4i " or "CNCT ", name, "^7", blanks to 16 bytes, "%7i ", address, blanks to 22, "%5i" " %5i".
std::string classicRow(const Player& player)
{
    std::string row = formatted("%3i ", player.client) + formatted("%5i ", player.score);
    row += player.connecting ? std::string("CNCT ") : formatted("%4i ", std::min(player.ping, 9999));
    row += player.name + "^7" + blanks(16 - int(player.name.size()));
    row += formatted("%7i ", player.client * 50);
    const std::string address = player.port ? player.address + ':' + std::to_string(player.port) : player.address;
    row += address + blanks(22 - int(address.size()));
    row += formatted("%5i", player.port ? 1000 + player.client : 0);
    row += formatted(" %5i", player.port ? 25000 : 0);
    return row + '\n';
}

// "%2i " "%5i " "%4i " or "CON ", name, blanks to 16 visible characters (one at least), "^7" and the address,
// blanks to 39 (one at least), " %5i".
std::string ioquake3Row(const Player& player)
{
    std::string row = formatted("%2i ", player.client) + formatted("%5i ", player.score);
    row += player.connecting ? std::string("CON ") : formatted("%4i ", std::min(player.ping, 9999));
    row += player.name + blanks(std::max(1L, 16 - visibleLength(player.name)));
    row += "^7" + player.address + blanks(std::max(1L, 39 - long(player.address.size())));
    row += formatted(" %5i", 25000);
    return row + '\n';
}

} // namespace

std::string statusReply(ReplyLayout layout, int players)
{
    std::string text(kReplyPrefix);
    text += "map: q3dm17\n";
    text += layout == ReplyLayout::Classic ? kClassicHead : kIoquake3Head;
    for (int client = 0; client < players; ++client)
        text += layout == ReplyLayout::Classic ? classicRow(playerAt(client)) : ioquake3Row(playerAt(client));
    return text + '\n';
}

std::vector<std::string> statusDatagrams(const std::string& reply)
{
    std::vector<std::string> datagrams;
    const std::string_view text = std::string_view(reply).substr(kReplyPrefix.size());
    for (std::size_t pos = 0; pos < text.size(); pos += kDatagramTextBytes)
        datagrams.push_back(std::string(kReplyPrefix) + std::string(text.substr(pos, kDatagramTextBytes)));
    return datagrams;
}

} // namespace varno::bench
