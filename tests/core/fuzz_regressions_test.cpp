// Faults the fuzz targets found, each kept with the input that showed it.

#include "core/lpb/reply_assembler.h"
#include "core/lpb/status_parser.h"
#include "core/settings/ini_salvage.h"

#include "lpb/status_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace varno;
using namespace lpbtest;

namespace {

constexpr std::size_t kDatagramTextBytes = 1007; // the server's 1008-byte buffer less its terminating zero
constexpr std::int64_t kWindow = ReplyAssembler::kDefaultJoinWindowMs;

std::string body(const std::string& reply)
{
    return reply.substr(kReplyPrefix.size());
}

std::vector<std::string> drainAll(ReplyAssembler& assembler, std::int64_t nowMs)
{
    std::vector<std::string> texts;
    while (auto reply = assembler.takeComplete(nowMs))
        texts.push_back(reply->text);
    return texts;
}

std::string ioq3Table(const std::vector<std::string>& names)
{
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < names.size(); ++i)
        rows.push_back(ioq3Row(int(i), int(i), "48", names[i], "198.51.100." + std::to_string(i + 1)));
    return ioq3Reply("q3dm7", rows);
}

// Where the next row's name would start: after the rows so far and that row's "%2i %5i %4i ".
std::size_t nextNameStart(const std::vector<std::string>& names)
{
    return body(ioq3Table(names)).size() - 1 + 14;
}

// An ioquake3 table whose first datagram fills up right where "map: " begins inside a player's name; every
// name as long as the game allows (35 characters) at most.
struct SplitInName {
    std::string reply;
    std::string name;
    std::size_t players = 0;
};

SplitInName splitInName()
{
    std::vector<std::string> names;
    const auto shortName = [&names] { return "Player" + std::to_string(names.size()); };
    while (true) {
        names.push_back(shortName());
        if (nextNameStart(names) > kDatagramTextBytes) {
            names.pop_back();
            break;
        }
    }
    // Longer names before it move the name start on; past 15 characters each one adds a byte to its row.
    std::size_t gap = kDatagramTextBytes - nextNameStart(names);
    for (std::string& name : names) {
        if (gap <= 3)
            break;
        const std::size_t added = std::min<std::size_t>(gap - 3, 20);
        name.resize(15 + added, '_');
        gap -= added;
    }
    SplitInName split;
    split.name = std::string(gap, 'x') + "map: q3dm17";
    names.push_back(split.name);
    names.push_back("After");
    split.reply = ioq3Table(names);
    split.players = names.size();
    return split;
}

} // namespace

// fuzz_status_reply, printed rows: the datagram that went on from inside the name began with "map: " and was
// taken for a new reply, so that row and every row after it went unread.
TEST(FuzzRegressions, AStatusTableGoesOnThroughADatagramStartingWithMapInsideAName)
{
    const SplitInName split = splitInName();
    const std::string text = body(split.reply);
    ASSERT_EQ(text.compare(kDatagramTextBytes, 5, "map: "), 0) << "the split must fall right before \"map: \"";

    ReplyAssembler assembler;
    assembler.feed(kReplyPrefix + text.substr(0, kDatagramTextBytes), 0);
    assembler.feed(kReplyPrefix + text.substr(kDatagramTextBytes), 1);
    const auto replies = drainAll(assembler, 1 + kWindow);

    ASSERT_EQ(replies, std::vector<std::string>{split.reply});
    const ParsedStatus status = parseStatusReply(replies.front());
    ASSERT_EQ(status.rows.size(), split.players);
    EXPECT_EQ(status.rows[split.players - 2].player.name, split.name + " ");
}

// The same exception must not swallow the next reply: once a table has its closing empty line, a status
// start begins a reply of its own, however soon it comes.
TEST(FuzzRegressions, AFinishedStatusTableIsFollowedByANewReplyWithinTheWindow)
{
    const std::string first = ioq3Reply("q3dm7", {ioq3Row(0, 1, "48", "Visor", "198.51.100.1")});
    const std::string second = ioq3Reply("q3dm17", {ioq3Row(1, 2, "52", "Sarge", "198.51.100.2")});

    ReplyAssembler assembler;
    assembler.feed(first, 0);
    assembler.feed(second, 1);

    EXPECT_EQ(drainAll(assembler, 1 + kWindow), (std::vector<std::string>{first, second}));
}

// fuzz_settings_file: lines that QSettings reads otherwise than the shape check did. The file passed for
// sound, QSettings misread it, and the next write rewrote it from the misreading instead of setting it aside.
TEST(FuzzRegressions, LinesThatQSettingsCutShortAreDamage)
{
    const struct {
        std::string text;
        bool sound;
    } cases[] = {
        {"[\r]\nk=v\n", false},                           // a lone CR ends the line: "[" without its "]"
        {"[MapSettings\rM]\nMapRotation=q3dm1\n", false}, // found so, in a hand-edited file's header
        {";\r\x13\n", false},                             // a comment, then a line without "=" after the CR
        {"[Ser;erSettings]\nServerName=x\n", false},      // a semicolon starts a comment in a header too
        {"[A]\nk;x=v\n", false},                          // reads as the bare name "k"
        {"\"=\n", false},                // the "=" is inside a double quote left open: QSettings refuses to write
        {"[A]\nk=\"open\nj=1\n", true},  // the store's own reader keeps an open quote on its line
        {"[A]\nk\\=1\n", false},         // an escaped "=" does not end the name
        {"[A] ; note\nk=v ; note\n", true},
        {"[A]\nk=\"a;b\"\nj=a\\;b\n", true}, // quoted or escaped, a semicolon is text
        {"[A]\r\nk=v\r\n", true},
        {"[A]\n\"a=b\"=1\nk=\"x\"y\n", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isIniTextSound(c.text), c.sound) << c.text;
}
