#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace varno {

// The longest value the game keeps in its g_banIPs setting.
inline constexpr std::size_t kMaxBanIpsLength = 255;

// The text between the double quotes of the script's g_banIPs line for the entries of the ban list.
// The game takes an entry only when a blank follows it and matches addresses without a port, so each
// entry is written once, without a ":port" suffix, followed by one blank. Blanks around an entry are
// dropped and entries left empty are skipped; an empty list gives empty text.
// Throws VarnoError for an entry with a blank or double quote inside it, and for a value longer than
// kMaxBanIpsLength.
std::string banIpsValue(const std::vector<std::string>& entries);

} // namespace varno
