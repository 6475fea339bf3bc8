#include "cli/cli_context.h"
#include "core/settings/schema.h"
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

} // namespace

int settingsCommand(Context& context)
{
    QStringList& arguments = context.arguments;
    refuseUnknownOptions(arguments);
    const std::string action = need(arguments, 0, "action: get, set, erase or dump");
    const auto store = createSettingsStore();
    if (action == "get") {
        const std::string section = need(arguments, 1, "SECTION");
        const std::string name = need(arguments, 2, "VALUE");
        const char* missing = "\x01";
        const std::string text = store->ReadString(section, name, missing);
        if (text == missing)
            throw CliError("no value " + name + " in section " + section);
        context.printRaw(text + "\n");
        return 0;
    }
    if (action == "set") {
        store->WriteString(need(arguments, 1, "SECTION"), need(arguments, 2, "VALUE"), need(arguments, 3, "TEXT"));
        return 0;
    }
    if (action == "erase") {
        store->EraseSection(need(arguments, 1, "SECTION"));
        return 0;
    }
    if (action == "dump") {
        std::string_view section;
        for (const SettingKey& key : allSettings()) {
            const char* missing = "\x01";
            const std::string text = store->ReadString(key.section, key.name, missing);
            if (text == missing)
                continue;
            if (key.section != section) {
                context.printRaw((section.empty() ? "[" : "\n[") + std::string(key.section) + "]\n");
                section = key.section;
            }
            context.printRaw(std::string(key.name) + "=" + text + "\n");
        }
        return 0;
    }
    throw CliError("unknown settings action '" + action + "' (get, set, erase or dump)", 2);
}

} // namespace varno::cli
