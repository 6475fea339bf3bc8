#include "core/lpb/status_parser.h"

#include "status_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace varno;
using namespace lpbtest;

namespace {

// The example row of a player with client number 3 and ping 45, as documented for the classic table (qport and rate
// absent, a blank after the address).
const std::string kExampleRow = "  3     0   45 Player^7         50 192.168.0.7:27960 \n";

std::vector<PlayerRecord> playersOf(const ParsedStatus& status)
{
    std::vector<PlayerRecord> players;
    for (const auto& row : status.rows) {
        if (row.kind == StatusRowKind::Player)
            players.push_back(row.player);
    }
    return players;
}

std::string withNul(std::string row, std::size_t at)
{
    row.at(at) = '\0';
    return row;
}

std::vector<StatusRowKind> kindsOf(const ParsedStatus& status)
{
    std::vector<StatusRowKind> kinds;
    for (const auto& row : status.rows)
        kinds.push_back(row.kind);
    return kinds;
}

// The reply holds exactly this one player; the parser keeps the blank that follows a name.
void expectOnePlayer(const std::string& text, PlayerRecord expected)
{
    const auto players = playersOf(parseStatusReply(text));
    ASSERT_EQ(players.size(), 1u) << text;
    if (!expected.name.ends_with(' '))
        expected.name += ' ';
    EXPECT_EQ(players[0], expected) << text;
}

} // namespace

TEST(StatusParser, ReadsTheExampleRowOfTheClassicTable)
{
    const auto status = parseStatusReply(classicReply("q3dm17", {kExampleRow}));
    EXPECT_EQ(status.layout, StatusLayout::Classic);
    EXPECT_EQ(status.mapName, "q3dm17");
    ASSERT_EQ(status.rows.size(), 1u);
    const auto& row = status.rows[0];
    EXPECT_EQ(row.kind, StatusRowKind::Player);
    EXPECT_EQ(row.player, (PlayerRecord{" 3", "45", "Player^7 ", "192.168.0.7:27960"}));
    EXPECT_EQ(row.ping, 45);
    EXPECT_TRUE(row.isTableRow());
    EXPECT_TRUE(isLowPingPlayer(row, 100));
    EXPECT_FALSE(status.error);
}

TEST(StatusParser, OnlyATableThatReachesItsEmptyLineIsComplete)
{
    const std::string whole = classicReply("q3dm17", {kExampleRow, kExampleRow});
    EXPECT_TRUE(parseStatusReply(whole).complete);
    // Cut after a row, within a row, or before the separator: rows may be missing.
    for (const std::size_t cut : {whole.size() - 1, whole.size() - 10, std::size_t(30)}) {
        const auto status = parseStatusReply(whole.substr(0, cut));
        EXPECT_FALSE(status.complete) << "cut at " << cut;
    }
    EXPECT_FALSE(parseStatusReply(kReplyPrefix + "Bad rconpassword.\n").complete);
}

TEST(StatusParser, FindsTheFirstRowWhateverTheMapNameLength)
{
    const std::string row0 = classicRow(0, 5, "33", "First", 50, "10.0.0.1:27960");
    const std::string row1 = classicRow(1, 2, "44", "Second", 50, "10.0.0.2:27960");
    for (const std::string map : {"q3dm1", "q3dm7", "q3dm17", "q3tourney2", "a", "mymap_with_a_long_name"}) {
        const auto players = playersOf(parseStatusReply(classicReply(map, {row0, row1})));
        ASSERT_EQ(players.size(), 2u) << map;
        EXPECT_EQ(players[0], (PlayerRecord{" 0", "33", "First^7 ", "10.0.0.1:27960"})) << map;
        EXPECT_EQ(players[1], (PlayerRecord{" 1", "44", "Second^7 ", "10.0.0.2:27960"})) << map;
    }
}

