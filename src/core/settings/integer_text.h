#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varno {

// Decimal text of a signed 32-bit integer: optional sign, digits, nothing else. Overflow is not a number.
std::optional<int> parseDecimal(std::string_view text);

// The store's integer reading: text longer than two characters starting with 0x or 0X is hexadecimal
// from its third character on, anything else decimal.
std::optional<int> parseStoredInteger(std::string_view text);

// The conversion that fails loudly: "'%s' is not a valid integer value".
int toIntegerOrThrow(std::string_view text);

std::string toDecimal(int value);

} // namespace varno
