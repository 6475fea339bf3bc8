#include "core/console/tmux_keys.h"

#include "key_test_support.h"

#include <gtest/gtest.h>

using namespace varno;
using varno::test::usEventsOf;
using Tokens = std::vector<std::string>;

TEST(TmuxKeys, TurnsKeyStringsIntoSendKeysArguments)
{
    const struct {
        std::string text;
        Tokens tokens;
    } cases[] = {
        {"echo hello{ENTER}", {"e", "c", "h", "o", "Space", "h", "e", "l", "l", "o", "Enter"}},
        {"Fraglimit 30{ENTER}", {"F", "r", "a", "g", "l", "i", "m", "i", "t", "Space", "3", "0", "Enter"}},
        {"^c", {"C-c"}},
        {"@f", {"M-f"}},
        {"@^x", {"C-M-x"}},
        {"^~a", {"C-A"}},
        {"^V", {"C-v"}}, // Ctrl leaves out the Shift a capital would ask for
        {"~a", {"A"}},
        {"a;b", {"a", "\\;", "b"}},
        {"^;", {"C-\\;"}},
        {":", {":"}},
        {"\"", {"\""}},
        {"~1", {"!"}},
        {"\\|'`", {"\\", "|", "'", "`"}},
        {"say hi!{ENTER}", {"s", "a", "y", "Space", "h", "i", "!", "Enter"}},
        {"{F5}", {"F5"}},
        {"{F1}{F10}{F12}", {"F1", "F10", "F12"}},
        {"{HOME}{END}{PGUP}{PGDN}{INSERT}{DELETE}", {"Home", "End", "PPage", "NPage", "IC", "DC"}},
        {"{TAB}{BKSP}{ESCAPE}", {"Tab", "BSpace", "Escape"}},
        {"\t\r\n\b", {"Tab", "Enter", "Enter", "BSpace"}},
        {"~{ENTER}~{TAB}", {"Enter", "Tab"}},
        {"@{F4}", {"M-F4"}},
        {"{SHIFT}a", {"a"}},
        {"{PRTSC}", {}},
        {"a\x80z", {"a", "z"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tmuxKeyTokens(usEventsOf(c.text)), c.tokens) << "text: " << c.text;
}

TEST(TmuxKeys, SendsNothingForReleases)
{
    const std::vector<KeyEvent> events = {
        {kWmKeyUp, 'A', 0x1E, 0, 0},
        {kWmSysKeyUp, 'F', 0x21, 0, 0},
        {kWmKeyUp, 13, 0x1C, 0, 0},
    };
    EXPECT_TRUE(tmuxKeyTokens(events).empty());
}
