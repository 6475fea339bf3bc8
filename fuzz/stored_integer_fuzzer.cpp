// The store's integer reading (ReadInteger, ReadBool) against a plain reference: decimal text with an
// optional sign, or 0x/0X and hexadecimal digits for the 32-bit pattern; nothing else is a number.

#include "core/app/varno_error.h"
#include "core/settings/integer_text.h"
#include "core/settings/settings_store.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace varno;

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// Digits of one base, at least one; nullopt once the value passes limit.
std::optional<std::int64_t> referenceDigits(std::string_view digits, int base, std::int64_t limit)
{
    if (digits.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : digits) {
        const int digit = digitValue(c);
        if (digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

std::optional<int> referenceDecimal(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const auto magnitude = referenceDigits(text, 10, negative ? 2147483648LL : 2147483647LL);
    if (!magnitude)
        return std::nullopt;
    return static_cast<int>(negative ? -*magnitude : *magnitude);
}

std::optional<int> referenceStoredInteger(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const auto bits = referenceDigits(text.substr(2), 16, 0xFFFFFFFFLL);
        if (!bits)
            return std::nullopt;
        return static_cast<int>(static_cast<std::uint32_t>(*bits));
    }
    return referenceDecimal(text);
}

// A store holding one value, so that ReadInteger and ReadBool read exactly the fuzz text.
class OneValueStore : public SettingsStore {
public:
    explicit OneValueStore(std::string_view text)
        : m_text(text)
    {
    }

protected:
    std::optional<std::string> readValue(std::string_view, std::string_view) override { return m_text; }
    void writeValue(std::string_view, std::string_view, std::string_view) override {}
    void eraseSection(std::string_view) override {}

private:
    std::string m_text;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::optional<int> decimal = parseDecimal(text);
    VARNO_FUZZ_REQUIRE(decimal == referenceDecimal(text));
    VARNO_FUZZ_REQUIRE(parseStoredInteger(text) == referenceStoredInteger(text));

    try {
        const int value = toIntegerOrThrow(text);
        VARNO_FUZZ_REQUIRE(decimal && value == *decimal);
    } catch (const VarnoError& error) {
        VARNO_FUZZ_REQUIRE(!decimal);
        // what() is C text: the message as shown ends at a zero byte of the text.
        const std::string message = "'" + std::string(text) + "' is not a valid integer value";
        VARNO_FUZZ_REQUIRE(error.what() == message.substr(0, message.find('\0')));
    }

    // Stored text ends at its first zero byte; text that is not a number reads as the default.
    OneValueStore store(text);
    const auto stored = referenceStoredInteger(text.substr(0, text.find('\0')));
    for (const int defaultValue : {0, 1, -7}) {
        VARNO_FUZZ_REQUIRE(store.ReadInteger("Section", "Value", defaultValue) == stored.value_or(defaultValue));
        VARNO_FUZZ_REQUIRE(store.ReadBool("Section", "Value", defaultValue != 0) ==
                           (stored.value_or(defaultValue) != 0));
    }

    // What the store writes for a number reads back as that number.
    if (size >= sizeof(std::int32_t)) {
        std::int32_t value = 0;
        std::memcpy(&value, data, sizeof value);
        VARNO_FUZZ_REQUIRE(parseDecimal(toDecimal(value)) == value);
        VARNO_FUZZ_REQUIRE(parseStoredInteger(toDecimal(value)) == value);
    }
    return 0;
}