TEST(StatusParser, RecognisesTheLayoutFromTheHeader)
{
    const struct {
        std::string text;
        StatusLayout layout;
    } cases[] = {
        {classicReply("q3dm17", {}), StatusLayout::Classic},
        {ioq3Reply("q3dm17", {}), StatusLayout::Ioquake3},
        {quake3eReply("q3dm17", {}, true), StatusLayout::Quake3e},
        {quake3eReply("q3dm17", {}, true, 4, 7), StatusLayout::Quake3e},
        {kReplyPrefix + "Bad rconpassword.\n", StatusLayout::Unknown},
        {kReplyPrefix + "No rconpassword set on the server.\n", StatusLayout::Unknown},
        {kReplyPrefix, StatusLayout::Unknown},
        {"", StatusLayout::Unknown},
    };
    for (const auto& c : cases) {
        const auto status = parseStatusReply(c.text);
        EXPECT_EQ(status.layout, c.layout) << c.text;
        EXPECT_TRUE(status.rows.empty());
        EXPECT_FALSE(status.error);
    }
}

TEST(StatusParser, LowPingTestIsStrictlyBelowTheThreshold)
{
    const auto status =
        parseStatusReply(classicReply("q3dm17", {
                                                    classicRow(0, 0, "99", "Fast", 50, "10.0.0.1:27960"),
                                                    classicRow(1, 0, "100", "Even", 50, "10.0.0.2:27960"),
                                                    classicRow(2, 0, "101", "Slow", 50, "10.0.0.3:27960"),
                                                    classicRow(3, 0, "0", "Bot", 50, "bot", 0, 0),
                                                }));
    ASSERT_EQ(status.rows.size(), 4u);
    const bool expected[] = {true, false, false, true};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(status.rows[i].isTableRow());
        EXPECT_EQ(isLowPingPlayer(status.rows[i], 100), expected[i]) << status.rows[i].player.name;
    }
}

TEST(StatusParser, ZombieAndConnectingRowsOfEveryLayoutGiveTheirNoticeOnly)
{
    using K = StatusRowKind;
    const struct {
        std::string text;
        std::vector<K> kinds;
    } cases[] = {
        {classicReply("q3dm17", {classicRow(0, 0, "ZMBI", "Gone", 9000, "10.8.8.8:27960"),
                                 classicRow(1, 0, "CNCT", "Newbie", 300, "10.9.9.9:27960"),
                                 classicRow(2, 0, "MBI", "Short", 10, "10.9.9.8:27960"),
                                 classicRow(3, 0, "NCT", "Shorter", 10, "10.9.9.7:27960"),
                                 classicRow(4, 0, "50", "Player", 10, "10.9.9.6:27960")}),
         {K::Zombie, K::Connecting, K::Zombie, K::Connecting, K::Player}},
        {ioq3Reply("q3dm7", {ioq3Row(0, 0, "ZMB", "Leaver", "192.0.2.45"), ioq3Row(1, 0, "CON", "Joiner", "192.0.2.46"),
                             ioq3Row(12, 0, "50", "Player", "192.0.2.47")}),
         {K::Zombie, K::Connecting, K::Player}},
        {quake3eReply("q3dm7",
                      {{0, "PRM", "Primed", "192.0.2.1"},
                       {1, "CON", "Joiner", "192.0.2.2"},
                       {2, "ZMB", "Leaver", "192.0.2.3"},
                       {13, "50", "Player", "192.0.2.4"}},
                      true),
         {K::Connecting, K::Connecting, K::Zombie, K::Player}},
        {quake3eReply("q3dm7",
                      {{0, "PRM", "Primed", "192.0.2.1"},
                       {1, "CON", "Joiner", "192.0.2.2"},
                       {2, "ZMB", "Leaver", "192.0.2.3"},
                       {13, "50", "Player", "192.0.2.4"}},
                      false),
         {K::Connecting, K::Connecting, K::Zombie, K::Player}},
    };
    for (const auto& c : cases) {
        const auto status = parseStatusReply(c.text);
        EXPECT_EQ(kindsOf(status), c.kinds) << c.text;
        for (const auto& row : status.rows) {
            if (row.kind == K::Zombie)
                EXPECT_EQ(row.notice(), "ZMBI: Zombie Detected, flushing...");
            else if (row.kind == K::Connecting)
                EXPECT_EQ(row.notice(), "CNCT: Client Connect Detected, ignoring...");
            else
                EXPECT_EQ(row.notice(), "");
            EXPECT_EQ(row.isTableRow(), row.kind == K::Player);
            EXPECT_EQ(isLowPingPlayer(row, 10000), row.kind == K::Player);
        }
    }
}

