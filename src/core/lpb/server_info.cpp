#include "core/lpb/server_info.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace varno {

namespace {

constexpr std::string_view kConnectionless = "\xff\xff\xff\xff";
constexpr std::string_view kStatusResponse = "statusResponse";
constexpr std::string_view kChallengeKey = "challenge";

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view withoutTrailingBlanks(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// A value may end in a blank, so a line end written as CR LF loses its CR alone.
std::string_view withoutCarriageReturn(std::string_view line)
{
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

// The next line of text, without its line feed; text moves past it.
std::string_view takeLine(std::string_view& text)
{
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return line;
}

bool takeInteger(std::string_view& text, int& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data())
        return false;
    text.remove_prefix(std::size_t(end - text.data()));
    return true;
}

bool skipBlanks(std::string_view& text)
{
    const std::size_t count = std::min(text.find_first_not_of(' '), text.size());
    text.remove_prefix(count);
    return count > 0;
}

// `<score> <ping> "<name>"`, as SVC_Status prints each client.
std::optional<InfoPlayer> readPlayer(std::string_view line)
{
    line = withoutTrailingBlanks(line);
    InfoPlayer player;
    skipBlanks(line);
    if (!takeInteger(line, player.score) || !skipBlanks(line) || !takeInteger(line, player.ping) || !skipBlanks(line))
        return std::nullopt;
    // Names cannot hold a double quote (the engines refuse one in any info value), so the last one closes it.
    if (line.size() < 2 || line.front() != '"' || line.back() != '"')
        return std::nullopt;
    player.name = std::string(line.substr(1, line.size() - 2));
    return player;
}

void readRules(std::string_view info, std::vector<std::pair<std::string, std::string>>& rules)
{
    if (!info.empty() && info.front() == '\\')
        info.remove_prefix(1);
    while (!info.empty()) {
        const std::size_t keyEnd = info.find('\\');
        const std::string_view key = info.substr(0, keyEnd);
        std::string_view value;
        if (keyEnd == std::string_view::npos) {
            info = {};
        } else {
            info.remove_prefix(keyEnd + 1);
            const std::size_t valueEnd = info.find('\\');
            value = info.substr(0, valueEnd);
            info.remove_prefix(valueEnd == std::string_view::npos ? info.size() : valueEnd + 1);
        }
        if (!key.empty() && key != kChallengeKey)
            rules.emplace_back(key, value);
    }
}

} // namespace

bool isStatusResponse(std::string_view datagram)
{
    if (!datagram.starts_with(kConnectionless))
        return false;
    datagram.remove_prefix(kConnectionless.size());
    const std::string_view word = datagram.substr(0, kStatusResponse.size());
    const std::string_view rest = datagram.substr(word.size());
    return equalsIgnoringCase(word, kStatusResponse) && (rest.empty() || rest.front() == '\n' || rest.front() == '\r');
}

std::optional<ServerInfo> parseStatusResponse(std::string_view datagram)
{
    datagram = datagram.substr(0, std::min(datagram.find('\0'), kMaxStatusResponseBytes));
    if (!isStatusResponse(datagram))
        return std::nullopt;
    std::string_view text = datagram.substr(kConnectionless.size());
    takeLine(text);

    ServerInfo info;
    readRules(withoutCarriageReturn(takeLine(text)), info.rules);
    while (!text.empty()) {
        const std::string_view line = takeLine(text);
        if (auto player = readPlayer(line))
            info.players.push_back(std::move(*player));
    }
    return info;
}

std::string withoutColourCodes(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '^' && i + 1 < text.size() && std::isalnum(static_cast<unsigned char>(text[i + 1]))) {
            ++i;
            continue;
        }
        shown += text[i];
    }
    return shown;
}

} // namespace varno
