#pragma once

#include "core/lpb/player_record.h"

#include <string>
#include <vector>

namespace varno {

// "Name:" + name + "   Ping:" + ping + "   IP:" + address, cut to 155 characters after the name, 163 after
// "   Ping:", 183 after the ping, 189 after "   IP:" and 255 after the address.
std::string lpbLogLine(const PlayerRecord& player);

// The saved LPB log: an RTF document with one paragraph per line, in order. Text is taken as 8-bit Windows-1252;
// bytes above 127 and control characters are written as \'hh, backslashes and braces escaped.
std::string lpbLogRtf(const std::vector<std::string>& lines);

} // namespace varno
