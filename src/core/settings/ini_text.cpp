#include "core/settings/ini_text.h"

#include "core/app/varno_error.h"
#include "core/settings/settings_store.h"

#include <algorithm>
#include <array>

namespace varno {

namespace {

constexpr std::string_view kGeneral = "General";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (isBlank(text.front()) || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// One line of the text, without its line feed, and what it is.
struct Line {
    std::size_t begin = 0;    // offset of the line in the text
    std::size_t end = 0;      // offset past its line feed (or the text's end)
    std::string_view content; // without the line feed
    std::string_view section; // the section it belongs to (a header line: its own)
    bool header = false;
    std::string_view name;  // a value line's name; empty otherwise
    std::string_view value; // a value line's text after "=", blanks around it dropped
};

std::vector<Line> linesOf(std::string_view text)
{
    std::vector<Line> lines;
    std::string_view section = kGeneral;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t feed = text.find('\n', pos);
        Line line;
        line.begin = pos;
        line.end = feed == std::string_view::npos ? text.size() : feed + 1;
        line.content = text.substr(pos, (feed == std::string_view::npos ? text.size() : feed) - pos);
        const std::string_view bare = trimmed(line.content);
        if (!bare.empty() && bare.front() == '[' && bare.find(']') != std::string_view::npos) {
            line.header = true;
            section = trimmed(bare.substr(1, bare.find(']') - 1));
        } else if (const auto equals = bare.find('='); equals != std::string_view::npos && bare.front() != ';') {
            line.name = trimmed(bare.substr(0, equals));
            line.value = trimmed(bare.substr(equals + 1));
        }
        line.section = section;
        lines.push_back(line);
        pos = line.end;
    }
    return lines;
}

void appendUtf8(std::string& out, unsigned code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The escaped form read back: quotes enclose text, backslash escapes stand for their characters, blanks at
// the start, after a closing quote and at the end of unquoted text go. An unquoted comma makes a list,
// which the program never writes for a value; the caller takes such a line for a hand edit.
struct Unescaped {
    std::string text;
    bool list = false;
};

Unescaped unescaped(std::string_view raw)
{
    Unescaped out;
    static constexpr std::array<std::pair<char, char>, 11> kNamed{{{'a', '\a'},
                                                                   {'b', '\b'},
                                                                   {'f', '\f'},
                                                                   {'n', '\n'},
                                                                   {'r', '\r'},
                                                                   {'t', '\t'},
                                                                   {'v', '\v'},
                                                                   {'"', '"'},
                                                                   {'?', '?'},
                                                                   {'\'', '\''},
                                                                   {'\\', '\\'}}};
    std::size_t i = 0;
    bool inQuotes = false;
    bool quoted = false;
    std::size_t chopLimit = 0;
    const auto skipBlanks = [&] {
        while (i < raw.size() && isBlank(raw[i]))
            ++i;
        chopLimit = out.text.size();
    };
    const auto chopTrailingBlanks = [&] {
        while (out.text.size() > chopLimit && isBlank(out.text.back()))
            out.text.pop_back();
    };
    skipBlanks();
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '\\') {
            if (++i >= raw.size())
                return out;
            const char e = raw[i++];
            const auto named = std::find_if(kNamed.begin(), kNamed.end(), [e](const auto& n) { return n.first == e; });
            if (named != kNamed.end()) {
                out.text += named->second;
            } else if (e == 'x' || (e >= '0' && e <= '7')) {
                const int base = e == 'x' ? 16 : 8;
                unsigned code = e == 'x' ? 0 : unsigned(e - '0');
                bool any = e != 'x';
                while (i < raw.size()) {
                    const int digit = hexValue(raw[i]);
                    if (digit < 0 || digit >= base)
                        break;
                    code = (code * unsigned(base) + unsigned(digit)) & 0xFFFF;
                    any = true;
                    ++i;
                }
                if (any)
                    appendUtf8(out.text, code);
            }
            chopLimit = out.text.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
        } else if (c == ',' && !inQuotes) {
            if (!quoted)
                chopTrailingBlanks();
            out.list = true;
            out.text.clear();
            quoted = false;
            ++i;
            skipBlanks();
        } else {
            std::size_t j = i + 1;
            while (j < raw.size() && raw[j] != '\\' && raw[j] != '"' && raw[j] != ',')
                ++j;
            out.text.append(raw.substr(i, j - i));
            i = j;
        }
    }
    if (!quoted)
        chopTrailingBlanks();
    return out;
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// Values the file's format gives another type than text.
bool isTypedValue(std::string_view text)
{
    if (text.empty() || text.back() != ')')
        return false;
    for (const std::string_view prefix :
         {"@ByteArray(", "@String(", "@Variant(", "@DateTime(", "@Rect(", "@Size(", "@Point("}) {
        if (startsWith(text, prefix))
            return true;
    }
    return false;
}

const Line* lastValueLine(const std::vector<Line>& lines, std::string_view section, std::string_view name)
{
    const Line* found = nullptr;
    for (const Line& line : lines) {
        if (!line.header && line.section == section && line.name == name)
            found = &line;
    }
    return found;
}

// New lines end as the file's first line does.
std::string_view lineFeedOf(std::string_view text)
{
    const auto feed = text.find('\n');
    return feed != std::string_view::npos && feed > 0 && text[feed - 1] == '\r' ? "\r\n" : "\n";
}

} // namespace

std::string iniEscapedValue(std::string_view value)
{
    // A text that begins with "@" would read as a typed value: it is marked with a second "@".
    const std::string text = (startsWith(value, "@") ? "@" : "") + std::string(value);
    std::string out;
    bool needsQuotes = false;
    bool escapeNextIfHexDigit = false; // after \0 or \xN, so that a following digit does not join the escape
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (c == ';' || c == ',' || c == '=')
            needsQuotes = true;
        if (escapeNextIfHexDigit && hexValue(c) >= 0) {
            out += "\\x";
            out += std::string(1, "0123456789abcdef"[code >> 4]) + "0123456789abcdef"[code & 0xF];
            continue;
        }
        escapeNextIfHexDigit = false;
        switch (c) {
        case '\0':
            out += "\\0";
            escapeNextIfHexDigit = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += c;
            break;
        default:
            if (code <= 0x1F) {
                out += "\\x";
                if (code >= 0x10)
                    out += "0123456789abcdef"[code >> 4];
                out += "0123456789abcdef"[code & 0xF];
                escapeNextIfHexDigit = true;
            } else {
                out += c;
            }
        }
    }
    if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' ')))
        return '"' + out + '"';
    return out;
}