TEST(StatusParser, StopsAtAPingThatIsNoNumberAfterDeliveringThatRow)
{
    for (const std::string bad : {"abc", "4x5", "-", "99999999999", "CNC", "ZMBIE"}) {
        const auto status =
            parseStatusReply(classicReply("q3dm17", {
                                                        classicRow(0, 0, "10", "Before", 50, "10.0.0.1:27960"),
                                                        classicRow(1, 0, bad, "Broken", 50, "10.0.0.2:27960"),
                                                        classicRow(2, 0, "20", "After", 50, "10.0.0.3:27960"),
                                                    }));
        ASSERT_EQ(status.rows.size(), 2u) << bad;
        EXPECT_EQ(status.rows[0].kind, StatusRowKind::Player);
        EXPECT_EQ(status.rows[1].kind, StatusRowKind::InvalidPing);
        EXPECT_EQ(status.rows[1].player, (PlayerRecord{" 1", bad, "Broken^7 ", "10.0.0.2:27960"}));
        EXPECT_TRUE(status.rows[1].isTableRow());
        EXPECT_FALSE(isLowPingPlayer(status.rows[1], 100000));
        EXPECT_EQ(status.error, "'" + bad + "' is not a valid integer value");
    }
}

TEST(StatusParser, ReadsNamesWithBlanksAndColourCodesWhole)
{
    // A double blank inside a name would end the name and shift the address if names were cut at the first one;
    // the columns after the name bound it instead.
    const struct {
        std::string text;
        PlayerRecord player;
    } cases[] = {
        {classicReply("q3dm17", {classicRow(7, 1, "45", "Big Bob", 50, "10.1.2.3:27960")}),
         {" 7", "45", "Big Bob^7 ", "10.1.2.3:27960"}},
        {classicReply("q3dm17", {classicRow(7, 1, "45", "Big  Bob", 50, "10.1.2.3:27960")}),
         {" 7", "45", "Big  Bob^7 ", "10.1.2.3:27960"}},
        {classicReply("q3dm17", {classicRow(7, 1, "45", "A   B 12", 50, "10.1.2.3:27960")}),
         {" 7", "45", "A   B 12^7 ", "10.1.2.3:27960"}},
        {classicReply("q3dm17", {classicRow(7, 1, "45", "^1Red^7  Dwarf", 50, "10.1.2.3:27960")}),
         {" 7", "45", "^1Red^7  Dwarf^7 ", "10.1.2.3:27960"}},
        // 16 bytes and more leave no padding; with a seven-digit lastmsg the name touches it.
        {classicReply("q3dm17", {classicRow(7, 1, "45", "SixteenCharName7", 1234567, "10.1.2.3:27960")}),
         {" 7", "45", "SixteenCharName7^7 ", "10.1.2.3:27960"}},
        {classicReply("q3dm17", {classicRow(7, 1, "45", "x", -5, "loopback")}), {" 7", "45", "x^7 ", "loopback"}},
        {ioq3Reply("q3dm7", {ioq3Row(3, 4, "150", "Slow  Poke", "192.0.2.44")}),
         {" 3", "150", "Slow  Poke", "192.0.2.44"}},
        {ioq3Reply("q3dm7", {ioq3Row(3, 4, "150", "^4A ^7B^7", "192.0.2.44")}),
         {" 3", "150", "^4A ^7B^7", "192.0.2.44"}},
        {ioq3Reply("q3dm7", {ioq3Row(3, 4, "150", "LongerThanSixteenChars", "192.0.2.44")}),
         {" 3", "150", "LongerThanSixteenChars", "192.0.2.44"}},
    };
    for (const auto& c : cases)
        expectOnePlayer(c.text, c.player);
}

