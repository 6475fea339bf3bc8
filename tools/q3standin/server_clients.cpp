#include "server.h"
#include "status_table.h"

namespace varno::standin {

namespace {

constexpr int kBotRate = 16384;
constexpr int kPlayerRate = 25000;
// Real qports are random; a fixed base keeps the table reproducible.
constexpr int kQportBase = 1000;

std::optional<ClientState> stateFromName(std::string_view name)
{
    const std::string lower = toLower(name);
    if (lower == "connected")
        return ClientState::Connected;
    if (lower == "zombie")
        return ClientState::Zombie;
    if (lower == "active")
        return ClientState::Active;
    return std::nullopt;
}

// A whole decimal number, sign allowed.
bool isNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    return isDigits(text);
}

} // namespace

std::optional<int> Server::connectClient(Client client)
{
    const std::optional<int> number = m_clients.add(client, m_cvars.integer("sv_maxclients"));
    if (number)
        broadcast(client.name + "^7 connected\n");
    return number;
}

void Server::dropClient(int number, std::string_view reason)
{
    const Client* client = m_clients.find(number);
    if (!client)
        return;
    broadcast(client->name + "^7 " + std::string(reason) + '\n');
    m_clients.remove(number);
}

Client* Server::clientByNumber(const std::string& text)
{
    if (!isDigits(text)) {
        print("Bad slot number: " + text + '\n');
        return nullptr;
    }
    const int number = toInteger(text);
    if (number < 0 || number >= m_cvars.integer("sv_maxclients")) {
        print("Bad client slot: " + std::to_string(number) + '\n');
        return nullptr;
    }
    Client* client = m_clients.find(number);
    if (!client)
        print("Client " + std::to_string(number) + " is not active\n");
    return client;
}

Client* Server::clientForSetting(const Args& args, std::string_view usage, int& value)
{
    if (!requireRunning())
        return nullptr;
    if (args.size() != 3 || !isNumber(args[2])) {
        print(std::string(usage) + '\n');
        return nullptr;
    }
    value = toInteger(args[2]);
    return clientByNumber(args[1]);
}

void Server::commandAddBot(const Args& args)
{
    if (!requireRunning())
        return;
    if (args.size() < 2) {
        print("Usage: Addbot <botname> [skill 1-5] [team] [msec delay] [altname]\n");
        return;
    }
    Client bot;
    bot.name = args.size() > 5 ? args[5] : args[1];
    bot.address = "bot";
    bot.bot = true;
    bot.rate = kBotRate;
    if (!connectClient(bot))
        print("Unable to add bot.  All player slots are in use.\n");
}

void Server::commandAddClient(const Args& args)
{
    if (!requireRunning())
        return;
    if (args.size() != 4 || !isNumber(args[2])) {
        print("usage: addclient <name> <ping> <address>\n");
        return;
    }
    if (m_bans.isBanned(args[3])) {
        print("Game rejected a connection: You are banned from this server.\n");
        return;
    }
    Client client;
    client.name = args[1];
    client.ping = toInteger(args[2]);
    client.address = args[3];
    client.rate = kPlayerRate;
    const std::optional<int> number = connectClient(client);
    if (!number) {
        print("Server is full.\n");
        return;
    }
    m_clients.find(*number)->qport = kQportBase + *number;
}

void Server::commandKick(const Args& args)
{
    if (!requireRunning())
        return;
    if (args.size() != 2) {
        print("Usage: kick <player name>\nkick all = kick everyone\nkick allbots = kick all bots\n");
        return;
    }
    // The classic server's kick knows names only (slots are clientkick's); ioquake3 and Quake3e try an
    // occupied slot first and fall back on the name.
    const std::string& who = args[1];
    const bool bySlot = statusLayoutFromName(m_cvars.value("standin_status")) != StatusLayout::Classic;
    std::optional<int> number;
    if (bySlot && isDigits(who) && who.size() < 10 && toInteger(who) < m_cvars.integer("sv_maxclients") &&
        m_clients.find(toInteger(who)))
        number = toInteger(who);
    if (!number)
        number = m_clients.findByName(who);
    if (number) {
        dropClient(*number, "was kicked");
        return;
    }
    print("Player " + who + " is not on the server\n");
    // Only when no player has that name: "all" drops everyone, bots included, "allbots" the bots.
    const bool all = equalsIgnoringCase(who, "all");
    if (!all && !equalsIgnoringCase(who, "allbots"))
        return;
    std::vector<int> numbers;
    for (const auto& [candidate, client] : m_clients.clients()) {
        if (all || client.bot)
            numbers.push_back(candidate);
    }
    for (const int candidate : numbers)
        dropClient(candidate, "was kicked");
}

void Server::commandClientKick(const Args& args)
{
    if (!requireRunning())
        return;
    if (args.size() != 2) {
        print("Usage: clientkick <client number>\n");
        return;
    }
    if (clientByNumber(args[1]))
        dropClient(toInteger(args[1]), "was kicked");
}

void Server::commandAddIp(const Args& args)
{
    if (!requireRunning())
        return;
    if (args.size() < 2) {
        print("Usage:  addip <ip-mask>\n");
        return;
    }
    // The game refuses the address from now on and keeps its filters in g_banIPs for the next map.
    const auto complain = [this](const std::string& complaint) { print(complaint); };
    m_bans.add(args[1], complain);
    m_cvars.set("g_banIPs", m_bans.cvarText(complain));
}

void Server::commandRemoveIp(const Args& args)
{
    if (!requireRunning())
        return;
    if (args.size() < 2) {
        print("Usage:  sv removeip <ip-mask>\n");
        return;
    }
    const auto complain = [this](const std::string& complaint) { print(complaint); };
    const std::optional<bool> removed = m_bans.remove(args[1], complain);
    if (!removed)
        return;
    if (!*removed) {
        print("Didn't find " + args[1] + ".\n");
        return;
    }
    print("Removed.\n");
    m_cvars.set("g_banIPs", m_bans.cvarText(complain));
}

void Server::commandSetPing(const Args& args)
{
    int value = 0;
    if (Client* client = clientForSetting(args, "usage: setping <client number> <ping>", value))
        client->ping = value;
}

void Server::commandSetScore(const Args& args)
{
    int value = 0;
    if (Client* client = clientForSetting(args, "usage: setscore <client number> <score>", value))
        client->score = value;
}

void Server::commandSetLastMsg(const Args& args)
{
    int value = 0;
    if (Client* client = clientForSetting(args, "usage: setlastmsg <client number> <milliseconds>", value))
        client->lastMsg = value;
}

void Server::commandSetQport(const Args& args)
{
    int value = 0;
    if (Client* client = clientForSetting(args, "usage: setqport <client number> <qport>", value))
        client->qport = value;
}

void Server::commandSetRate(const Args& args)
{
    int value = 0;
    if (Client* client = clientForSetting(args, "usage: setrate <client number> <rate>", value))
        client->rate = value;
}

void Server::commandSetState(const Args& args)
{
    if (!requireRunning())
        return;
    const std::optional<ClientState> state = args.size() == 3 ? stateFromName(args[2]) : std::nullopt;
    if (!state) {
        print("usage: setstate <client number> connected|zombie|active\n");
        return;
    }
    if (Client* client = clientByNumber(args[1]))
        client->state = *state;
}

} // namespace varno::standin
