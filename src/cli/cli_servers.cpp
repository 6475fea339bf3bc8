#include "cli/cli_context.h"
#include "cli/cli_launch.h"
#include "core/launch/command_line.h"
#include "core/launch/launch_input.h"
#include "core/settings/schema.h"
#include "core/settings/server_model.h"
#include "core/settings/server_profiles.h"
#include "platform/qt_text.h"
#include "platform/services.h"
#include "platform/settings_factory.h"

#include <algorithm>

namespace varno::cli {

namespace {

// Selects a profile for as long as it lives, then the one selected before: the launch values and the console's tmux
// server follow the selected profile.
class ProfileScope {
public:
    explicit ProfileScope(const std::string& id)
        : m_before(serverProfile())
    {
        setServerProfile(id);
    }
    ~ProfileScope() { setServerProfile(m_before); }
    ProfileScope(const ProfileScope&) = delete;
    ProfileScope& operator=(const ProfileScope&) = delete;

private:
    std::string m_before;
};

// The profile a name names: the first server's by "default" or its stored name, another's by its name or id.
std::optional<std::string> profileNamed(const std::string& name)
{
    for (const std::string& id : allProfiles()) {
        if (name == nameOf(id) || (!id.empty() && profileIdFor(name) == id) || (id.empty() && name == kFirstServerName))
            return id;
    }
    return std::nullopt;
}

std::string need(const QStringList& arguments, int index, const char* what)
{
    if (index >= arguments.size())
        throw CliError(std::string("missing ") + what + " (see varno servers --help)", 2);
    return toStd(arguments[index]);
}

std::string existing(const std::string& name)
{
    const auto id = profileNamed(name);
    if (!id)
        throw CliError("no server named '" + name + "' (see varno servers list)");
    return *id;
}

struct ServerFacts {
    std::string name;
    int port = 0;
    bool running = false;
    std::string gameFolder;
    std::string commandLine;
    std::string settings;
};

ServerFacts factsOf(const Context& context, const std::string& id)
{
    const ProfileScope scope(id);
    ServerFacts facts;
    facts.name = nameOf(id);
    const ServerModel model = launchModel(context);
    facts.port = model.integer(kNetPort);
    facts.gameFolder = gameFolderFrom(model);
    auto launcher = createProcessLauncher();
    facts.running = launcher->adopt();
    const std::string program = launcher->gameProgram(facts.gameFolder).value_or(std::string(kWindowsGameProgram));
    facts.commandLine = buildCommandLine(commandLineInputFrom(model, program));
    facts.settings = settingsLocation();
    return facts;
}

const char* stateText(bool running)
{
    return running ? "running" : "stopped";
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

void selectServer(const std::string& name)
{
    setServerProfile(existing(name));
}

int serversCommand(Context& context)
{
    QStringList& arguments = context.arguments;
    refuseUnknownOptions(arguments);
    const std::string action = arguments.isEmpty() ? std::string("list") : toStd(arguments.front());
    if (action == "list") {
        for (const std::string& id : allProfiles()) {
            const ServerFacts facts = factsOf(context, id);
            context.printRaw(facts.name + "\t" + std::to_string(facts.port) + "\t" + stateText(facts.running) + "\n");
        }
        return 0;
    }
    if (action == "show") {
        const ServerFacts facts = factsOf(context, existing(need(arguments, 1, "NAME")));
        context.printRaw("name\t" + facts.name + "\nport\t" + std::to_string(facts.port) + "\nstate\t" +
                         stateText(facts.running) + "\ngame folder\t" + facts.gameFolder + "\nsettings\t" +
                         facts.settings + "\ncommand line\t" + facts.commandLine + "\n");
        return 0;
    }
    if (action == "add") {
        const std::string name = need(arguments, 1, "NAME");
        if (const std::string problem = newServerNameProblem(name, otherServerProfiles()); !problem.empty())
            throw CliError(problem, 2);
        // The new server starts from the selected one's values, on the next game port no server uses.
        std::vector<std::pair<const SettingKey*, std::string>> values;
        {
            const auto source = createSettingsStore();
            for (const SettingKey& key : allSettings()) {
                if (source->ValueExists(key))
                    values.emplace_back(&key, source->ReadString(key));
            }
        }
        std::vector<int> ports;
        for (const std::string& id : allProfiles())
            ports.push_back(factsOf(context, id).port);
        const int port = nextFreeGamePort(ports.front(), ports);
        const std::string id = profileIdFor(name);
        const auto target = createSettingsStoreOf(id);
        for (const auto& [key, text] : values)
            target->WriteString(*key, text);
        target->WriteString(kProfileName, name);
        target->WriteInteger(kNetPort, port);
        context.printRaw("Added server " + name + " on port " + std::to_string(port) + "\n");
        return 0;
    }
    if (action == "remove") {
        const std::string name = need(arguments, 1, "NAME");
        const std::string id = existing(name);
        if (id.empty())
            throw CliError("the first server's settings are not removed");
        if (factsOf(context, id).running)
            throw CliError("server " + name + " is running: stop it first (varno --server " + name + " stop)");
        removeServerProfile(id);
        context.printRaw("Removed server " + name + "\n");
        return 0;
    }
    throw CliError("unknown servers action '" + action + "' (list, show, add or remove)", 2);
}

} // namespace varno::cli