TEST(StatusParser, ReadsTheModernLayoutsWithTwoDigitClientsAndAddressesWithoutPort)
{
    const auto ioq3 =
        playersOf(parseStatusReply(ioq3Reply("oa_dm1", {
                                                           ioq3Row(9, 0, "12", "Nine", "198.51.100.9"),
                                                           ioq3Row(10, -3, "34", "Ten", "2001:db8::10"),
                                                           ioq3Row(63, 12345, "9999", "^1Last", "bot", 16384),
                                                       })));
    const std::vector<PlayerRecord> expectedIoq3 = {
        {" 9", "12", "Nine ", "198.51.100.9"},
        {"10", "34", "Ten ", "2001:db8::10"},
        {"63", "9999", "^1Last ", "bot"},
    };
    EXPECT_EQ(ioq3, expectedIoq3);

    // The longest name fills its column, so the "^7" of the address column touches it.
    for (const bool blankBeforeMarker : {true, false}) {
        const auto q3e =
            playersOf(parseStatusReply(quake3eReply("q3dm17",
                                                    {
                                                        {0, "12", "^3ColouredLongestName^7", "198.51.100.1"},
                                                        {11, "999", "Short Name", "2001:db8:85a3::8a2e:370:7334"},
                                                        {22, "CON", "Joiner", "198.51.100.3"},
                                                        {33, "34", "x", "198.51.100.4"},
                                                    },
                                                    blankBeforeMarker, 4, 7)));
        const std::vector<PlayerRecord> expectedQ3e = {
            {" 0", "12", "^3ColouredLongestName^7 ", "198.51.100.1"},
            {"11", "999", "Short Name ", "2001:db8:85a3::8a2e:370:7334"},
            {"33", "34", "x ", "198.51.100.4"},
        };
        EXPECT_EQ(q3e, expectedQ3e);
    }
}

TEST(StatusParser, ReadsRowsWhoseFieldsFillOrOverflowTheirColumns)
{
    // Rows at the printed widths are read at fixed places; a field that fills its column or runs past it moves the
    // columns after it and must still give the same fields.
    const std::string address21 = "203.0.113.255:27960ab";
    const std::string address22 = address21 + "c";
    const std::string address38(38, 'a');
    const std::string address39(39, 'b');
    const std::string address45(45, 'c');
    const struct {
        std::string text;
        PlayerRecord player;
    } cases[] = {
        {classicReply("m", {classicRow(5, 99999, "9999", "Full", 9999999, address21, 65535, 99999)}),
         {" 5", "9999", "Full^7 ", address21}},
        {classicReply("m", {classicRow(5, 0, "45", "Wide", 50, address22, 1234, 25000)}),
         {" 5", "45", "Wide^7 ", address22}},
        {classicReply("m", {classicRow(5, -123456, "12345", "Over", 123456789, "10.0.0.5:27960", 654321, 100000)}),
         {" 5", "12345", "Over^7 ", "10.0.0.5:27960"}},
        {ioq3Reply("m", {ioq3Row(5, -9999, "999", "Full", address38, 99999)}), {" 5", "999", "Full", address38}},
        {ioq3Reply("m", {ioq3Row(5, 0, "45", "Wide", address39)}), {" 5", "45", "Wide", address39}},
        {ioq3Reply("m", {ioq3Row(5, 123456, "12345", "Over", address45, 100000)}),
         {" 5", "12345", "Over", address45}},
    };
    for (const auto& c : cases)
        expectOnePlayer(c.text, c.player);
}

