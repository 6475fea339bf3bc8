#include "status_table.h"

#include "command_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace varno::standin {

namespace {

constexpr int kClassicPingCap = 9999;
constexpr int kQuake3ePingCap = 999;

// printf("%<width>i")
std::string number(int value, int width)
{
    char text[32];
    std::snprintf(text, sizeof text, "%*d", width, value);
    return text;
}

void addBlanks(std::vector<std::string>& pieces, int count)
{
    for (int i = 0; i < count; ++i)
        pieces.emplace_back(" ");
}

// ioquake3 always prints at least one blank after the name and the address.
void addAtLeastOneBlank(std::vector<std::string>& pieces, int count)
{
    addBlanks(pieces, std::max(count, 1));
}

std::string pingText(const Client& client, int cap, std::string_view connecting, std::string_view zombie)
{
    switch (client.state) {
    case ClientState::Connected:
        return std::string(connecting);
    case ClientState::Zombie:
        return std::string(zombie);
    case ClientState::Active:
        break;
    }
    return number(std::min(client.ping, cap), 4) + ' ';
}

std::string shownAddress(const Client& client, bool withPort)
{
    if (client.bot)
        return "bot";
    return withPort ? client.address : addressWithoutPort(client.address);
}

void addClassicTable(std::vector<std::string>& pieces, const std::map<int, Client>& clients)
{
    pieces.emplace_back("num score ping name            lastmsg address               qport rate\n");
    pieces.emplace_back("--- ----- ---- --------------- ------- --------------------- ----- -----\n");
    for (const auto& [num, client] : clients) {
        pieces.push_back(number(num, 3) + ' ');
        pieces.push_back(number(client.score, 5) + ' ');
        pieces.push_back(pingText(client, kClassicPingCap, "CNCT ", "ZMBI "));
        pieces.push_back(client.name);
        pieces.emplace_back("^7");
        addBlanks(pieces, 16 - static_cast<int>(client.name.size()));
        pieces.push_back(number(client.lastMsg, 7) + ' ');
        const std::string address = shownAddress(client, true);
        pieces.push_back(address);
        addBlanks(pieces, 22 - static_cast<int>(address.size()));
        pieces.push_back(number(client.qport, 5));
        pieces.push_back(' ' + number(client.rate, 5));
        pieces.emplace_back("\n");
    }
}

void addIoq3Table(std::vector<std::string>& pieces, const std::map<int, Client>& clients)
{
    pieces.emplace_back("cl score ping name            address                                 rate \n");
    pieces.emplace_back("-- ----- ---- --------------- --------------------------------------- -----\n");
    for (const auto& [num, client] : clients) {
        pieces.push_back(number(num, 2) + ' ');
        pieces.push_back(number(client.score, 5) + ' ');
        pieces.push_back(pingText(client, kClassicPingCap, "CON ", "ZMB "));
        pieces.push_back(client.name);
        addAtLeastOneBlank(pieces, 16 - visibleLength(client.name));
        const std::string address = shownAddress(client, false);
        pieces.push_back("^7" + address);
        addAtLeastOneBlank(pieces, 39 - static_cast<int>(address.size()));
        pieces.push_back(' ' + number(client.rate, 5));
        pieces.emplace_back("\n");
    }
}

void addQuake3eTable(std::vector<std::string>& pieces, const std::map<int, Client>& clients)
{
    int nameWidth = 15;
    int addressWidth = 39;
    for (const auto& [num, client] : clients) {
        nameWidth = std::max(nameWidth, visibleLength(client.name));
        addressWidth = std::max(addressWidth, static_cast<int>(shownAddress(client, false).size()));
    }
    pieces.push_back("cl score ping name" + std::string(nameWidth - 4, ' ') + " address" +
                     std::string(addressWidth - 7, ' ') + " rate\n");
    pieces.push_back("-- ----- ---- " + std::string(nameWidth, '-') + ' ' + std::string(addressWidth, '-') +
                     " -----\n");
    for (const auto& [num, client] : clients) {
        pieces.push_back(number(num, 2) + ' ');
        pieces.push_back(number(client.score, 5) + ' ');
        pieces.push_back(pingText(client, kQuake3ePingCap, " CON ", " ZMB "));
        pieces.push_back(client.name + std::string(nameWidth - visibleLength(client.name), ' '));
        const std::string address = shownAddress(client, false);
        pieces.push_back("^7 " + address + std::string(addressWidth - address.size(), ' '));
        pieces.push_back(' ' + number(client.rate, 5) + '\n');
    }
}

} // namespace

StatusLayout statusLayoutFromName(std::string_view name)
{
    const std::string lower = toLower(name);
    if (lower == "ioq3")
        return StatusLayout::Ioq3;
    if (lower == "quake3e")
        return StatusLayout::Quake3e;
    return StatusLayout::Classic;
}

std::string addressWithoutPort(std::string_view address)
{
    if (!address.empty() && address.front() == '[') {
        const std::size_t close = address.find(']');
        return std::string(address.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    }
    const std::size_t colon = address.find(':');
    if (colon != std::string_view::npos && address.find(':', colon + 1) == std::string_view::npos)
        return std::string(address.substr(0, colon));
    return std::string(address);
}

int visibleLength(std::string_view name)
{
    int length = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '^' && i + 1 < name.size() && std::isalnum(static_cast<unsigned char>(name[i + 1]))) {
            ++i;
            continue;
        }
        ++length;
    }
    return length;
}

std::vector<std::string> statusPieces(StatusLayout layout, std::string_view mapName,
                                      const std::map<int, Client>& clients)
{
    std::vector<std::string> pieces;
    pieces.push_back("map: " + std::string(mapName) + '\n');
    switch (layout) {
    case StatusLayout::Classic:
        addClassicTable(pieces, clients);
        break;
    case StatusLayout::Ioq3:
        addIoq3Table(pieces, clients);
        break;
    case StatusLayout::Quake3e:
        addQuake3eTable(pieces, clients);
        break;
    }
    pieces.emplace_back("\n");
    return pieces;
}

} // namespace varno::standin
