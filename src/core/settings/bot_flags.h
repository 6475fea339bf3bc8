#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varno {

// The bots of the Startup page's bot list, in list order.
const std::vector<std::string>& stockBotNames();

// One "1" or "0" per entry of the bot list.
std::string toBotFlagString(const std::vector<bool>& checked);

// Entry i is checked when the text holds "1" at position i; missing positions are unchecked and
// characters beyond the list are ignored.
std::vector<bool> fromBotFlagString(std::string_view text, std::size_t listSize);

} // namespace varno

namespace varno {

// The name shown for a bot skill level (1 to 5); empty for 0 and any other value.
std::string_view botSkillName(int level);

} // namespace varno
