#include "core/lpb/server_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace varno;

namespace {

using Rules = std::vector<std::pair<std::string, std::string>>;
using Players = std::vector<InfoPlayer>;

std::string response(const std::string& info, const std::string& players = {})
{
    return "\xff\xff\xff\xffstatusResponse\n" + info + "\n" + players;
}

} // namespace

TEST(ServerInfo, ReadsTheRulesInOrderAndThePlayersAsSent)
{
    // As ioquake3 answers "getstatus 42": the challenge first, then the serverinfo.
    const auto info =
        parseStatusResponse(response("\\challenge\\42\\version\\ioq3 1.36\\sv_hostname\\^1Red Base \\g_needpass\\0",
                                     "3 48 \"^1Red^7Dwarf\"\n-2 999 \"Sarge\"\n"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->rules, (Rules{{"version", "ioq3 1.36"}, {"sv_hostname", "^1Red Base "}, {"g_needpass", "0"}}));
    EXPECT_EQ(info->players, (Players{{3, 48, "^1Red^7Dwarf"}, {-2, 999, "Sarge"}}));
    EXPECT_EQ(withoutColourCodes("^1Red^7Dwarf ^^1x^ ^!"), "RedDwarf ^x^ ^!");
}

TEST(ServerInfo, OnlyAStatusResponseIsRead)
{
    for (const std::string datagram : {"", "statusResponse\n\\a\\1\n", "\xff\xff\xff\xffprint\nmap: q3dm17\n",
                                       "\xff\xff\xff\xffstatusResponses\n\\a\\1\n"})
        EXPECT_FALSE(parseStatusResponse(datagram)) << datagram;
    EXPECT_EQ(parseStatusResponse("\xff\xff\xff\xffstatusResponse"), ServerInfo{});
    EXPECT_EQ(parseStatusResponse("\xff\xff\xff\xffSTATUSRESPONSE\r\n\\a\\1\r\n")->rules, (Rules{{"a", "1"}}));
}

TEST(ServerInfo, AMalformedServerinfoIsReadAsFarAsItGoes)
{
    const std::pair<std::string, Rules> cases[] = {
        {"a\\1\\b\\2", {{"a", "1"}, {"b", "2"}}}, // without the leading backslash
        {"\\a\\1\\b", {{"a", "1"}, {"b", ""}}},   // a key without its value
        {"\\a\\\\b\\2", {{"a", ""}, {"b", "2"}}}, // an empty value
        {"\\\\1\\\\\\b\\2", {{"b", "2"}}},        // empty keys
    };
    for (const auto& [text, rules] : cases)
        EXPECT_EQ(parseStatusResponse(response(text))->rules, rules) << text;
}

TEST(ServerInfo, BadPlayerLinesAreSkippedAndTheOthersKept)
{
    const std::string lines = "1 10 \"One\"\nx 10 \"Letter\"\n2 \"NoPing\"\n3 30 Bare\n4 40 \"Open\n"
                              "5 99999999999 \"Overflow\"\n6 60 \"After\" x\n\n 7  70 \"Blanks \" \r\n9 90 \"Last\"";
    EXPECT_EQ(parseStatusResponse(response("", lines))->players,
              (Players{{1, 10, "One"}, {7, 70, "Blanks "}, {9, 90, "Last"}}));
}

TEST(ServerInfo, ReadingStopsAtANulAndAtTheSizeLimit)
{
    const std::string line = "1 10 \"Player\"\n";
    EXPECT_EQ(parseStatusResponse(response("", line) + '\0' + line)->players.size(), 1u);

    std::string huge = response("");
    while (huge.size() < 4 * kMaxStatusResponseBytes)
        huge += line;
    EXPECT_EQ(parseStatusResponse(huge)->players.size(), (kMaxStatusResponseBytes - response("").size()) / line.size());
}