std::optional<std::string> iniValue(std::string_view text, std::string_view section, std::string_view name)
{
    const std::vector<Line> lines = linesOf(text);
    const Line* line = lastValueLine(lines, section, name);
    if (!line)
        return std::nullopt;
    const Unescaped read = unescaped(line->value);
    if (!read.list) {
        if (read.text == "@Invalid()")
            return std::nullopt;
        if (isTypedValue(read.text))
            throw VarnoError(formatMessage(kInvalidDataType, name));
        // Written by the program: the escaped form of what it reads as.
        if (iniEscapedValue(startsWith(read.text, "@@") ? read.text.substr(1) : read.text) == line->value)
            return startsWith(read.text, "@@") ? read.text.substr(1) : read.text;
    }
    return std::string(line->value);
}

std::string withIniValue(std::string_view text, std::string_view section, std::string_view name, std::string_view value)
{
    const std::vector<Line> lines = linesOf(text);
    const std::string_view feed = lineFeedOf(text);
    const std::string newLine = std::string(name) + '=' + iniEscapedValue(value);
    std::string result(text);
    if (const Line* line = lastValueLine(lines, section, name)) {
        const std::size_t contentEnd = line->begin + line->content.size();
        const bool crlf = !line->content.empty() && line->content.back() == '\r';
        result.replace(line->begin, contentEnd - line->begin, newLine + (crlf ? "\r" : ""));
        return result;
    }
    // After the last line of the section that is not blank (its header at least).
    const Line* last = nullptr;
    for (const Line& line : lines) {
        if (line.section == section && (line.header || !trimmed(line.content).empty()))
            last = &line;
    }
    if (!last && section == kGeneral && !lines.empty() && !lines.front().header) {
        result.insert(0, newLine + std::string(feed));
        return result;
    }
    if (last) {
        std::string insert = newLine + std::string(feed);
        std::size_t at = last->end;
        if (at == result.size() && !result.empty() && result.back() != '\n')
            insert = std::string(feed) + newLine + std::string(feed);
        result.insert(at, insert);
        return result;
    }
    const std::string block = '[' + std::string(section) + ']' + std::string(feed) + newLine + std::string(feed);
    // The General section leads the file, as QSettings writes it.
    if (section == kGeneral)
        return result.empty() ? block : block + std::string(feed) + result;
    if (!result.empty() && result.back() != '\n')
        result += feed;
    if (!result.empty())
        result += feed;
    return result + block;
}

std::string withoutIniSection(std::string_view text, std::string_view section)
{
    std::string result;
    for (const Line& line : linesOf(text)) {
        if (line.section != section)
            result.append(text.substr(line.begin, line.end - line.begin));
    }
    return result;
}

std::vector<std::string> iniValueNames(std::string_view text)
{
    std::vector<std::string> names;
    for (const Line& line : linesOf(text)) {
        if (line.header || line.name.empty())
            continue;
        std::string name = std::string(line.section) + '/' + std::string(line.name);
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(std::move(name));
    }
    return names;
}

} // namespace varno
