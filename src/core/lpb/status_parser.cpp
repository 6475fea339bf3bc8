#include "core/lpb/status_parser.h"

#include "core/app/varno_error.h"
#include "core/settings/integer_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace varno {

namespace {

constexpr std::string_view kNotAnInteger = "'%s' is not a valid integer value";
constexpr std::string_view kMapPrefix = "map: ";
constexpr std::string_view kClassicHeaderStart = "num score ping name";
constexpr std::string_view kModernHeaderStart = "cl score ping name";
constexpr std::string_view kIoquake3Header =
    "cl score ping name            address                                 rate ";
constexpr std::string_view kWhite = "^7";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (const char c : text) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

bool isSignedDigits(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    return isDigits(text);
}

bool hasControlCharacters(std::string_view text)
{
    // Eight bytes at a time: a byte below 0x20 borrows in the subtraction and keeps its top bit clear.
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kTops = 0x8080808080808080ull;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        if (((word - kOnes * 0x20) & ~word & kTops) != 0)
            return true;
    }
    for (; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) < 0x20)
            return true;
    }
    return false;
}

// substr without its range check, which the hot loops need not pay for: pos is never past the end.
std::string_view slice(std::string_view text, std::size_t pos, std::size_t count = std::string_view::npos)
{
    return {text.data() + pos, std::min(count, text.size() - pos)};
}

// Columns are padded with long blank runs: they are stepped over eight at a time.
constexpr std::string_view kEightBlanks = "        ";

