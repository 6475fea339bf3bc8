#include "core/settings/server_profiles.h"

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

} // namespace varno
