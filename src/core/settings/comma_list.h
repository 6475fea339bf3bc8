#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varno {

// The text form of the list settings (map rotation, banned addresses).
std::string ToCommaList(const std::vector<std::string>& items);

// Clears items and fills them from text.
void FromCommaList(std::string_view text, std::vector<std::string>& items);

std::vector<std::string> FromCommaList(std::string_view text);

} // namespace varno