std::string_view trimRight(std::string_view text)
{
    while (text.ends_with(kEightBlanks))
        text.remove_suffix(kEightBlanks.size());
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// Splits text at line feeds (a CR before one is dropped); a last line without its line feed is incomplete.
class LineReader {
public:
    explicit LineReader(std::string_view text)
        : m_rest(text)
    {
    }

    struct Line {
        std::string_view text;
        bool complete = false;
    };

    std::optional<Line> next()
    {
        if (m_rest.empty())
            return std::nullopt;
        Line line;
        const auto end = m_rest.find('\n');
        if (end == std::string_view::npos) {
            line.text = m_rest;
            m_rest = {};
        } else {
            line.text = slice(m_rest, 0, end);
            line.complete = true;
            m_rest.remove_prefix(end + 1);
        }
        if (!line.text.empty() && line.text.back() == '\r')
            line.text.remove_suffix(1);
        return line;
    }

private:
    std::string_view m_rest;
};

StatusLayout layoutOfHeader(std::string_view line)
{
    if (line.starts_with(kClassicHeaderStart))
        return StatusLayout::Classic;
    if (line == kIoquake3Header)
        return StatusLayout::Ioquake3;
    if (line.starts_with(kModernHeaderStart))
        return StatusLayout::Quake3e;
    return StatusLayout::Unknown;
}

bool isSeparator(std::string_view line)
{
    if (line.empty() || line.front() != '-')
        return false;
    for (const char c : line) {
        if (c != '-' && c != ' ')
            return false;
    }
    return true;
}

enum class Marker { None, Zombie, Connecting };

Marker markerOf(std::string_view ping)
{
    // Most rows hold a number here: one look settles those.
    if (!ping.empty() && isDigit(ping.front()))
        return Marker::None;
    // MBI and NCT are what is left when a row loses its first character.
    if (ping == "ZMBI" || ping == "MBI" || ping == "ZMB")
        return Marker::Zombie;
    if (ping == "CNCT" || ping == "NCT" || ping == "CON" || ping == "PRM")
        return Marker::Connecting;
    return Marker::None;
}

// Walks a row from the left over blank-separated tokens.
class RowCursor {
public:
    RowCursor(std::string_view row, std::size_t pos)
        : m_row(row)
        , m_pos(pos)
    {
    }

    void skipBlanks()
    {
        while (rest().starts_with(kEightBlanks))
            m_pos += kEightBlanks.size();
        while (m_pos < m_row.size() && m_row[m_pos] == ' ')
            ++m_pos;
    }

    std::string_view token()
    {
        const auto start = m_pos;
        while (m_pos < m_row.size() && m_row[m_pos] != ' ')
            ++m_pos;
        return slice(m_row, start, m_pos - start);
    }

    bool skipOneBlank()
    {
        if (m_pos >= m_row.size() || m_row[m_pos] != ' ')
            return false;
        ++m_pos;
        return true;
    }

    std::string_view rest() const { return slice(m_row, m_pos); }

private:
    std::string_view m_row;
    std::size_t m_pos;
};

struct LastToken {
    std::string_view before; // everything in front of the token, the separating blank included
    std::string_view token;
    bool digits = false; // the token is all digits, found in the same pass
};

// False when text holds only blanks. Filled in place: the rows' hot loop has no optional to copy.
bool splitLastToken(std::string_view text, LastToken& last)
{
    text = trimRight(text);
    if (text.empty())
        return false;
    std::size_t start = text.size();
    bool digits = true;
    while (start > 0 && text[start - 1] != ' ') {
        digits = digits && isDigit(text[start - 1]);
        --start;
    }
    last = {slice(text, 0, start), slice(text, start), digits};
    return true;
}

struct NameAndAddress {
    std::string_view name;
    std::string_view address;
};

// Classic tail: name, "^7", padding, lastmsg, address, then qport and rate (which rows may lack).
bool readClassicTail(std::string_view text, NameAndAddress& fields)
{
    LastToken last;
    bool found = splitLastToken(text, last);
    for (int skipped = 0; found && last.digits && skipped < 2; ++skipped)
        found = splitLastToken(last.before, last);
    if (!found || last.digits || last.before.empty())
        return false;
    const std::string_view address = last.token;

    const std::string_view beforeAddress = trimRight(last.before);
    std::size_t end = beforeAddress.size();
    while (end > 0 && isDigit(beforeAddress[end - 1]))
        --end;
    // A name of 16 bytes or more leaves no padding: the digit of its closing "^7" may touch lastmsg.
    if (end > 0 && end < beforeAddress.size() && beforeAddress[end - 1] == '^' && beforeAddress[end] == '7')
        ++end;
    if (end == beforeAddress.size())
        return false; // no lastmsg column
    if (end > 0 && beforeAddress[end - 1] == '-')
        --end;
    const std::string_view name = trimRight(slice(beforeAddress, 0, end));
    if (!name.ends_with(kWhite))
        return false;
    fields = {name, address};
    return true;
}

// ioquake3 tail: name, padding, "^7" glued to the address, padding, rate.
// Quake3e tail: name padded to its column, "^7 ", the address padded to its column, rate.
bool readModernTail(std::string_view text, NameAndAddress& fields)
{
    LastToken last;
    bool found = splitLastToken(text, last);
    if (found && last.digits)
        found = splitLastToken(last.before, last);
    if (!found || last.before.empty())
        return false;
    if (last.token.starts_with(kWhite)) {
        fields.address = slice(last.token, kWhite.size());
        fields.name = trimRight(last.before);
    } else {
        const std::string_view beforeAddress = trimRight(last.before);
        if (!beforeAddress.ends_with(kWhite))
            return false;
        fields.address = last.token;
        fields.name = trimRight(slice(beforeAddress, 0, beforeAddress.size() - kWhite.size()));
    }
    return !fields.address.empty();
}

// The rows as the engines print them put every column after the name at a fixed distance from the row's end. Rows
// that match that exactly are read at those places, without scanning each column's padding from the right; any
// other row goes to the general readers above, which give the same fields for the rows matched here.
constexpr std::string_view kBlankRun = "                                        "; // wider than any padding checked

bool isBlanks(std::string_view text)
{
    return text.size() <= kBlankRun.size() && std::memcmp(text.data(), kBlankRun.data(), text.size()) == 0;
}

// A number as "%Ni" prints a value of zero or more: blanks, then at least one digit.
bool isPaddedNumber(std::string_view field)
{
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ')
        ++i;
    return i < field.size() && isDigits(slice(field, i));
}

// The address at the front of a padded column: no leading blank, and the column ends in a blank.
bool splitPaddedColumn(std::string_view column, std::string_view& token)
{
    if (column.empty() || column.front() == ' ' || column.back() != ' ')
        return false;
    std::size_t end = 1;
    while (column[end] != ' ') // a plain loop: addresses are too short for a library search to pay off
        ++end;
    token = slice(column, 0, end);
    return isBlanks(slice(column, end));
}

// Classic: name, "^7", padding, then "%7i " lastmsg, the address padded to 22, "%5i" qport and " %5i" rate.
constexpr std::size_t kClassicColumnsWidth = 8 + 22 + 5 + 1 + 5;

bool readClassicColumns(std::string_view text, NameAndAddress& fields)
{
    if (text.size() < kClassicColumnsWidth + kWhite.size())
        return false;
    const std::string_view columns = slice(text, text.size() - kClassicColumnsWidth);
    // lastmsg keeps a leading blank, so its digits never touch the name's "^7".
    if (columns[0] != ' ' || !isPaddedNumber(slice(columns, 0, 7)) || columns[7] != ' ')
        return false;
    if (!isPaddedNumber(slice(columns, 30, 5)) || columns[35] != ' ' || !isPaddedNumber(slice(columns, 36, 5)))
        return false;
    std::string_view address;
    if (!splitPaddedColumn(slice(columns, 8, 22), address) || isDigits(address))
        return false;
    const std::string_view name = trimRight(slice(text, 0, text.size() - kClassicColumnsWidth));
    if (!name.ends_with(kWhite))
        return false;
    fields = {name, address};
    return true;
}

// ioquake3: name, padding, "^7" glued to the address padded to 39, then " %5i" rate.
constexpr std::size_t kIoquake3ColumnsWidth = 2 + 39 + 1 + 5;

bool readIoquake3Columns(std::string_view text, NameAndAddress& fields)
{
    // One blank at least in front of "^7": otherwise the name's end would belong to the address token.
    if (text.size() < kIoquake3ColumnsWidth + 1 || text[text.size() - kIoquake3ColumnsWidth - 1] != ' ')
        return false;
    const std::string_view columns = slice(text, text.size() - kIoquake3ColumnsWidth);
    if (!columns.starts_with(kWhite) || columns[41] != ' ' || !isPaddedNumber(slice(columns, 42, 5)))
        return false;
    if (!splitPaddedColumn(slice(columns, 2, 39), fields.address))
        return false;
    fields.name = trimRight(slice(text, 0, text.size() - kIoquake3ColumnsWidth));
    return true;
}

bool isClientNumber(std::string_view field)
{
    return field.size() == 2 && isDigit(field[1]) && (field[0] == ' ' || isDigit(field[0]));
}

// The four fields of a row, still in the reply's text.
struct RowFields {
    std::string_view clientNumber;
    std::string_view ping;
    std::string_view name;
    std::string_view address;
};

// Copies text over target. A server's rows mostly keep their fields' lengths from one reply to the next: then the
// length is cut in place and the bytes copied, without the library's general replace and its checks.
void assignText(std::string& target, std::string_view text)
{
    if (text.size() > target.size()) {
        target.assign(text);
        return;
    }
    target.resize(text.size());
    std::memcpy(target.data(), text.data(), text.size());
}

// Fills a row in place: the strings keep the capacity they had from an earlier reply.
void fillRow(StatusRow& row, StatusRowKind kind, const RowFields& fields, int ping)
{
    row.kind = kind;
    row.ping = ping;
    assignText(row.player.clientNumber, fields.clientNumber);
    assignText(row.player.ping, fields.ping);
    // The name field: the name and one appended blank. The name is followed by its padding in the row (its line
    // feed at the latest, so the byte is there to read); when that is a blank, one copy takes both.
    const char* nameEnd = fields.name.data() + fields.name.size();
    if (!fields.name.empty() && *nameEnd == ' ') {
        assignText(row.player.name, {fields.name.data(), fields.name.size() + 1});
    } else {
        row.player.name.reserve(fields.name.size() + 1);
        row.player.name.assign(fields.name);
        row.player.name.push_back(' ');
    }
    assignText(row.player.address, fields.address);
}

// The ping as a number: plain digits read here, anything else (a sign, too many digits) as the settings read it.
// False when it is no number.
bool pingValue(std::string_view ping, int& value)
{
    const auto bySettings = [&] {
        const std::optional<int> parsed = parseDecimal(ping);
        value = parsed.value_or(0);
        return parsed.has_value();
    };
    if (ping.empty() || ping.size() > 9)
        return bySettings();
    value = 0;
    for (const char c : ping) {
        if (!isDigit(c))
            return bySettings();
        value = value * 10 + (c - '0');
    }
    return true;
}

// Score and ping from the blank after the client number; rest is where the name starts.
bool readScoreAndPing(std::string_view text, std::string_view& ping, std::string_view& rest)
{
    RowCursor cursor(text, 0);
    cursor.skipBlanks();
    if (!isSignedDigits(cursor.token()))
        return false; // score
    cursor.skipBlanks();
    ping = cursor.token();
    if (ping.empty() || !cursor.skipOneBlank())
        return false;
    rest = cursor.rest();
    return true;
}

// The same for the widths every layout prints, " %5i %4i " (or a marker in the ping's place), read at their places
// when the fields fill them exactly; false sends the row to readScoreAndPing.
bool readFixedScoreAndPing(std::string_view text, std::string_view& ping, std::string_view& rest)
{
    constexpr std::size_t kWidth = 1 + 5 + 1 + 4 + 1;
    if (text.size() < kWidth || text[0] != ' ' || text[6] != ' ' || text[11] != ' ')
        return false;
    std::string_view score = slice(text, 1, 5);
    while (score.front() == ' ' && score.size() > 1)
        score.remove_prefix(1);
    if (!isSignedDigits(score))
        return false;
    ping = slice(text, 7, 4);
    while (!ping.empty() && ping.front() == ' ')
        ping.remove_prefix(1);
    if (ping.empty() || std::ranges::find(ping, ' ') != ping.end())
        return false;
    rest = slice(text, kWidth);
    return true;
}

// Reads one row's fields; false when the row is not a complete player row.
bool readRow(std::string_view row, StatusLayout layout, RowFields& fields)
{
    row = slice(row, 0, kMaxStatusRowLength);
    if (hasControlCharacters(row))
        return false;

    // Classic rows print the number as "%3i ", the others as "%2i ".
    const std::size_t numberStart = layout == StatusLayout::Classic ? 1 : 0;
    if (row.size() < numberStart + kMaxClientNumberLength + 1)
        return false;
    if (layout == StatusLayout::Classic && row.front() != ' ')
        return false;
    const std::string_view clientNumber = slice(row, numberStart, kMaxClientNumberLength);
    if (!isClientNumber(clientNumber) || row[numberStart + kMaxClientNumberLength] != ' ')
        return false;

    std::string_view ping;
    std::string_view rest;
    const std::string_view afterNumber = slice(row, numberStart + kMaxClientNumberLength);
    if (!readFixedScoreAndPing(afterNumber, ping, rest) && !readScoreAndPing(afterNumber, ping, rest))
        return false;

    NameAndAddress tail;
    bool complete = false;
    switch (layout) {
    case StatusLayout::Classic:
        complete = readClassicColumns(rest, tail) || readClassicTail(rest, tail);
        break;
    case StatusLayout::Ioquake3:
        complete = readIoquake3Columns(rest, tail) || readModernTail(rest, tail);
        break;
    case StatusLayout::Quake3e:
    case StatusLayout::Unknown:
        complete = readModernTail(rest, tail);
        break;
    }
    if (!complete)
        return false;

    fields.clientNumber = clientNumber;
    // substr, not slice: a length the compiler cannot bound keeps the copies into the record on the library's
    // memcpy, which is far quicker on short texts than the inline block move it would pick otherwise.
    fields.ping = ping.substr(0, kMaxPingLength);
    fields.name = tail.name.substr(0, kMaxNameLength - 1);
    fields.address = tail.address.substr(0, kMaxAddressLength);
    return true;
}

} // namespace

