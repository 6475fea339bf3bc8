#include "command_text.h"

#include <algorithm>
#include <cctype>

namespace varno::standin {

namespace {

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

bool startsAt(std::string_view text, std::size_t pos, std::string_view what)
{
    return text.substr(pos, what.size()) == what;
}

bool needsQuotes(std::string_view arg)
{
    if (arg.empty())
        return true;
    for (std::size_t i = 0; i < arg.size(); ++i) {
        if (isBlank(arg[i]) || arg[i] == ';' || startsAt(arg, i, "//") || startsAt(arg, i, "/*"))
            return true;
    }
    return false;
}

} // namespace

std::vector<std::string> tokenizeCommand(std::string_view text)
{
    std::vector<std::string> args;
    std::size_t pos = 0;
    while (true) {
        while (true) {
            while (pos < text.size() && isBlank(text[pos]))
                ++pos;
            if (pos >= text.size() || startsAt(text, pos, "//"))
                return args;
            if (!startsAt(text, pos, "/*"))
                break;
            const std::size_t end = text.find("*/", pos + 2);
            if (end == std::string_view::npos)
                return args;
            pos = end + 2;
        }
        if (text[pos] == '"') {
            const std::size_t end = text.find('"', pos + 1);
            args.emplace_back(
                text.substr(pos + 1, end == std::string_view::npos ? std::string_view::npos : end - pos - 1));
            if (end == std::string_view::npos)
                return args;
            pos = end + 1;
            continue;
        }
        const std::size_t start = pos;
        while (pos < text.size() && !isBlank(text[pos]) && text[pos] != '"' && !startsAt(text, pos, "//") &&
               !startsAt(text, pos, "/*"))
            ++pos;
        args.emplace_back(text.substr(start, pos - start));
    }
}

std::string joinArguments(const std::vector<std::string>& args)
{
    std::string line;
    for (const std::string& arg : args) {
        if (!line.empty())
            line += ' ';
        if (needsQuotes(arg))
            line += '"' + arg + '"';
        else
            line += arg;
    }
    return line;
}

std::string argumentsFrom(const std::vector<std::string>& args, std::size_t first)
{
    std::string text;
    for (std::size_t i = first; i < args.size(); ++i) {
        if (i > first)
            text += ' ';
        text += args[i];
    }
    return text;
}

std::string toLower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && toLower(a) == toLower(b);
}

int toInteger(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long long value = 0;
    for (; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])); ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > 2147483647LL)
            return negative ? -2147483647 - 1 : 2147483647;
    }
    return static_cast<int>(negative ? -value : value);
}

bool isDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool CommandBuffer::append(std::string_view text)
{
    if (m_text.size() + text.size() >= kCapacity)
        return false;
    m_text.append(text);
    return true;
}

bool CommandBuffer::insert(std::string_view text)
{
    if (m_text.size() + text.size() + 1 > kCapacity)
        return false;
    m_text.insert(0, std::string(text) + '\n');
    return true;
}

std::optional<std::string> CommandBuffer::takeCommand()
{
    if (m_text.empty())
        return std::nullopt;
    bool inQuotes = false;
    bool inLineComment = false;
    bool inBlockComment = false;
    std::size_t end = 0;
    for (; end < m_text.size(); ++end) {
        const char c = m_text[end];
        if (c == '\n' || c == '\r') {
            if (!inBlockComment)
                break;
            continue;
        }
        if (inLineComment)
            continue;
        if (inBlockComment) {
            if (startsAt(m_text, end, "*/")) {
                inBlockComment = false;
                ++end;
            }
            continue;
        }
        if (c == '"') {
            inQuotes = !inQuotes;
            continue;
        }
        if (inQuotes)
            continue;
        if (startsAt(m_text, end, "//"))
            inLineComment = true;
        else if (startsAt(m_text, end, "/*"))
            inBlockComment = true;
        else if (c == ';')
            break;
    }
    std::string command = m_text.substr(0, end);
    m_text.erase(0, std::min(end + 1, m_text.size()));
    return command;
}

void CommandBuffer::clear()
{
    m_text.clear();
}

} // namespace varno::standin
