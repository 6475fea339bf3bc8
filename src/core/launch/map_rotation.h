#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace varno {

// The line that starts the first map of the rotation chain.
inline constexpr std::string_view kRotationStartLine = "vstr maps0";

// The rotation line for the entry at index (from 0), without a line end:
// set maps<index> "map <mapName>; set nextmap vstr maps<index + 1>"
// The chain is left open at its end, as the game's own map-list files are; the name is written as it
// stands (checkRotationMapName is the caller's guard).
std::string rotationLine(std::size_t index, std::string_view mapName);

} // namespace varno