TEST(StatusParser, IgnoresRowsThatDoNotMatchTheirLayout)
{
    const std::vector<std::string> classicRows = {
        "100     0   45 Player^7         50 10.0.0.1:27960  1234 25000\n", // three-digit client: no leading blank
        "  3     0   45 Player^7         50\n",                            // no address
        "  3     0   45 Player^7\n",                                       // no lastmsg, no address
        "  3     0   45 Player^7         50  1234 25000\n",                // integers only after the name
        "  3     0   45 Player           50 10.0.0.1:27960  1234 25000\n", // no "^7" after the name
        "  3     0   45\n",                                                // nothing after the ping
        "  3     0   45 \n",
        "  3     0\n",
        "  3\n",
        "   \n",
        "  x     0   45 Player^7         50 10.0.0.1:27960  1234 25000\n", // client not a number
        "  3     y   45 Player^7         50 10.0.0.1:27960  1234 25000\n", // score not a number
        " 3     0   45 Player^7         50 10.0.0.1:27960  1234 25000\n",  // columns shifted
        "  3     0   45 Pla\tyer^7       50 10.0.0.1:27960  1234 25000\n", // control character
        withNul("  3     0   45 Player^7         50 10.0.0.1:27960  1234 25000\n", 18),
        "\n", // the table's empty line: everything after it is not table
        kExampleRow,
    };
    EXPECT_TRUE(parseStatusReply(classicReply("q3dm17", classicRows)).rows.empty());

    const std::vector<std::string> ioq3Rows = {
        "100     0   45 Player          ^7198.51.100.1                            25000\n",
        " 3     0   45 Player          198.51.100.1                              25000\n", // no "^7" at the address
        " 3     0   45 Player          ^7                                        25000\n", // empty address
        " 3     0   45 ^7198.51.100.1                                            25000\n", // no name column
        " 3     0   45 Player\n",
        "  3     0   45 Player          ^7198.51.100.1                           25000\n", // classic-style number
    };
    EXPECT_TRUE(parseStatusReply(ioq3Reply("q3dm17", ioq3Rows)).rows.empty());
}

TEST(StatusParser, ReadsOnlyCompleteRowsOfTheTable)
{
    const std::string full = classicReply("q3dm17", {classicRow(0, 0, "10", "One", 50, "10.0.0.1:27960"),
                                                     classicRow(1, 0, "20", "Two", 50, "10.0.0.2:27960")});
    // A reply cut anywhere yields the rows whose line feed arrived, and never a row of its own making.
    const auto expected = playersOf(parseStatusReply(full));
    ASSERT_EQ(expected.size(), 2u);
    for (std::size_t length = 0; length <= full.size(); ++length) {
        const auto players = playersOf(parseStatusReply(full.substr(0, length)));
        ASSERT_LE(players.size(), expected.size());
        for (std::size_t i = 0; i < players.size(); ++i)
            EXPECT_EQ(players[i], expected[i]) << "cut at " << length;
    }

    const std::string missingSeparator = kReplyPrefix + "map: q3dm17\n" +
                                         "num score ping name            lastmsg address               qport rate\n" +
                                         kExampleRow + "\n";
    EXPECT_TRUE(parseStatusReply(missingSeparator).rows.empty());
}

TEST(StatusParser, CutsFieldsToTheirLimits)
{
    const std::string name200(200, 'n');
    const std::string address160(160, 'a');
    const auto status = parseStatusReply(
        classicReply("q3dm17", {
                                   classicRow(1, 0, "45", name200, 50, "10.0.0.1:27960"),
                                   classicRow(2, 0, "45", "x", 50, address160),
                                   classicRow(3, 0, "1234567890123456789012345", "y", 50, "10.0.0.3:27960"),
                               }));
    ASSERT_EQ(status.rows.size(), 3u);
    EXPECT_EQ(status.rows[0].player.name, std::string(149, 'n') + " ");
    EXPECT_EQ(status.rows[1].player.address, std::string(150, 'a'));
    EXPECT_EQ(status.rows[2].player.ping, "12345678901234567890");
    EXPECT_EQ(status.error, "'12345678901234567890' is not a valid integer value");
}

