#include "ban_list.h"

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
        if (entry.empty())
            continue;
        Filter filter;
        std::size_t pos = 0;
        bool valid = true;
        for (std::size_t i = 0; i < 4 && pos < entry.size(); ++i) {
            if (entry[pos] == '*') {
                ++pos;
            } else if (isDigit(entry[pos])) {
                int number = 0;
                while (pos < entry.size() && isDigit(entry[pos]))
                    number = number * 10 + (entry[pos++] - '0');
                if (number > 255) {
                    valid = false;
                    break;
                }
                filter.value[i] = static_cast<std::uint8_t>(number);
                filter.mask[i] = 255;
            } else {
                valid = false;
                break;
            }
            // Like the game, any one character may separate the numbers.
            if (pos < entry.size())
                ++pos;
        }
        if (!valid) {
            complain("Bad filter address: " + std::string(entry) + "\n");
            continue;
        }
        list.m_filters.push_back(filter);
    }
    return list;
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
