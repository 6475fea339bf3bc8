#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace varno {

// The key code of a braced key name such as "ENTER" or "f5": the name is cut to its first 7 characters,
// upper-cased (ASCII letters only) and compared with each table name in table order.
std::optional<std::uint8_t> LookupKeyName(std::string_view name);

// Whether a key pressed under a pending Alt (and no Ctrl) is sent as a system key message.
bool isSystemKey(std::uint32_t keyCode);

} // namespace varno
