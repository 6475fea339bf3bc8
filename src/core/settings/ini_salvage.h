#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varno {

// The settings file's shape: no zero bytes, every line blank, a comment, a [section] or a name=value
// pair, and a line break at the end (the file is always written whole).
bool isIniTextSound(std::string_view text);

// What can be kept of a damaged settings file: the sound lines of its sound sections, as they stand. A
// line with a zero byte or without an "=" is dropped; so is everything below a broken section header
// (it would land in the wrong section) until the next sound one, and the last line when the file does
// not end with a line break (it was cut off, and its value may be cut too).
std::string salvageIniText(std::string_view text);

// Why a line cannot be read.
enum class IniLineFault { NoEquals, ZeroByte, CarriageReturn, OpenQuote, NoClosingBracket, CutOff };

// A line that salvaging drops for a fault of its own. The lines below a broken section header go with it.
struct UnreadableIniLine {
    int line = 0; // counted from 1
    IniLineFault fault = IniLineFault::NoEquals;
    bool header = false;
    int lastLineBelow = 0; // a header's: the last line dropped with it (0: none)
    // The line's first word (a value's name, or the header), never its value: the operator finds the line
    // by it, and a notice that quotes it shows no password. Empty when the line starts with a control byte.
    std::string start;

    bool operator==(const UnreadableIniLine&) const = default;
};

// Every line salvageIniText drops for a fault of its own, in file order.
std::vector<UnreadableIniLine> unreadableIniLines(std::string_view text);

} // namespace varno
