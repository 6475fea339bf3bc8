#include "core/launch/ban_ips.h"

#include "core/app/varno_error.h"

#include <algorithm>
#include <string_view>

namespace varno {

namespace {

constexpr std::string_view kBadEntryMessage = "The banned address \"%s\" must not contain blanks or double quotes.";
constexpr std::string_view kTooLongMessage =
    "The Banned IP List needs %s characters in the server script, but the game takes at most 255.";

bool isBlankOrControl(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code <= 32 || code == 127;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

// "a.b.c.d:port" as the status reply shows a player's address; anything with more than one colon
// (an IPv6 address) is left alone.
std::string_view withoutPort(std::string_view entry)
{
    const auto colon = entry.find(':');
    if (colon == std::string_view::npos || entry.find(':', colon + 1) != std::string_view::npos)
        return entry;
    const std::string_view port = entry.substr(colon + 1);
    if (port.empty() || !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return entry;
    return entry.substr(0, colon);
}

} // namespace

std::string banIpsValue(const std::vector<std::string>& entries)
{
    std::vector<std::string_view> written;
    for (const auto& raw : entries) {
        const std::string_view entry = trimmed(raw);
        if (entry.empty())
            continue;
        if (std::any_of(entry.begin(), entry.end(), [](char c) { return c == '"' || isBlankOrControl(c); }))
            throw VarnoError(formatMessage(kBadEntryMessage, raw));
        const std::string_view address = withoutPort(entry);
        if (std::find(written.begin(), written.end(), address) == written.end())
            written.push_back(address);
    }
    std::string value;
    for (const auto address : written) {
        value += address;
        value += ' ';
    }
    if (value.size() > kMaxBanIpsLength)
        throw VarnoError(formatMessage(kTooLongMessage, std::to_string(value.size())));
    return value;
}

} // namespace varno
