#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace varno::standin {

enum class ClientState { Connected, Zombie, Active };

// One occupied client slot as the status table shows it.
struct Client {
    std::string name;    // as the player set it, colour codes included
    std::string address; // "a.b.c.d:port", "bot" or "loopback"
    bool bot = false;
    ClientState state = ClientState::Active;
    int score = 0;
    int ping = 0;
    int lastMsg = 0; // milliseconds since the last packet
    int qport = 0;
    int rate = 0;
};

// The name with "^" colour codes removed, the way the engine cleans names for matching.
std::string withoutColourCodes(std::string_view name);

class ClientTable {
public:
    // Takes the lowest free slot below maxClients, as the engine does; nullopt when all are in use.
    std::optional<int> add(Client client, int maxClients);
    bool remove(int number);
    Client* find(int number);
    // The first client whose name, as set or without colour codes, equals the given one ignoring case.
    std::optional<int> findByName(std::string_view name) const;
    const std::map<int, Client>& clients() const { return m_clients; }

private:
    std::map<int, Client> m_clients;
};

} // namespace varno::standin
