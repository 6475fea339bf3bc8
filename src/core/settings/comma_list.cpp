#include "core/settings/comma_list.h"

namespace varno {

namespace {

bool isBlankOrControl(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

bool needsQuotes(std::string_view item)
{
    for (const char c : item) {
        if (isBlankOrControl(c) || c == '"' || c == ',')
            return true;
    }
    return false;
}

void appendQuoted(std::string& out, std::string_view item)
{
    out += '"';
    for (const char c : item) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

std::string ToCommaList(const std::vector<std::string>& items)
{
    if (items.size() == 1 && items.front().empty())
        return "\"\"";
    std::string out;
    for (const auto& item : items) {
        if (needsQuotes(item))
            appendQuoted(out, item);
        else
            out += item;
        out += ',';
    }
    if (!out.empty())
        out.pop_back();
    return out;
}

void FromCommaList(std::string_view text, std::vector<std::string>& items)
{
    items.clear();
    // The text ends at its first zero byte, as stored text does.
    text = text.substr(0, text.find('\0'));
    std::size_t pos = 0;
    const auto skipBlanks = [&] {
        while (pos < text.size() && isBlankOrControl(text[pos]))
            ++pos;
    };
    skipBlanks();
    while (pos < text.size()) {
        std::string item;
        if (text[pos] == '"') {
            ++pos;
            while (pos < text.size()) {
                if (text[pos] == '"') {
                    if (pos + 1 < text.size() && text[pos + 1] == '"') {
                        item += '"';
                        pos += 2;
                        continue;
                    }
                    ++pos; // closing quote
                    break;
                }
                item += text[pos++];
            }
        } else {
            while (pos < text.size() && text[pos] != ',' && !isBlankOrControl(text[pos]))
                item += text[pos++];
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (pos < text.size() && text[pos] == ',') {
            ++pos;
            skipBlanks();
        }
    }
}

std::vector<std::string> FromCommaList(std::string_view text)
{
    std::vector<std::string> items;
    FromCommaList(text, items);
    return items;
}

} // namespace varno
