#include "core/settings/integer_text.h"

#include "core/app/varno_error.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace varno {

namespace {

constexpr std::string_view kNotAnInteger = "'%s' is not a valid integer value";

std::optional<int> parseDigits(std::string_view digits, int base, bool negative)
{
    if (digits.empty())
        return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    const std::uint64_t limit = negative ? std::uint64_t(std::numeric_limits<int>::max()) + 1
                                         : std::uint64_t(std::numeric_limits<int>::max());
    if (magnitude > limit)
        return std::nullopt;
    return negative ? int(-std::int64_t(magnitude)) : int(magnitude);
}

} // namespace

std::optional<int> parseDecimal(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars would accept a second sign; digits only from here.
    if (!text.empty() && (text.front() < '0' || text.front() > '9'))
        return std::nullopt;
    return parseDigits(text, 10, negative);
}

std::optional<int> parseStoredInteger(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const std::string_view hex = text.substr(2);
        // Hexadecimal text is the bit pattern of the 32-bit value, as the registry tools write it.
        if (hex.front() == '-' || hex.front() == '+')
            return std::nullopt;
        std::uint64_t bits = 0;
        const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), bits, 16);
        if (error != std::errc() || end != hex.data() + hex.size() || bits > 0xFFFFFFFFu)
            return std::nullopt;
        return static_cast<int>(static_cast<std::uint32_t>(bits));
    }
    return parseDecimal(text);
}

int toIntegerOrThrow(std::string_view text)
{
    if (const auto value = parseDecimal(text))
        return *value;
    throw VarnoError(formatMessage(kNotAnInteger, text));
}

std::string toDecimal(int value)
{
    return std::to_string(value);
}

} // namespace varno
