#include "cli/cli_context.h"
#include "cli/cli_launch.h"
#include "core/app/varno_error.h"
#include "core/launch/launch_input.h"
#include "core/settings/schema.h"
#include "core/settings/server_model.h"
#include "core/settings/server_profiles.h"
#include "drive/server_catalog.h"
#include "platform/qt_text.h"
#include "platform/services.h"
#include "platform/settings_factory.h"

#include <algorithm>

namespace varno::cli {

namespace {

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
    std::string remoteHost; // a virtual server's; it is neither started nor stopped from here
};

ServerFacts factsOf(const Context& context, const std::string& id)
{
    const ServerProfileScope scope(id);
    ServerFacts facts;
    facts.name = nameOf(id);
    facts.settings = settingsLocation();
    if (isRemoteProfile(id)) {
        const auto store = createSettingsStore();
        facts.remoteHost = store->ReadString(kRemoteHostAddress);
        facts.port = store->ReadInteger(kLPBRemotePort);
        return facts;
    }
    const ServerModel model = launchModel(context);
    facts.port = model.integer(kNetPort);
    facts.gameFolder = gameFolderFrom(model);
    auto launcher = createProcessLauncher();
    facts.running = launcher->adopt();
    facts.commandLine = launchCommandLine(model, *launcher);
    return facts;
}

std::string stateText(const ServerFacts& facts)
{
    if (!facts.remoteHost.empty())
        return "virtual server at " + facts.remoteHost;
    return facts.running ? "running" : "stopped";
}

} // namespace

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
            context.printRaw(facts.name + "\t" + std::to_string(facts.port) + "\t" + stateText(facts) + "\n");
        }
        return 0;
    }
    if (action == "show") {
        const ServerFacts facts = factsOf(context, existing(need(arguments, 1, "NAME")));
        context.printRaw("name\t" + facts.name + "\nport\t" + std::to_string(facts.port) + "\nstate\t" +
                         stateText(facts) + "\ngame folder\t" + facts.gameFolder + "\nsettings\t" +
                         facts.settings + "\ncommand line\t" + facts.commandLine + "\n");
        return 0;
    }
    if (action == "add") {
        const std::string name = need(arguments, 1, "NAME");
        AddedServer added;
        try {
            added = addLocalServer(name, serverProfile());
        } catch (const VarnoError& error) {
            throw CliError(error.what(), 2);
        }
        const int port = added.port;
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
