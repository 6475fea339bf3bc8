#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varno {

// The settings file's text, read and changed one value at a time; every other line stays as it stands, so
// hand edits and comments survive the program's writes. Values before the first section header, and those
// of the [General] header, belong to the General section.
//
// A value line that the program (or an earlier build of it) wrote holds the value in the file's escaped
// form: quoted when it holds ";", "," or "=" or starts or ends with a blank, with backslash escapes for
// quotes, backslashes and control characters, and a text beginning with "@" written with "@@". Such a line
// reads back as the value written. Any other value line is a hand edit and reads as the text after its
// "=", blanks around it dropped: commas, quotes, semicolons and inner blanks kept.

// The value, or nothing when the section or value is missing (or written as "@Invalid()"). Throws VarnoError
// "Invalid data type for '%s'" for a value the file's format marks as another type (a "@ByteArray(...)",
// "@Variant(...)" and the like).
std::optional<std::string> iniValue(std::string_view text, std::string_view section, std::string_view name);

// The text with the value set: its last line replaced, or a line added at the end of the section (the
// section added at the end of the text when missing).
std::string withIniValue(std::string_view text, std::string_view section, std::string_view name,
                         std::string_view value);

// The text without the section's header and lines (every occurrence of it).
std::string withoutIniSection(std::string_view text, std::string_view section);

// The names of the values the text holds, as "Section/Name", in file order, each once.
std::vector<std::string> iniValueNames(std::string_view text);

// A value in the escaped form that the file's writers (this program's, and QSettings') use.
std::string iniEscapedValue(std::string_view value);

} // namespace varno
