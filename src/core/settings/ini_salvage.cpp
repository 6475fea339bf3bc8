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

LineKind kindOf(std::string_view line)
{
    if (line.find('\0') != std::string_view::npos)
        return line.find_first_of("[") == 0 ? LineKind::BrokenSection : LineKind::Broken;
    const std::string_view text = trimmed(line);
    if (text.empty())
        return LineKind::Blank;
    const bool section = text.front() == '[';
    // A lone CR ends a line for other INI readers (and earlier builds), which would cut this one.
    if (text.find('\r') != std::string_view::npos)
        return section ? LineKind::BrokenSection : LineKind::Broken;
    if (text.front() == ';' || text.front() == '#')
        return LineKind::Comment;
    const LineScan read = scan(text);
    // A value edited by hand reads as written, an unmatched quote and all; a header must be whole.
    if (read.quoteOpen && (section || read.equals == std::string_view::npos))
        return section ? LineKind::BrokenSection : LineKind::Broken;
    if (section)
        return trimmed(text.substr(0, read.end)).back() == ']' ? LineKind::Section : LineKind::BrokenSection;
    return read.equals != std::string_view::npos ? LineKind::Value : LineKind::Broken;
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

} // namespace

bool isIniTextSound(std::string_view text)
{
    // The settings file is always written whole, ending with a line break; without one it was cut off.
    if (!text.empty() && text.back() != '\n')
        return false;
    for (const std::string_view line : linesOf(text)) {
        const LineKind kind = kindOf(line);
        if (kind == LineKind::Broken || kind == LineKind::BrokenSection)
            return false;
    }
    return true;
}

std::string salvageIniText(std::string_view text)
{
    std::vector<std::string_view> lines = linesOf(text);
    if (!text.empty() && text.back() != '\n' && !lines.empty())
        lines.pop_back();
    std::string kept;
    bool inBrokenSection = false;
    for (const std::string_view line : lines) {
        switch (kindOf(line)) {
        case LineKind::Section:
            inBrokenSection = false;
            break;
        case LineKind::BrokenSection:
            inBrokenSection = true;
            continue;
        case LineKind::Broken:
            continue;
        case LineKind::Blank:
        case LineKind::Comment:
        case LineKind::Value:
            if (inBrokenSection)
                continue;
            break;
        }
        kept.append(line);
        kept += '\n';
    }
    return kept;
}

} // namespace varno
