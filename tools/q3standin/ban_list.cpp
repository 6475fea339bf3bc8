#include "ban_list.h"

#include <algorithm>

#include <cctype>
#include <optional>

namespace varno::standin {

namespace {

bool isDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::optional<std::array<std::uint8_t, 4>> parseAddress(std::string_view text)
{
    std::array<std::uint8_t, 4> bytes{};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        int value = 0;
        const std::size_t start = pos;
        while (pos < text.size() && isDigit(text[pos]) && pos - start < 3)
            value = value * 10 + (text[pos++] - '0');
        if (pos == start || value > 255)
            return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(value);
        if (i < 3 && (pos >= text.size() || text[pos] != '.'))
            return std::nullopt;
        ++pos;
    }
    return bytes;
}

} // namespace

std::optional<BanList::Filter> BanList::parseFilter(std::string_view entry)
{
    Filter filter;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < 4 && pos < entry.size(); ++i) {
        if (entry[pos] == '*') {
            ++pos;
        } else if (isDigit(entry[pos])) {
            int number = 0;
            while (pos < entry.size() && isDigit(entry[pos]))
                number = number * 10 + (entry[pos++] - '0');
            if (number > 255)
                return std::nullopt;
            filter.value[i] = static_cast<std::uint8_t>(number);
            filter.mask[i] = 255;
        } else {
            return std::nullopt;
        }
        // Like the game, any one character may separate the numbers.
        if (pos < entry.size())
            ++pos;
    }
    return filter;
}

BanList BanList::fromCvar(std::string_view value, const std::function<void(const std::string&)>& complain)
{
    BanList list;
    value = value.substr(0, kMaxValueLength);
    std::size_t start = 0;
    while (true) {
        const std::size_t blank = value.find(' ', start);
        if (blank == std::string_view::npos)
            break;
        const std::string_view entry = value.substr(start, blank - start);
        start = blank + 1;
        if (!entry.empty())
            list.add(entry, complain);
    }
    return list;
}

void BanList::add(std::string_view entry, const std::function<void(const std::string&)>& complain)
{
    if (const std::optional<Filter> filter = parseFilter(entry))
        m_filters.push_back(*filter);
    else
        complain("Bad filter address: " + std::string(entry) + "\n");
}

std::optional<bool> BanList::remove(std::string_view entry, const std::function<void(const std::string&)>& complain)
{
    const std::optional<Filter> filter = parseFilter(entry);
    if (!filter) {
        complain("Bad filter address: " + std::string(entry) + "\n");
        return std::nullopt;
    }
    // Only a filter given exactly so goes: a single address is not taken out of a subnet.
    const auto it = std::find_if(m_filters.begin(), m_filters.end(), [&](const Filter& kept) {
        return kept.value == filter->value && kept.mask == filter->mask;
    });
    if (it == m_filters.end())
        return false;
    m_filters.erase(it);
    return true;
}

std::string BanList::cvarText(const std::function<void(const std::string&)>& complain) const
{
    std::string text;
    for (const Filter& filter : m_filters) {
        std::string entry;
        for (std::size_t i = 0; i < 4; ++i) {
            entry += filter.mask[i] == 255 ? std::to_string(filter.value[i]) : std::string("*");
            entry += i < 3 ? '.' : ' ';
        }
        // The game's cvar holds fewer than 256 characters; what does not fit is dropped with a word.
        if (text.size() + entry.size() > kMaxValueLength) {
            complain("g_banIPs overflowed at MAX_CVAR_VALUE_STRING\n");
            break;
        }
        text += entry;
    }
    return text;
}

bool BanList::isBanned(std::string_view address) const
{
    const std::optional<std::array<std::uint8_t, 4>> bytes = parseAddress(address);
    if (!bytes)
        return false;
    for (const Filter& filter : m_filters) {
        bool match = true;
        for (std::size_t i = 0; i < 4; ++i)
            match = match && ((*bytes)[i] & filter.mask[i]) == filter.value[i];
        if (match)
            return true;
    }
    return false;
}

} // namespace varno::standin
