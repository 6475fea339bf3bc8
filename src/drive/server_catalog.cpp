#include "drive/server_catalog.h"

#include "core/app/varno_error.h"
#include "core/settings/schema.h"
#include "core/settings/server_profiles.h"
#include "platform/settings_factory.h"

#include <algorithm>

namespace varno {

namespace {

// Why name cannot be given to a server other than except: the ids and the names of the others are taken.
std::string nameProblem(const std::string& name, const std::optional<std::string>& except)
{
    std::vector<std::string> taken;
    for (const std::string& id : allProfiles()) {
        if (except && id == *except)
            continue;
        if (!id.empty())
            taken.push_back(id);
        taken.push_back(profileIdFor(nameOf(id)));
    }
    return newServerNameProblem(name, taken);
}

AddedServer addServer(const std::string& name,
                      const std::vector<std::pair<const SettingKey*, std::string>>& values)
{
    if (const std::string problem = nameProblem(name, std::nullopt); !problem.empty())
        throw VarnoError(problem);
    AddedServer added;
    added.id = profileIdFor(name);
    const auto target = createSettingsStoreOf(added.id);
    for (const auto& [key, text] : values)
        target->WriteString(*key, text);
    target->WriteString(kProfileName, name);
    added.port = target->ReadInteger(kNetPort);
    return added;
}

} // namespace

std::vector<std::string> allProfiles()
{
    std::vector<std::string> ids{std::string()};
    const std::vector<std::string> others = otherServerProfiles();
    ids.insert(ids.end(), others.begin(), others.end());
    return ids;
}

std::string nameOf(const std::string& id)
{
    const std::string stored = createSettingsStoreOf(id)->ReadString(kProfileName);
    if (!stored.empty())
        return stored;
    return id.empty() ? std::string(kFirstServerName) : id;
}

std::optional<std::string> profileNamed(const std::string& name)
{
    for (const std::string& id : allProfiles()) {
        if (name == nameOf(id) || (!id.empty() && profileIdFor(name) == id) || (id.empty() && name == kFirstServerName))
            return id;
    }
    return std::nullopt;
}

int gamePortOf(const std::string& id)
{
    return createSettingsStoreOf(id)->ReadInteger(kNetPort);
}

bool isRemoteProfile(const std::string& id)
{
    return !id.empty() && createSettingsStoreOf(id)->ReadBool(kProfileRemote);
}

AddedServer addLocalServer(const std::string& name, const std::string& from)
{
    // The new server starts from the other one's stored values, on the next game port no server uses.
    std::vector<std::pair<const SettingKey*, std::string>> values;
    {
        const auto source = createSettingsStoreOf(from);
        for (const SettingKey& key : allSettings()) {
            if (source->ValueExists(key) && &key != &kProfileName && &key != &kProfileRemote)
                values.emplace_back(&key, source->ReadString(key));
        }
    }
    std::vector<int> ports;
    for (const std::string& id : allProfiles())
        ports.push_back(gamePortOf(id));
    const std::string port = std::to_string(nextFreeGamePort(ports.front(), ports));
    values.emplace_back(&kNetPort, port);
    // A watcher that watched the other server's game port watches the new one's.
    const auto source = createSettingsStoreOf(from);
    if (source->ReadInteger(kLPBRemotePort) == source->ReadInteger(kNetPort))
        values.emplace_back(&kLPBRemotePort, port);
    return addServer(name, values);
}

void checkRemoteAddress(const std::string& host, int port)
{
    if (host.empty())
        throw VarnoError("a virtual server needs the host it runs on");
    if (port < 1 || port > 65535)
        throw VarnoError("a virtual server's port is a number from 1 to 65535");
}

AddedServer addRemoteServer(const std::string& name, const std::string& host, int port, const std::string& password)
{
    checkRemoteAddress(host, port);
    return addServer(name, remoteServerValues(host, port, password));
}

void renameServer(const std::string& id, const std::string& name)
{
    if (const std::string problem = nameProblem(name, id); !problem.empty())
        throw VarnoError(problem);
    createSettingsStoreOf(id)->WriteString(kProfileName, name);
}

} // namespace varno
