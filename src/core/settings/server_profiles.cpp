#include "core/settings/server_profiles.h"

#include "core/settings/schema.h"

#include <algorithm>

namespace varno {

std::string profileIdFor(std::string_view name)
{
    std::string id;
    bool gap = false;
    for (const char c : name) {
        const char lower = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
        if ((lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9')) {
            if (gap && !id.empty())
                id += '-';
            id += lower;
            gap = false;
        } else {
            gap = true;
        }
    }
    return id;
}

std::string newServerNameProblem(std::string_view name, const std::vector<std::string>& takenIds)
{
    const std::string id = profileIdFor(name);
    if (id.empty())
        return "a server name needs a letter or a digit";
    if (id == kFirstServerName || std::find(takenIds.begin(), takenIds.end(), id) != takenIds.end())
        return "a server named '" + std::string(name) + "' exists already";
    return {};
}

int nextFreeGamePort(int firstServerPort, const std::vector<int>& usedPorts)
{
    int port = firstServerPort + 1;
    while (std::find(usedPorts.begin(), usedPorts.end(), port) != usedPorts.end())
        ++port;
    return port;
}

void ServerStanding::launched()
{
    m_state = State::Starting;
    m_unanswered = 0;
}

void ServerStanding::adopted()
{
    m_state = State::Running;
}

void ServerStanding::crashed()
{
    m_state = State::Crashed;
}

void ServerStanding::stopped(bool early)
{
    m_state = early ? State::StoppedEarly : State::Stopped;
}

void ServerStanding::queried()
{
    ++m_unanswered;
}

void ServerStanding::answered()
{
    m_unanswered = 0;
    m_everAnswered = true;
    if (m_state == State::Starting)
        m_state = State::Running;
}

bool ServerStanding::up() const
{
    return m_remote || m_state == State::Starting || m_state == State::Running;
}

std::string ServerStanding::text() const
{
    if (m_remote) {
        if (m_unanswered >= kUnansweredQueries)
            return "cannot be reached";
        return m_everAnswered ? "answers" : "not asked yet";
    }
    switch (m_state) {
    case State::Starting:
        return "starting";
    case State::Running:
        return m_unanswered >= kUnansweredQueries ? "running, not answering" : "running";
    case State::Crashed:
        return "crashed";
    case State::StoppedEarly:
        return "stopped early";
    case State::Stopped:
        break;
    }
    return "stopped";
}

std::string serverTreeLine(std::string_view name, int port, const ServerStanding& standing, int players,
                           int maxPlayers, std::string_view map)
{
    std::string line = std::string(name) + "  port " + std::to_string(port) + "  " + standing.text();
    if (maxPlayers > 0)
        line += "  " + std::to_string(players) + "/" + std::to_string(maxPlayers);
    if (!map.empty())
        line += "  " + std::string(map);
    return line;
}

std::vector<std::pair<const SettingKey*, std::string>> remoteServerValues(std::string_view host, int port,
                                                                          std::string_view rconPassword)
{
    return {{&kProfileRemote, "1"},
            {&kLocalHost, "0"},
            {&kRemoteHost, "1"},
            {&kRemoteHostAddress, std::string(host)},
            {&kLPBRemotePort, std::to_string(port)},
            {&kNetPort, std::to_string(port)},
            {&kLPBRCon, std::string(rconPassword)}};
}

} // namespace varno
