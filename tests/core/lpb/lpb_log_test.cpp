#include "core/lpb/lpb_log.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

using namespace varno;

TEST(LpbLogLine, JoinsTheFieldsWithFourBlanksAfterTheName)
{
    const PlayerRecord player{" 3", "45", "Player^7 ", "192.168.0.7:27960"};
    EXPECT_EQ(lpbLogLine(player), "Name:Player^7    Ping:45   IP:192.168.0.7:27960");
}

TEST(LpbLogLine, CutsAfterEachStage)
{
    const std::string n150(150, 'n');
    const std::string n200(200, 'n');
    const struct {
        PlayerRecord player;
        std::size_t length;
        std::string tail;
    } cases[] = {
        // The name is cut at 155, then "   Ping:" is appended whole.
        {{"1", "45", n200, "a"}, 155 + 8 + 2 + 6 + 1, "n   Ping:45   IP:a"},
        {{"1", "45", n150, "a"}, 155 + 8 + 2 + 6 + 1, "n   Ping:45   IP:a"},
        // The ping is cut at 183 counted from the line start.
        {{"1", std::string(40, '9'), n150, "a"}, 183 + 6 + 1, "9999   IP:a"},
        // The address is cut at 255.
        {{"1", "45", "x ", std::string(300, 'a')}, 255, "aaaa"},
        {{"1", std::string(40, '9'), n200, std::string(300, 'a')}, 255, "   IP:" + std::string(66, 'a')},
    };
    for (const auto& c : cases) {
        const auto line = lpbLogLine(c.player);
        EXPECT_EQ(line.size(), c.length);
        EXPECT_TRUE(line.ends_with(c.tail)) << line;
    }
}

namespace {

int countParagraphs(const std::string& rtf)
{
    const std::regex par(R"(\\par(?![a-z]))");
    return static_cast<int>(std::distance(std::sregex_iterator(rtf.begin(), rtf.end(), par), std::sregex_iterator()));
}

bool bracesBalance(const std::string& rtf)
{
    int depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i; // an escaped character or the first letter of a control word
            continue;
        }
        if (rtf[i] == '{')
            ++depth;
        if (rtf[i] == '}' && --depth < 0)
            return false;
        if (depth == 0 && i + 1 < rtf.size() && rtf.find_first_not_of("\r\n", i + 1) != std::string::npos)
            return false; // text after the document's group
    }
    return depth == 0;
}

} // namespace

TEST(LpbLogRtf, IsOneDocumentWithAFontTableAndOneParagraphPerLine)
{
    const std::vector<std::vector<std::string>> logs = {
        {},
        {"Name:Player^7    Ping:45   IP:192.168.0.7:27960"},
        {"one", "", "three {x}", "back\\slash"},
    };
    for (const auto& lines : logs) {
        const auto rtf = lpbLogRtf(lines);
        EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi")) << rtf;
        EXPECT_NE(rtf.find("{\\fonttbl{\\f0"), std::string::npos);
        EXPECT_EQ(countParagraphs(rtf), static_cast<int>(lines.size())) << rtf;
        EXPECT_TRUE(bracesBalance(rtf)) << rtf;
    }
}

TEST(LpbLogRtf, EscapesSpecialCharactersAndWritesHighBytesAsHex)
{
    const struct {
        std::string line;
        std::string written;
    } cases[] = {
        {"plain ^1text", "plain ^1text\\par"},
        {"a\\b", "a\\\\b\\par"},
        {"{x}", "\\{x\\}\\par"},
        {"caf\xe9", "caf\\'e9\\par"},
        {"\xff\x80", "\\'ff\\'80\\par"},
        {"a\tb", "a\\tab b\\par"},
        {std::string("a\0b", 3), "a\\'00b\\par"},
    };
    for (const auto& c : cases) {
        const auto rtf = lpbLogRtf({c.line});
        EXPECT_NE(rtf.find(" " + c.written), std::string::npos) << rtf;
    }
}

TEST(LpbLogRtf, KeepsTheLinesInOrder)
{
    const auto rtf = lpbLogRtf({"first", "second", "third"});
    const auto first = rtf.find("first\\par");
    const auto second = rtf.find("second\\par");
    const auto third = rtf.find("third\\par");
    ASSERT_NE(third, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
}