std::string_view StatusRow::notice() const
{
    switch (kind) {
    case StatusRowKind::Zombie:
        return kZombieNotice;
    case StatusRowKind::Connecting:
        return kConnectNotice;
    case StatusRowKind::Player:
    case StatusRowKind::InvalidPing:
        break;
    }
    return {};
}

void parseStatusReply(std::string_view replyText, ParsedStatus& status)
{
    status.layout = StatusLayout::Unknown;
    status.mapName.clear();
    status.error.reset();
    status.complete = false;
    std::size_t rowCount = 0;
    LineReader lines(replyText);

    while (const auto line = lines.next()) {
        if (line->text.starts_with(kMapPrefix) && status.mapName.empty()) {
            const auto name = slice(line->text, kMapPrefix.size(), kMaxMapNameLength);
            if (!hasControlCharacters(name))
                status.mapName = name;
            continue;
        }
        status.layout = layoutOfHeader(line->text);
        if (status.layout != StatusLayout::Unknown)
            break;
    }
    if (status.layout != StatusLayout::Unknown) {
        if (const auto separator = lines.next(); separator && separator->complete && isSeparator(separator->text)) {
            while (const auto line = lines.next()) {
                // The table ends with an empty line; a final line without its line feed was cut off in transit.
                if (line->text.empty() || !line->complete) {
                    status.complete = line->text.empty() && line->complete;
                    break;
                }
                RowFields fields;
                if (!readRow(line->text, status.layout, fields))
                    continue;
                StatusRowKind kind = StatusRowKind::Player;
                int ping = 0;
                switch (markerOf(fields.ping)) {
                case Marker::Zombie:
                    kind = StatusRowKind::Zombie;
                    break;
                case Marker::Connecting:
                    kind = StatusRowKind::Connecting;
                    break;
                case Marker::None:
                    if (!pingValue(fields.ping, ping)) {
                        kind = StatusRowKind::InvalidPing;
                        status.error = formatMessage(kNotAnInteger, fields.ping);
                    }
                    break;
                }
                if (rowCount == status.rows.size())
                    status.rows.emplace_back();
                fillRow(status.rows[rowCount++], kind, fields, ping);
                if (status.error)
                    break;
            }
        }
    }
    // Rows beyond this reply's go; the vector keeps its capacity for the next one.
    status.rows.resize(rowCount);
}

ParsedStatus parseStatusReply(std::string_view replyText)
{
    ParsedStatus status;
    // At most one row per line: no row moves while the table is read.
    status.rows.reserve(std::size_t(std::count(replyText.begin(), replyText.end(), '\n')));
    parseStatusReply(replyText, status);
    return status;
}

bool isLowPingPlayer(const StatusRow& row, int minPing)
{
    return row.kind == StatusRowKind::Player && row.ping < minPing;
}

} // namespace varno
