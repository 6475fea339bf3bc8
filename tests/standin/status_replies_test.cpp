// The stand-in's status replies against the captured ones, datagram by datagram.

#include "standin/standin_test.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace varno::test {
namespace {

std::vector<std::string> fixtureDatagrams(const std::string& fixture)
{
    std::vector<std::string> datagrams;
    const std::filesystem::path dir = std::filesystem::path(VARNO_TEST_DATA) / "fixtures" / fixture;
    for (int i = 1;; ++i) {
        std::ifstream file(dir / ("datagram-" + std::to_string(i) + ".bin"), std::ios::binary);
        if (!file)
            break;
        std::ostringstream bytes;
        bytes << file.rdbuf();
        datagrams.push_back(bytes.str());
    }
    return datagrams;
}

// The players of the classic-* fixtures, which differ only in their map.
const std::string kClassicPlayers = "addbot Sarge 4\n"
                                    "setscore 0 5; setlastmsg 0 50; setrate 0 0\n"
                                    "addclient Player 45 192.168.0.7:27960\n"
                                    "setscore 1 12; setlastmsg 1 50; setqport 1 1234\n"
                                    "addclient \"Big Bob\" 120 10.1.2.3:27960\n"
                                    "setscore 2 3; setqport 2 555; setrate 2 8000\n"
                                    "addclient Newbie 0 10.9.9.9:27960\n"
                                    "setstate 3 connected; setlastmsg 3 300; setqport 3 777; setrate 3 3000\n"
                                    "addclient Gone 0 10.8.8.8:27960\n"
                                    "setstate 4 zombie; setlastmsg 4 9000; setqport 4 888; setrate 4 3000\n"
                                    "addclient ^1Red^7Dwarf 99 172.16.5.4:27961\n"
                                    "setscore 5 -2; setlastmsg 5 16; setqport 5 4321\n";

std::string classicPlayers(const std::string& map)
{
    return "set standin_status classic\nmap " + map + "\n" + kClassicPlayers;
}

std::string classicTwentyPlayers()
{
    std::string script = "set standin_status classic\nmap q3dm6\n";
    for (int i = 0; i < 20; ++i) {
        char lines[200];
        std::snprintf(lines, sizeof lines,
                      "addclient Player%02d %d 10.0.%d.%d:27960\nsetscore %d %d; setlastmsg %d %d\n", i, 20 + 7 * i, i,
                      100 + i, i, -5 + 3 * i, i, 30 + i);
        script += lines;
    }
    return script;
}

std::string ioq3Players()
{
    return "set standin_status ioq3\n"
           "map q3dm7\n"
           "addbot Sarge 4\n"
           "addclient ^4Blue^7Man 38 203.0.113.9:27960\n"
           "setscore 1 7\n"
           "addclient Joiner 0 198.51.100.20:27960\n"
           "setscore 2 1; setstate 2 connected; setrate 2 5000\n"
           "addclient \"Slow Poke\" 150 192.0.2.44:27960\n"
           "setscore 3 4; setrate 3 8000\n"
           "addclient Leaver 0 192.0.2.45:27960\n"
           "setstate 4 zombie; setrate 4 8000\n";
}

std::string ioq3TwentyFourPlayers()
{
    std::string script = "set standin_status ioq3\nmap oa_dm1\n";
    for (int i = 0; i < 24; ++i) {
        char lines[200];
        std::snprintf(lines, sizeof lines, "addclient Gamer%02d %d 198.51.100.%d:27960\nsetscore %d %d\n", i,
                      10 + 5 * i, i + 1, i, i);
        script += lines;
    }
    return script;
}

class StatusReplyTest : public StandinTest {};

TEST_F(StatusReplyTest, MatchesTheCapturedDatagramsForTheSamePlayers)
{
    struct Case {
        std::string fixture;
        std::string players;
    };
    const Case cases[] = {
        {"classic-q3dm7", classicPlayers("q3dm7")},
        {"classic-q3dm17", classicPlayers("q3dm17")},
        {"classic-q3tourney2", classicPlayers("q3tourney2")},
        {"classic-q3dm6-20players", classicTwentyPlayers()},
        {"ioq3-q3dm7", ioq3Players()},
        {"ioq3-live-openarena-3bots",
         "set standin_status ioq3\nmap oa_dm1\naddbot Sarge\naddbot Angelyss\naddbot Kyonshi\n"},
        {"ioq3-oa_dm1-24players", ioq3TwentyFourPlayers()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        const std::vector<std::string> expected = fixtureDatagrams(c.fixture);
        ASSERT_FALSE(expected.empty());
        startWithScript("rconpassword secret\nsv_maxclients 32\n" + c.players);

        const std::vector<std::string> replies = m_client->exchange(rconPayload(kRconPassword, " status"));

        EXPECT_EQ(printText(replies), printText(expected));
        EXPECT_EQ(replies, expected);
    }
}

} // namespace
} // namespace varno::test
