#include "core/launch/command_line.h"

#include "core/app/varno_error.h"

#include <gtest/gtest.h>

#include <functional>

using varno::buildCommandLine;
using varno::CommandLineInput;
using varno::serverTypeIndex;
using varno::splitCommandLine;
using varno::VarnoError;
using Arguments = std::vector<std::string>;

namespace {

const std::string kDefaultLine =
    "quake3.exe +set net_port 27960 +set fs_game baseq3 +set dedicated 1 +set com_hunkmegs 56 +exec vrn2data.cfg ";

} // namespace

TEST(CommandLine, FormDefaultsGiveTheDocumentedLine)
{
    EXPECT_EQ(buildCommandLine(CommandLineInput{}), kDefaultLine);
}

TEST(CommandLine, DedicatedOnlyForExactlyDedicated)
{
    const struct {
        std::string text;
        int index;
    } cases[] = {
        {"Dedicated", 1}, {"Listen", 0}, {"dedicated", 0}, {"Dedicated ", 0}, {"", 0}, {"Typed text", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(serverTypeIndex(c.text), c.index) << c.text;
}

TEST(CommandLine, PutsEveryPieceInItsPlace)
{
    CommandLineInput input;
    input.program = "ioq3ded.x86_64";
    input.port = "27961";
    input.gameDir = "osp";
    input.serverType = serverTypeIndex("Listen");
    input.memory = 128;
    input.extra = "+set sv_hostname \"My Server\" +map q3dm7";
    EXPECT_EQ(buildCommandLine(input), "ioq3ded.x86_64 +set net_port 27961 +set fs_game osp +set dedicated 0 "
                                       "+set com_hunkmegs 128 +exec vrn2data.cfg +set sv_hostname \"My Server\" "
                                       "+map q3dm7");
}

TEST(CommandLine, QuotesAProgramWithBlanks)
{
    CommandLineInput input;
    input.program = "/opt/my games/q3ded";
    const std::string line = buildCommandLine(input);
    EXPECT_TRUE(line.starts_with("\"/opt/my games/q3ded\" +set net_port ")) << line;
    EXPECT_EQ(splitCommandLine(line).front(), "/opt/my games/q3ded");
}

TEST(CommandLine, RefusesALineOver512CharactersWithoutCuttingIt)
{
    CommandLineInput input;
    const std::size_t room = 512 - kDefaultLine.size();
    input.extra = std::string(room, 'x');
    EXPECT_EQ(buildCommandLine(input).size(), 512u);

    input.gameDir = "baseq3" + std::string(1, 'y');
    try {
        buildCommandLine(input);
        ADD_FAILURE() << "a line of 513 characters was accepted";
    } catch (const VarnoError& error) {
        EXPECT_STREQ(error.what(), "The command line is 513 characters long, more than the 512 allowed. "
                                   "Shorten the Game Directory or the extra command line text.");
    }
}

TEST(CommandLine, RefusesPiecesThatWouldStartOtherCommands)
{
    const struct {
        std::function<void(CommandLineInput&)> change;
        std::string message;
    } cases[] = {
        {[](auto& in) { in.gameDir = "mod+set rconpassword x"; },
         "The Game Directory must not contain plus signs, double quotes or line breaks."},
        {[](auto& in) { in.gameDir = "\"mod"; },
         "The Game Directory must not contain plus signs, double quotes or line breaks."},
        {[](auto& in) { in.gameDir = "mod\n"; },
         "The Game Directory must not contain plus signs, double quotes or line breaks."},
        {[](auto& in) { in.port = "27960+"; }, "The Port must not contain plus signs, double quotes or line breaks."},
        {[](auto& in) { in.program = "q3\"ded"; }, "The game program name q3\"ded must not contain double quotes."},
        {[](auto& in) { in.extra = std::string("+set a 1\0+set b 2", 17); },
         "The command line must not contain a zero byte."},
    };
    for (const auto& c : cases) {
        CommandLineInput input;
        c.change(input);
        try {
            buildCommandLine(input);
            ADD_FAILURE() << "accepted; expected: " << c.message;
        } catch (const VarnoError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
}

TEST(CommandLine, PassesTheOperatorsOwnTextUnchanged)
{
    const std::string extras[] = {"", " ", "+set g_motd \"a; b\" +set x \"", "+exec \"my; file.cfg\"\t\\\\share\\"};
    for (const auto& extra : extras) {
        CommandLineInput input;
        input.extra = extra;
        EXPECT_EQ(buildCommandLine(input), kDefaultLine + extra);
    }
}

TEST(SplitCommandLine, SplitsAtBlanksAndGroupsQuotedParts)
{
    const struct {
        std::string line;
        Arguments arguments;
    } cases[] = {
        {"", {}},
        {"  \t ", {}},
        {kDefaultLine,
         {"quake3.exe", "+set", "net_port", "27960", "+set", "fs_game", "baseq3", "+set", "dedicated", "1", "+set",
          "com_hunkmegs", "56", "+exec", "vrn2data.cfg"}},
        {"a\tb  c", {"a", "b", "c"}},
        {"+set sv_hostname \"My Server\"", {"+set", "sv_hostname", "My Server"}},
        {"pre\"fix mid\"post next", {"prefix midpost", "next"}},
        {"a \"\" b", {"a", "", "b"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"a\"\"b", {"ab"}},
        {"\"unterminated  tail", {"unterminated  tail"}},
        {"C:\\Games\\Quake3\\ \"C:\\with space\\\" x", {"C:\\Games\\Quake3\\", "C:\\with space\\", "x"}},
        {"line\nbreak", {"line\nbreak"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitCommandLine(c.line), c.arguments) << c.line;
}