TEST(StatusParser, SurvivesHostileInput)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    const auto garbage = [&](std::size_t length) {
        std::string text(length, '\0');
        for (auto& c : text)
            c = static_cast<char>(byte(random));
        return text;
    };

    const std::string header = classicReply("q3dm17", {});
    const std::string headerOnly = header.substr(0, header.size() - 1);
    const std::vector<std::string> inputs = {
        "",
        "x",
        "\xff",
        std::string(1, '\0'),
        std::string(65507, '\0'),
        std::string(65507, ' '),
        std::string(65507, '\n'),
        garbage(65507),
        kReplyPrefix + garbage(65497),
        headerOnly + garbage(4000),
        headerOnly + std::string(65000, '-'),
        headerOnly + "  3     0   45 " + std::string(500, 'N') + "^7     50 10.0.0.1:27960  1234 25000\n",
        headerOnly + "  3     0   45 " + std::string(65000, ' ') + "\n",
    };
    for (const auto& input : inputs) {
        const auto status = parseStatusReply(input);
        EXPECT_TRUE(status.rows.empty()) << input.substr(0, 200);
        EXPECT_FALSE(status.error);
    }
}

TEST(StatusParser, ReadsAThousandRows)
{
    std::vector<std::string> rows;
    for (int i = 0; i < 1000; ++i)
        rows.push_back(classicRow(i % 64, i, std::to_string(i % 300), "P" + std::to_string(i), 10, "10.0.0.1:27960"));
    const auto status = parseStatusReply(classicReply("q3dm17", rows));
    ASSERT_EQ(status.rows.size(), 1000u);
    EXPECT_EQ(status.rows[999].player, (PlayerRecord{"39", "99", "P999^7 ", "10.0.0.1:27960"}));
}

TEST(StatusParser, SkipsOnlyTheRowWithANulByte)
{
    const std::string nulRow = withNul(classicRow(2, 0, "45", "Null", 50, "10.0.0.2:27960"), 17);
    const auto players =
        playersOf(parseStatusReply(classicReply("q3dm17", {
                                                              classicRow(1, 0, "10", "One", 50, "10.0.0.1:27960"),
                                                              nulRow,
                                                              classicRow(3, 0, "30", "Three", 50, "10.0.0.3:27960"),
                                                          })));
    ASSERT_EQ(players.size(), 2u);
    EXPECT_EQ(players[0].clientNumber, " 1");
    EXPECT_EQ(players[1].clientNumber, " 3");
}

TEST(StatusParser, ReadsIntoAReusedResultAsIntoANewOne)
{
    // Each reply is read into the result the one before filled: nothing of that one may show through.
    const std::string longName = "AVeryLongPlayerNameThatNeedsTheHeap";
    const std::vector<std::string> replies = {
        classicReply("q3dm17", {classicRow(0, 3, "50", longName, 10, "198.51.100.10:27960"),
                                classicRow(1, 0, "CNCT", "Joining", 20, "198.51.100.11:27961"),
                                classicRow(2, 9, "70", "Third", 30, "bot")}),
        ioq3Reply("oa_dm1", {ioq3Row(4, 1, "12", "Short", "bot")}),
        classicReply("q3tourney2", {classicRow(0, 0, "10", "Before", 50, "10.0.0.1:27960"),
                                    classicRow(1, 0, "4x5", "Broken", 50, "10.0.0.2:27960")}),
        "Bad rconpassword.\n",
        classicReply("q3dm17", {classicRow(0, 3, "50", longName, 10, "198.51.100.10:27960"),
                                classicRow(2, 9, "70", "Third", 30, "bot")}),
    };
    ParsedStatus reused;
    for (std::size_t i = 0; i < replies.size(); ++i) {
        parseStatusReply(replies[i], reused);
        const ParsedStatus fresh = parseStatusReply(replies[i]);
        EXPECT_EQ(reused.layout, fresh.layout) << i;
        EXPECT_EQ(reused.mapName, fresh.mapName) << i;
        EXPECT_EQ(reused.error, fresh.error) << i;
        ASSERT_EQ(reused.rows.size(), fresh.rows.size()) << i;
        for (std::size_t r = 0; r < fresh.rows.size(); ++r) {
            EXPECT_EQ(reused.rows[r].kind, fresh.rows[r].kind) << i << ' ' << r;
            EXPECT_EQ(reused.rows[r].ping, fresh.rows[r].ping) << i << ' ' << r;
            EXPECT_EQ(reused.rows[r].player, fresh.rows[r].player) << i << ' ' << r;
        }
    }
}
