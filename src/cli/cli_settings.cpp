#include "cli/cli_context.h"
#include "core/settings/schema.h"
#include "core/settings/setting_checks.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

namespace varno::cli {

namespace {

std::string need(const QStringList& arguments, int index, const char* what)
{
    if (index >= arguments.size())
        throw CliError(std::string("missing ") + what + " (see varno settings --help)", 2);
    return toStd(arguments[index]);
}

// The schema's key named by the arguments after the action; an unknown one is a usage error.
const SettingKey& namedKey(const QStringList& arguments)
{
    const std::string section = need(arguments, 1, "SECTION");
    const std::string name = need(arguments, 2, "KEY");
    if (const auto problem = settingNameProblem(section, name))
        throw CliError(*problem, 2);
    return *findSetting(section, name);
}

void get(Context& context, SettingsStore& store)
{
    const SettingKey& key = namedKey(context.arguments);
    const std::string text = store.ReadString(key);
    context.printRaw(text + "\n");
    if (!store.ValueExists(key))
        std::fputs("varno: default\n", context.err);
    else if (const auto problem = settingValueProblem(key, text))
        std::fprintf(context.err, "varno: stored, but %s\n", problem->c_str());
    else
        std::fputs("varno: stored\n", context.err);
}

void set(Context& context, SettingsStore& store)
{
    const SettingKey& key = namedKey(context.arguments);
    const std::string text = need(context.arguments, 3, "VALUE");
    if (const auto problem = settingValueProblem(key, text))
        throw CliError(*problem, 2);
    writeSettingValue(store, key, text);
}

void listKeys(Context& context)
{
    for (const SettingKey& key : allSettings()) {
        context.printRaw(std::string(key.section) + '\t' + std::string(key.name) + '\t' +
                         std::string(encodingName(key.encoding)) + '\t' + std::string(key.defaultText) + '\t' +
                         validValuesText(key) + '\n');
    }
}

void dump(Context& context, SettingsStore& store)
{
    std::string_view section;
    for (const SettingKey& key : allSettings()) {
        if (!store.ValueExists(key))
            continue;
        if (key.section != section) {
            context.printRaw((section.empty() ? "[" : "\n[") + std::string(key.section) + "]\n");
            section = key.section;
        }
        context.printRaw(std::string(key.name) + "=" + store.ReadString(key) + "\n");
    }
}

} // namespace

int settingsCommand(Context& context)
{
    QStringList& arguments = context.arguments;
    refuseUnknownOptions(arguments);
    const std::string action = need(arguments, 0, "action: get, set, keys, erase or dump");
    const auto store = createSettingsStore();
    if (action == "get")
        get(context, *store);
    else if (action == "set")
        set(context, *store);
    else if (action == "keys")
        listKeys(context);
    else if (action == "erase")
        store->EraseSection(need(arguments, 1, "SECTION"));
    else if (action == "dump")
        dump(context, *store);
    else
        throw CliError("unknown settings action '" + action + "' (get, set, keys, erase or dump)", 2);
    return 0;
}

} // namespace varno::cli
