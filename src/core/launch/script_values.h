#pragma once

#include <string_view>

namespace varno {

// Every line of the server script and of the map-list files ends so, the last one included.
inline constexpr std::string_view kScriptLineEnd = "\r\n";

// Checks for operator text placed into game console commands. The game splits a line into commands at
// semicolons outside double quotes, ends a bare word at a blank, and treats // and /* outside quotes as
// comments (/* runs on across lines); text that holds these would escape the place it was written into.
// Each check throws VarnoError naming the field.

// A value written between double quotes, such as the server name: no double quote, CR or LF.
void checkQuotedValue(std::string_view value, std::string_view fieldName);

// A value written as one bare word, such as a password: no blank or other control character, semicolon,
// double quote, // or /*.
void checkBareValue(std::string_view value, std::string_view fieldName);

// A map name of the rotation, which is run as part of a quoted command at each map change: no semicolon,
// double quote, CR, LF, // or /*. Blanks are allowed: a name is written as it stands.
void checkRotationMapName(std::string_view mapName);

} // namespace varno
