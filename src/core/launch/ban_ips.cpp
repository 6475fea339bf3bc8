#include "core/launch/ban_ips.h"

#include "core/launch/ban_filter.h"

#include <algorithm>
#include <string_view>

namespace varno {

namespace {

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

bool isDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "a.b.c.d:port" as the status reply shows a player's address; with more than one colon (an IPv6
// address) or a port that is not a number the entry stays as it is.
std::string_view withoutPort(std::string_view entry)
{
    const auto colon = entry.find(':');
    if (colon == std::string_view::npos || entry.find(':', colon + 1) != std::string_view::npos)
        return entry;
    return isDigits(entry.substr(colon + 1)) ? entry.substr(0, colon) : entry;
}

} // namespace

BanIps banIpsFor(const std::vector<std::string>& entries)
{
    BanIps bans;
    std::vector<std::string_view> usable;
    for (const auto& raw : entries) {
        const std::string_view entry = trimmed(raw);
        if (entry.empty())
            continue;
        const std::string_view address = withoutPort(entry);
        // What the game would ignore or read otherwise is of no use to it.
        if (!readBanEntry(address).problem.empty()) {
            ++bans.leftOutNotIpv4;
            continue;
        }
        // A repeat counts where it was added last, so it keeps its newest place.
        usable.erase(std::remove(usable.begin(), usable.end(), address), usable.end());
        usable.push_back(address);
    }
    std::size_t length = 0;
    auto first = usable.end();
    while (first != usable.begin() && length + std::prev(first)->size() + 1 <= kMaxBanIpsLength) {
        --first;
        length += first->size() + 1;
    }
    bans.leftOutForLength = std::size_t(first - usable.begin());
    for (auto it = first; it != usable.end(); ++it) {
        bans.value += *it;
        bans.value += ' ';
    }
    return bans;
}

std::string banIpsNotice(const BanIps& bans)
{
    const std::size_t total = bans.leftOutForLength + bans.leftOutNotIpv4;
    if (total == 0)
        return {};
    std::string notice =
        std::to_string(total) + (total == 1 ? " banned entry" : " banned entries") + " left out of g_banIPs: ";
    if (bans.leftOutForLength > 0)
        notice += std::to_string(bans.leftOutForLength) + " older beyond the game's 255 characters";
    if (bans.leftOutForLength > 0 && bans.leftOutNotIpv4 > 0)
        notice += ", ";
    if (bans.leftOutNotIpv4 > 0)
        notice += std::to_string(bans.leftOutNotIpv4) + " not IPv4";
    return notice + '.';
}

} // namespace varno
