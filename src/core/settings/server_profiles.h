#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace varno {

struct SettingKey;

// Several servers from one panel: each has a profile of its own, named by the operator. The first server's
// profile is the settings as they always were; every other one is kept beside it under an id made from its name.

// The name the first server answers to when its profile names none.
inline constexpr std::string_view kFirstServerName = "default";

// The id a name is kept under: lower-case letters and digits, any other run of characters one '-', none at
// either end. Empty when the name holds no letter or digit.
std::string profileIdFor(std::string_view name);

// Why a name cannot name a new server beside those whose ids are taken; empty when it can.
std::string newServerNameProblem(std::string_view name, const std::vector<std::string>& takenIds);

// The game port for a new server: the first one above the first server's that no server uses.
int nextFreeGamePort(int firstServerPort, const std::vector<int>& usedPorts);

// How a server stands, as the Servers page shows it. A server of this computer is starting from its launch until it
// answers a status query, running while it does, crashed while its relaunch waits, and stopped, or stopped early when
// it ended on its own. A virtual server is told by its answers alone: it cannot be reached after kUnansweredQueries
// queries in a row went unanswered.
class ServerStanding {
public:
    static constexpr int kUnansweredQueries = 3;

    explicit ServerStanding(bool remote = false)
        : m_remote(remote)
    {
    }

    void launched();
    // Found running at the panel's start (started by an earlier run or by varno).
    void adopted();
    void crashed();
    void stopped(bool early);
    void queried();
    void answered();

    bool remote() const { return m_remote; }
    // Whether the server may be queried: its process runs, or it is remote.
    bool up() const;
    std::string text() const;

private:
    enum class State { Stopped, Starting, Running, Crashed, StoppedEarly };
    bool m_remote;
    State m_state = State::Stopped;
    int m_unanswered = 0;
    bool m_everAnswered = false;
};

// The line of one server in the server tree: "NAME  port PORT  STATE  PLAYERS/MAX  MAP", the last two once known.
std::string serverTreeLine(std::string_view name, int port, const ServerStanding& standing, int players,
                           int maxPlayers, std::string_view map);

// The values that make a profile a virtual server: the watcher, the console's rcon and the information view all
// aim at host:port with the rcon password.
std::vector<std::pair<const SettingKey*, std::string>> remoteServerValues(std::string_view host, int port,
                                                                                 std::string_view rconPassword);

} // namespace varno
