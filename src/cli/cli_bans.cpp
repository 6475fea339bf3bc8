#include "cli/cli_rcon.h"
#include "core/launch/ban_filter.h"
#include "core/lpb/rcon.h"
#include "core/lpb/watcher_health.h"
#include "core/settings/comma_list.h"
#include "core/settings/schema.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <algorithm>

namespace varno::cli {

namespace {

std::string where(const RconRequest& request)
{
    return request.target.host + ":" + std::to_string(request.target.port);
}

// The filters of the running server's g_banIPs, as the game writes them; nothing when it does not answer.
std::optional<std::vector<std::string>> serverFilters(const RconRequest& request)
{
    const std::vector<std::string> replies = exchangeRcon(request, " g_banIPs");
    if (replies.empty())
        return std::nullopt;
    std::string text;
    for (const std::string& reply : replies)
        text += withoutPrintPrefix(reply);
    if (isRconRefusal(text))
        throw CliError(std::string(kPasswordRefusedText) + " (" + where(request) + "); the list is stored");
    // "g_banIPs" is:"a.b.c.d e.f.*.* ^7" ...: the value between the quotes after "is:".
    const std::size_t open = text.find("is:\"");
    const std::size_t close = open == std::string::npos ? open : text.find('"', open + 4);
    std::vector<std::string> filters;
    if (close == std::string::npos)
        return filters;
    const std::string value = text.substr(open + 4, close - open - 4);
    std::size_t at = 0;
    while (at < value.size()) {
        const std::size_t blank = value.find(' ', at);
        const std::string word = value.substr(at, blank == std::string::npos ? std::string::npos : blank - at);
        if (!word.empty() && readBanEntry(word).filter)
            filters.push_back(word);
        if (blank == std::string::npos)
            break;
        at = blank + 1;
    }
    return filters;
}

int changeBans(Context& context, bool add)
{
    RconRequest request = rconRequest(context.arguments);
    refuseUnknownOptions(context.arguments);
    if (context.arguments.size() != 2)
        throw CliError(std::string("give one address: varno bans ") + (add ? "add" : "remove") + " ADDRESS", 2);
    const std::string entry = toStd(context.arguments[1]);
    const BanEntryReading reading = readBanEntry(entry);
    if (!reading.filter)
        throw CliError(entry + ": " + reading.problem);
    if (!reading.problem.empty())
        std::fprintf(context.err, "varno: %s: %s\n", entry.c_str(), reading.problem.c_str());

    const auto store = createSettingsStore();
    std::vector<std::string> bans = FromCommaList(store->ReadString(kBanIPList));
    if (add) {
        bans.push_back(entry);
    } else {
        const auto it = std::find(bans.begin(), bans.end(), entry);
        if (it == bans.end())
            throw CliError(entry + " is not in the banned-address list");
        bans.erase(it);
    }
    store->WriteString(kBanIPList, ToCommaList(bans));

    // The running server takes the change at once; the next launch's script carries it anyway.
    exchangeRcon(request, std::string(add ? " addip " : " removeip ") + entry);
    const std::optional<std::vector<std::string>> filters = serverFilters(request);
    if (!filters) {
        std::fprintf(context.err, "varno: stored; no server answered on %s, the next launch's script carries it\n",
                     where(request).c_str());
        return kNoReplyExitCode;
    }
    const std::string written = banFilterText(*reading.filter);
    const bool holds = std::find(filters->begin(), filters->end(), written) != filters->end();
    if (holds != add) {
        std::fprintf(context.err, "varno: stored, but the server on %s %s\n", where(request).c_str(),
                     add ? "does not hold the ban" : "still holds it");
        return 1;
    }
    // Taken out, an address may still fall under another of the server's filters.
    if (!add && isBannedAddress(written, *filters)) {
        std::fprintf(context.err, "varno: stored, but another filter of the server on %s still bans %s\n",
                     where(request).c_str(), written.c_str());
        return 1;
    }
    std::fprintf(context.err, "varno: stored, and the server on %s %s\n", where(request).c_str(),
                 add ? "bans it now" : "no longer bans it");
    return 0;
}

} // namespace

int bansCommand(Context& context)
{
    const QString action = context.arguments.isEmpty() ? QStringLiteral("list") : context.arguments.front();
    if (action == QLatin1String("add") || action == QLatin1String("remove"))
        return changeBans(context, action == QLatin1String("add"));
    refuseUnknownOptions(context.arguments);
    if (!context.arguments.isEmpty() && context.arguments != QStringList{QStringLiteral("list")})
        throw CliError("bans takes list, add ADDRESS or remove ADDRESS", 2);
    for (const std::string& entry : FromCommaList(createSettingsStore()->ReadString(kBanIPList))) {
        const BanEntryReading reading = readBanEntry(entry);
        context.printRaw(reading.problem.empty() ? entry + "\n" : entry + "\t(" + reading.problem + ")\n");
    }
    return 0;
}

} // namespace varno::cli
