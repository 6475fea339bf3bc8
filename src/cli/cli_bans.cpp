#include "cli/cli_context.h"
#include "core/launch/ban_filter.h"
#include "core/settings/comma_list.h"
#include "core/settings/schema.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

namespace varno::cli {

int bansCommand(Context& context)
{
    refuseUnknownOptions(context.arguments);
    if (!context.arguments.isEmpty() && context.arguments != QStringList{QStringLiteral("list")})
        throw CliError("bans takes no arguments besides list", 2);
    for (const std::string& entry : FromCommaList(createSettingsStore()->ReadString(kBanIPList))) {
        const BanEntryReading reading = readBanEntry(entry);
        context.printRaw(reading.problem.empty() ? entry + "\n" : entry + "\t(" + reading.problem + ")\n");
    }
    return 0;
}

} // namespace varno::cli
