#include "core/console/console_window.h"

#include <gtest/gtest.h>

#include <set>

using namespace varno;

TEST(ConsoleWindow, TerminalIsTheFirstInstalledOfTheThreeAndNoneWithoutADisplay)
{
    const struct {
        bool display;
        std::string terminalVariable;
        std::set<std::string> installed;
        std::optional<std::string> chosen;
    } cases[] = {
        {true, "kitty", {"x-terminal-emulator", "kitty", "xterm"}, "x-terminal-emulator"},
        {true, "kitty", {"kitty", "xterm"}, "kitty"},
        {true, "kitty", {"xterm"}, "xterm"},
        {true, "", {"xterm"}, "xterm"},
        {true, "kitty", {}, std::nullopt},
        {false, "kitty", {"x-terminal-emulator", "kitty", "xterm"}, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto isInstalled = [&](const std::string& program) { return c.installed.count(program) > 0; };
        EXPECT_EQ(chooseTerminal(c.display, c.terminalVariable, isInstalled), c.chosen) << c.terminalVariable;
    }
}

TEST(ConsoleWindow, AttachCommandQuotesWhatAShellWouldSplit)
{
    EXPECT_EQ(tmuxAttachCommand("varno", "Q3 WinConsole"), "tmux -L varno attach -t 'Q3 WinConsole'");
    EXPECT_EQ(tmuxAttachCommand("t-1", "Q3 WinConsole 2"), "tmux -L t-1 attach -t 'Q3 WinConsole 2'");
    EXPECT_EQ(tmuxAttachCommand("a b", "it's"), "tmux -L 'a b' attach -t 'it'\\''s'");
}
