#pragma once

#include <string>
#include <string_view>

namespace varno {

// The settings file's shape: no zero bytes, every line blank, a comment, a [section] or a name=value
// pair, and a line break at the end (the file is always written whole).
bool isIniTextSound(std::string_view text);

// What can be kept of a damaged settings file: the sound lines of its sound sections, as they stand. A
// line with a zero byte or without an "=" is dropped; so is everything below a broken section header
// (it would land in the wrong section) until the next sound one, and the last line when the file does
// not end with a line break (it was cut off, and its value may be cut too).
std::string salvageIniText(std::string_view text);

} // namespace varno
