#include "printed_status.h"

#include "support/status_rows.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

namespace varno::fuzz {

namespace {

constexpr std::string_view kReplyPrefix = "\xff\xff\xff\xffprint\n";

std::string formatted(const char* format, int value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

using test::blanks;
using test::visibleLength;

std::string trimmedRight(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// A name as the game lets a player set it: printable bytes only, at most 36 of them.
std::string playerName(FuzzedDataProvider& provider)
{
    std::string name = provider.ConsumeRandomLengthString(36);
    std::erase_if(name, [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    return name;
}

std::string ipv4(FuzzedDataProvider& provider)
{
    std::string address;
    for (int i = 0; i < 4; ++i)
        address += (i ? "." : "") + std::to_string(provider.ConsumeIntegral<std::uint8_t>());
    return address;
}

std::string ipv6(FuzzedDataProvider& provider)
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "2001:db8:%x:%x::%x", provider.ConsumeIntegral<std::uint16_t>(),
                  provider.ConsumeIntegral<std::uint16_t>(), provider.ConsumeIntegral<std::uint16_t>());
    return buffer;
}

enum class Layout { Classic, Ioquake3, Quake3e };

struct Player {
    int client = 0;
    int score = 0;
    int ping = 0;
    StatusRowKind kind = StatusRowKind::Player;
    std::string name;
    std::string address;
};

Player player(FuzzedDataProvider& provider, Layout layout, int client)
{
    Player p;
    p.client = client;
    p.score = provider.ConsumeIntegralInRange(-9999, 99999);
    p.ping = provider.ConsumeIntegralInRange(0, layout == Layout::Quake3e ? 999 : 9999);
    const auto kind = provider.ConsumeIntegralInRange(0, 7);
    p.kind = kind == 6 ? StatusRowKind::Connecting : kind == 7 ? StatusRowKind::Zombie : StatusRowKind::Player;
    p.name = playerName(provider);
    switch (provider.ConsumeIntegralInRange(0, 3)) {
    case 0:
        p.address = "bot";
        break;
    case 1:
        p.address = layout == Layout::Classic ? std::string("loopback") : ipv6(provider);
        break;
    default:
        p.address = ipv4(provider);
        if (layout == Layout::Classic)
            p.address += ':' + std::to_string(provider.ConsumeIntegral<std::uint16_t>());
        break;
    }
    return p;
}

std::string classicRow(const Player& p, FuzzedDataProvider& provider)
{
    std::string row = formatted("%3i ", p.client) + formatted("%5i ", p.score);
    if (p.kind == StatusRowKind::Player)
        row += formatted("%4i ", p.ping);
    else
        row += p.kind == StatusRowKind::Connecting ? "CNCT " : "ZMBI ";
    row += p.name + "^7" + blanks(16 - long(p.name.size()));
    row += formatted("%7i ", provider.ConsumeIntegralInRange(0, 99999999));
    row += p.address + blanks(22 - long(p.address.size()));
    row += formatted("%5i", provider.ConsumeIntegralInRange(0, 65535));
    row += formatted(" %5i", provider.ConsumeIntegralInRange(0, 999999));
    return row + '\n';
}

std::string ioquake3Row(const Player& p, FuzzedDataProvider& provider)
{
    std::string row = formatted("%2i ", p.client) + formatted("%5i ", p.score);
    if (p.kind == StatusRowKind::Player)
        row += formatted("%4i ", p.ping);
    else
        row += p.kind == StatusRowKind::Connecting ? "CON " : "ZMB ";
    row += p.name + blanks(std::max(1L, 16 - visibleLength(p.name)));
    row += "^7" + p.address + blanks(std::max(1L, 39 - long(p.address.size())));
    row += formatted(" %5i", provider.ConsumeIntegralInRange(0, 999999));
    return row + '\n';
}

std::string quake3eRow(const Player& p, std::size_t nameWidth, std::size_t addressWidth, bool oldMarkers,
                       FuzzedDataProvider& provider)
{
    std::string row = formatted("%2i ", p.client) + formatted("%5i ", p.score);
    if (p.kind == StatusRowKind::Player) {
        row += formatted("%4i ", p.ping);
    } else {
        const std::string marker = p.kind == StatusRowKind::Zombie ? "ZMB" : provider.ConsumeBool() ? "CON" : "PRM";
        row += (oldMarkers ? "" : " ") + marker + ' ';
    }
    row += p.name + blanks(long(nameWidth) - long(p.name.size()));
    row += "^7 " + p.address + blanks(long(addressWidth) - long(p.address.size()));
    row += formatted(" %5i", provider.ConsumeIntegralInRange(0, 999999));
    return row + '\n';
}

std::string quake3eHead(std::size_t nameWidth, std::size_t addressWidth)
{
    return "cl score ping name" + blanks(long(nameWidth) - 4) + " address" + blanks(long(addressWidth) - 7) +
           " rate\n" + "-- ----- ---- " + std::string(nameWidth, '-') + ' ' + std::string(addressWidth, '-') +
           " -----\n";
}

StatusRow expectedRow(const Player& p, Layout layout, std::string_view printedPing)
{
    StatusRow row;
    row.kind = p.kind;
    row.ping = p.kind == StatusRowKind::Player ? p.ping : 0;
    row.player.clientNumber = formatted("%2i", p.client);
    row.player.ping = std::string(printedPing);
    // Classic rows print "^7" right after the name; the other layouts' padding cannot be told from the
    // name's own trailing blanks.
    row.player.name = (layout == Layout::Classic ? p.name + "^7" : trimmedRight(p.name)) + ' ';
    row.player.address = p.address;
    return row;
}

// The ping column's text as the parser hands it on: digits, or the marker without blanks.
std::string pingField(std::string_view row, Layout layout)
{
    std::size_t pos = layout == Layout::Classic ? 4 : 3;
    pos = row.find_first_not_of(' ', pos);
    pos = row.find(' ', pos);
    pos = row.find_first_not_of(' ', pos);
    return std::string(row.substr(pos, row.find(' ', pos) - pos));
}

} // namespace

PrintedStatus printStatus(FuzzedDataProvider& provider)
{
    const auto layout = static_cast<Layout>(provider.ConsumeIntegralInRange(0, 2));
    const int count = provider.ConsumeIntegralInRange(0, 24);
    std::vector<Player> players;
    for (int client = 0; client < count; ++client) {
        const int number = provider.ConsumeBool() ? client : provider.ConsumeIntegralInRange(0, 63);
        players.push_back(player(provider, layout, number));
    }

    PrintedStatus printed;
    printed.expected.mapName = "q3dm" + std::to_string(provider.ConsumeIntegralInRange(0, 99));
    printed.reply = std::string(kReplyPrefix) + "map: " + printed.expected.mapName + '\n';
    std::size_t nameWidth = 15;
    std::size_t addressWidth = 39;
    for (const Player& p : players) {
        nameWidth = std::max(nameWidth, p.name.size());
        addressWidth = std::max(addressWidth, p.address.size());
    }
    const bool oldMarkers = provider.ConsumeBool();
    switch (layout) {
    case Layout::Classic:
        printed.expected.layout = StatusLayout::Classic;
        printed.reply += "num score ping name            lastmsg address               qport rate\n"
                         "--- ----- ---- --------------- ------- --------------------- ----- -----\n";
        break;
    case Layout::Ioquake3:
        printed.expected.layout = StatusLayout::Ioquake3;
        printed.reply += "cl score ping name            address                                 rate \n"
                         "-- ----- ---- --------------- --------------------------------------- -----\n";
        break;
    case Layout::Quake3e:
        printed.expected.layout = StatusLayout::Quake3e;
        printed.reply += quake3eHead(nameWidth, addressWidth);
        break;
    }
    for (const Player& p : players) {
        std::string row;
        switch (layout) {
        case Layout::Classic:
            row = classicRow(p, provider);
            break;
        case Layout::Ioquake3:
            row = ioquake3Row(p, provider);
            break;
        case Layout::Quake3e:
            row = quake3eRow(p, nameWidth, addressWidth, oldMarkers, provider);
            break;
        }
        printed.reply += row;
        printed.expected.rows.push_back(expectedRow(p, layout, pingField(row, layout)));
    }
    printed.reply += '\n';
    return printed;
}

} // namespace varno::fuzz
