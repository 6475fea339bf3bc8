#include "core/settings/ini_salvage.h"

#include <algorithm>
#include <vector>

namespace varno {

namespace {

enum class LineKind { Blank, Comment, Section, BrokenSection, Value, Broken };

std::string_view trimmed(std::string_view line)
{
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

// A line in the file's escaped form: a backslash takes the next character as it is, double quotes enclose
// text (an "=" or ";" in it too), and a semicolon outside them starts a comment.
struct LineScan {
    std::size_t end = 0;                         // where a comment begins, or the line's length
    std::size_t equals = std::string_view::npos; // the "=" that ends the name
    bool quoteOpen = false;                      // a double quote left open, which runs on into the next lines
};

LineScan scan(std::string_view text)
{
    LineScan result;
    bool quoted = false;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\')
            ++i;
        else if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == ';')
            break;
        else if (c == '=' && result.equals == std::string_view::npos)
            result.equals = i;
    }
    result.end = std::min(i, text.size());
    result.quoteOpen = quoted;
    return result;
}

// A line's kind and, for a broken one, why it cannot be read.
struct LineRead {
    LineKind kind = LineKind::Blank;
    IniLineFault fault = IniLineFault::NoEquals;
};

LineRead readLine(std::string_view line)
{
    if (line.find('\0') != std::string_view::npos)
        return {line.find_first_of("[") == 0 ? LineKind::BrokenSection : LineKind::Broken, IniLineFault::ZeroByte};
    const std::string_view text = trimmed(line);
    if (text.empty())
        return {LineKind::Blank};
    const bool section = text.front() == '[';
    const LineKind broken = section ? LineKind::BrokenSection : LineKind::Broken;
    // A lone CR ends a line for other INI readers (and earlier builds), which would cut this one.
    if (text.find('\r') != std::string_view::npos)
        return {broken, IniLineFault::CarriageReturn};
    if (text.front() == ';' || text.front() == '#')
        return {LineKind::Comment};
    const LineScan read = scan(text);
    // A value edited by hand reads as written, an unmatched quote and all; a header must be whole.
    if (read.quoteOpen && (section || read.equals == std::string_view::npos))
        return {broken, IniLineFault::OpenQuote};
    if (section) {
        if (trimmed(text.substr(0, read.end)).back() == ']')
            return {LineKind::Section};
        return {LineKind::BrokenSection, IniLineFault::NoClosingBracket};
    }
    if (read.equals == std::string_view::npos)
        return {LineKind::Broken, IniLineFault::NoEquals};
    return {LineKind::Value};
}

std::vector<std::string_view> linesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// What salvaging makes of one line.
struct LineFate {
    std::string_view text;
    LineRead read;
    bool kept = false;
    bool belowBrokenHeader = false;
    bool cutOff = false;
};

std::vector<LineFate> fatesOf(std::string_view text)
{
    const std::vector<std::string_view> lines = linesOf(text);
    const bool cut = !text.empty() && text.back() != '\n';
    std::vector<LineFate> fates;
    bool inBrokenSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        LineFate fate{lines[i], readLine(lines[i])};
        if (cut && i + 1 == lines.size()) {
            fate.cutOff = true;
        } else if (fate.read.kind == LineKind::Section) {
            inBrokenSection = false;
            fate.kept = true;
        } else if (fate.read.kind == LineKind::BrokenSection) {
            inBrokenSection = true;
        } else {
            fate.belowBrokenHeader = inBrokenSection;
            fate.kept = !inBrokenSection && fate.read.kind != LineKind::Broken;
        }
        fates.push_back(fate);
    }
    return fates;
}

// The start of a line that names it without showing a value: a header as far as it goes, else the text
// before the first blank, "=", quote or ";". Stops at control bytes and never cuts a UTF-8 sequence.
std::string startOf(std::string_view line, bool header)
{
    constexpr std::size_t kLongest = 32;
    const std::string_view text = trimmed(line);
    std::size_t end = 0;
    for (; end < text.size() && end < kLongest; ++end) {
        const auto c = static_cast<unsigned char>(text[end]);
        if (c < 0x20 || c == 0x7f)
            break;
        if (!header && (c == ' ' || c == '=' || c == '"' || c == ';'))
            break;
    }
    while (end > 0 && end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end));
}

} // namespace

bool isIniTextSound(std::string_view text)
{
    // The settings file is always written whole, ending with a line break; without one it was cut off.
    if (!text.empty() && text.back() != '\n')
        return false;
    for (const std::string_view line : linesOf(text)) {
        const LineKind kind = readLine(line).kind;
        if (kind == LineKind::Broken || kind == LineKind::BrokenSection)
            return false;
    }
    return true;
}

std::string salvageIniText(std::string_view text)
{
    std::string kept;
    for (const LineFate& fate : fatesOf(text)) {
        if (!fate.kept)
            continue;
        kept.append(fate.text);
        kept += '\n';
    }
    return kept;
}

std::vector<UnreadableIniLine> unreadableIniLines(std::string_view text)
{
    std::vector<UnreadableIniLine> unreadable;
    int number = 0;
    for (const LineFate& fate : fatesOf(text)) {
        ++number;
        const bool header = fate.read.kind == LineKind::Section || fate.read.kind == LineKind::BrokenSection;
        if (fate.cutOff) {
            unreadable.push_back({number, IniLineFault::CutOff, header, 0, startOf(fate.text, header)});
        } else if (fate.belowBrokenHeader) {
            // Lost with the header above it; blank lines and notes lose nothing.
            if (fate.read.kind == LineKind::Value || fate.read.kind == LineKind::Broken)
                unreadable.back().lastLineBelow = number;
        } else if (fate.read.kind == LineKind::Broken || fate.read.kind == LineKind::BrokenSection) {
            unreadable.push_back({number, fate.read.fault, header, 0, startOf(fate.text, header)});
        }
    }
    return unreadable;
}

} // namespace varno
