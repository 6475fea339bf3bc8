#include "core/lpb/lpb_log.h"

#include <string_view>

namespace varno {

namespace {

constexpr std::string_view kRtfStart = "{\\rtf1\\ansi\\ansicpg1252\\deff0"
                                       "{\\fonttbl{\\f0\\fmodern\\fcharset0 Courier New;}}\r\n"
                                       "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
constexpr std::string_view kRtfParagraphEnd = "\\par\r\n";
constexpr std::string_view kRtfEnd = "}\r\n";

void appendCut(std::string& line, std::string_view piece, std::size_t limit)
{
    line.append(piece);
    if (line.size() > limit)
        line.resize(limit);
}

void appendRtfText(std::string& out, std::string_view text)
{
    constexpr char kHex[] = "0123456789abcdef";
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += c;
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (code < 0x20 || code > 0x7f) {
            out += "\\'";
            out += kHex[code >> 4];
            out += kHex[code & 0x0f];
        } else {
            out += c;
        }
    }
}

} // namespace

std::string lpbLogLine(const PlayerRecord& player)
{
    std::string line;
    appendCut(line, "Name:", 155);
    appendCut(line, player.name, 155);
    appendCut(line, "   Ping:", 163);
    appendCut(line, player.ping, 183);
    appendCut(line, "   IP:", 189);
    appendCut(line, player.address, 255);
    return line;
}

std::string lpbLogRtf(const std::vector<std::string>& lines)
{
    std::string rtf(kRtfStart);
    for (const auto& line : lines) {
        appendRtfText(rtf, line);
        rtf += kRtfParagraphEnd;
    }
    rtf += kRtfEnd;
    return rtf;
}

} // namespace varno
