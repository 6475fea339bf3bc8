#include "status_query.h"

#include <algorithm>

namespace varno::standin {

namespace {

constexpr std::size_t kMaxChallengeLength = 128;
// The status buffer of the classic server and ioquake3 (MAX_MSGLEN), and Quake3e's limit for the whole datagram:
// a packet of 1400 bytes less the four 0xFF bytes.
constexpr std::size_t kMaxPlayerLines = 16384;
constexpr std::size_t kQuake3eMaxStatus = 1400 - 4;
constexpr std::size_t kStatusHeaderLength = 16; // "statusResponse\n\n"
constexpr int kConnectingPing = 999;

void removeInfoKey(std::string& info, std::string_view key)
{
    std::size_t pos = 0;
    while (pos < info.size()) {
        const std::size_t start = pos;
        if (info[pos] == '\\')
            ++pos;
        const std::size_t keyEnd = info.find('\\', pos);
        if (keyEnd == std::string::npos)
            return;
        const std::string_view pairKey = std::string_view(info).substr(pos, keyEnd - pos);
        pos = std::min(info.find('\\', keyEnd + 1), info.size());
        if (pairKey == key) {
            info.erase(start, pos - start);
            return;
        }
    }
}

bool isAllowedInInfo(std::string_view text)
{
    return text.find_first_of("\\;\"") == std::string_view::npos;
}

} // namespace

void setInfoValue(std::string& info, std::string_view key, std::string_view value, StatusLayout engine)
{
    if (!isAllowedInInfo(key) || !isAllowedInInfo(value) || (engine == StatusLayout::Quake3e && key.empty()))
        return;
    removeInfoKey(info, key);
    if (value.empty())
        return;
    const std::string pair = "\\" + std::string(key) + "\\" + std::string(value);
    // The classic server lets the string reach the full size; the later engines keep room for its end.
    const std::size_t length = pair.size() + info.size();
    if (engine == StatusLayout::Classic ? length > kMaxInfoString : length >= kMaxInfoString)
        return;
    if (engine == StatusLayout::Quake3e)
        info += pair;
    else
        info.insert(0, pair);
}

std::string serverInfoString(const CvarTable& cvars, StatusLayout engine)
{
    std::vector<const Cvar*> flagged;
    for (const Cvar* cvar : cvars.all()) {
        if (cvar->serverInfo)
            flagged.push_back(cvar);
    }
    if (engine == StatusLayout::Quake3e) {
        std::sort(flagged.begin(), flagged.end(), [](const Cvar* a, const Cvar* b) {
            return a->origin != b->origin ? a->origin < b->origin : a->name < b->name;
        });
    } else {
        std::sort(flagged.begin(), flagged.end(), [](const Cvar* a, const Cvar* b) { return a->created > b->created; });
    }
    std::string info;
    for (const Cvar* cvar : flagged)
        setInfoValue(info, cvar->name, cvar->value, engine);
    return info;
}

std::optional<std::string> statusResponse(const CvarTable& cvars, StatusLayout engine, std::string_view challenge,
                                          const std::map<int, Client>& clients)
{
    if (engine != StatusLayout::Classic && challenge.size() > kMaxChallengeLength)
        return std::nullopt;

    std::string info = serverInfoString(cvars, engine);
    // Echoed so that a master server can tell a reply to its own query from a forged one.
    setInfoValue(info, "challenge", challenge, engine);

    std::string players;
    const std::size_t limit = engine == StatusLayout::Quake3e ? kQuake3eMaxStatus : kMaxPlayerLines;
    const std::size_t counted = engine == StatusLayout::Quake3e ? info.size() + kStatusHeaderLength : 0;
    for (const auto& [number, client] : clients) {
        if (client.state == ClientState::Zombie)
            continue;
        const int ping = client.state == ClientState::Active ? client.ping : kConnectingPing;
        const std::string line =
            std::to_string(client.score) + ' ' + std::to_string(ping) + " \"" + client.name + "\"\n";
        if (counted + players.size() + line.size() >= limit)
            break;
        players += line;
    }
    return "statusResponse\n" + info + "\n" + players;
}

} // namespace varno::standin
