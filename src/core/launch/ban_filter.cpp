#include "core/launch/ban_filter.h"

namespace varno {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The longest number the filter reads here: the game's own reading of longer ones is not defined.
constexpr std::size_t kMaxOctetDigits = 9;

} // namespace

std::string banFilterText(const BanFilter& filter)
{
    std::string text;
    for (std::size_t i = 0; i < 4; ++i) {
        text += filter.mask[i] == 255 ? std::to_string(filter.value[i]) : std::string("*");
        if (i < 3)
            text += '.';
    }
    return text;
}

BanEntryReading readBanEntry(std::string_view entry)
{
    BanEntryReading reading;
    BanFilter filter;
    bool plain = true; // dots between parts, numbers up to 255, nothing after the pattern but a port
    std::size_t at = 0;
    for (std::size_t octet = 0; octet < 4; ++octet) {
        if (at < entry.size() && entry[at] == '*') {
            ++at;
            if (at == entry.size())
                break;
            plain = plain && entry[at] == '.';
            ++at;
            continue;
        }
        if (at == entry.size() || !isDigit(entry[at])) {
            reading.problem = "the game ignores this entry: it is not an address pattern";
            return reading;
        }
        const std::size_t start = at;
        while (at < entry.size() && isDigit(entry[at]))
            ++at;
        if (at - start > kMaxOctetDigits) {
            reading.problem = "the game ignores this entry: a number is too long";
            return reading;
        }
        const unsigned long number = std::stoul(std::string(entry.substr(start, at - start)));
        plain = plain && number <= 255;
        filter.value[octet] = static_cast<std::uint8_t>(number % 256);
        filter.mask[octet] = 255;
        if (at == entry.size())
            break;
        const char separator = entry[at];
        ++at;
        // After the fourth octet only a port is expected.
        if (octet == 3) {
            const std::string_view rest = entry.substr(at);
            plain = plain && separator == ':' && !rest.empty() &&
                    rest.find_first_not_of("0123456789") == std::string_view::npos;
        } else {
            plain = plain && separator == '.';
        }
    }
    reading.filter = filter;
    if (!plain)
        reading.problem = "the game reads this entry as " + banFilterText(filter);
    return reading;
}

std::optional<std::array<std::uint8_t, 4>> filterAddress(std::string_view address)
{
    std::array<std::uint8_t, 4> octets{};
    std::size_t at = 0;
    for (std::size_t octet = 0; octet < 4; ++octet) {
        const std::size_t start = at;
        unsigned number = 0;
        while (at < address.size() && isDigit(address[at]) && at - start < 3)
            number = number * 10 + unsigned(address[at++] - '0');
        if (at == start || number > 255)
            return std::nullopt;
        octets[octet] = static_cast<std::uint8_t>(number);
        if (octet < 3) {
            if (at == address.size() || address[at] != '.')
                return std::nullopt;
            ++at;
        }
    }
    if (at != address.size() && address[at] != ':')
        return std::nullopt;
    return octets;
}

bool matches(const BanFilter& filter, const std::array<std::uint8_t, 4>& address)
{
    for (std::size_t i = 0; i < 4; ++i) {
        if ((address[i] & filter.mask[i]) != filter.value[i])
            return false;
    }
    return true;
}

bool isBannedAddress(std::string_view address, const std::vector<std::string>& entries)
{
    const auto octets = filterAddress(address);
    if (!octets)
        return false;
    for (const std::string& entry : entries) {
        const BanEntryReading reading = readBanEntry(entry);
        if (reading.filter && matches(*reading.filter, *octets))
            return true;
    }
    return false;
}

} // namespace varno
