#include "core/settings/ini_salvage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace varno;

TEST(IniSalvage, SoundTextNeedsEveryLineInItsShape)
{
    EXPECT_TRUE(isIniTextSound(""));
    EXPECT_TRUE(isIniTextSound("[General]\nRestoreFlags=2\n\n; note\n[ServerSettings]\nServerName=a=b\n"));
    // Hand edits: a "#" note, and a quote left open in a value.
    EXPECT_TRUE(isIniTextSound("[General]\n# a note\nRestoreFlags=2\n[ServerSettings]\nMOTD=say \"hi; there\n"));
    EXPECT_FALSE(isIniTextSound("[Server\"Settings]\nx=1\n"));
    EXPECT_FALSE(isIniTextSound("[A]\nname \"with=open quote\n"));
    EXPECT_TRUE(isIniTextSound("[A]\r\nx=1\r\n"));
    EXPECT_FALSE(isIniTextSound("[A]\nno equals sign\n"));
    EXPECT_FALSE(isIniTextSound("[A\nx=1\n"));
    EXPECT_FALSE(isIniTextSound("[A]\nx=1")); // cut off after the value's first character
    EXPECT_FALSE(isIniTextSound(std::string("[A]\nx=1\0\n", 9)));
}

TEST(IniSalvage, KeepsTheSoundLinesOfSoundSections)
{
    const struct {
        std::string damaged;
        std::string kept;
    } cases[] = {
        // Cut off in the middle of a line: that line goes, the rest stays.
        {"[ServerSettings]\nServerName=Frag Palace\nMOTD=Welc", "[ServerSettings]\nServerName=Frag Palace\n"},
        {"[A]\nx=1\n[B]\ny=2\nz", "[A]\nx=1\n[B]\ny=2\n"},
        // A broken header hides its values until the next sound one.
        {"[A]\nx=1\n[Bro\ny=2\n[C]\nz=3\n", "[A]\nx=1\n[C]\nz=3\n"},
        // Lines with zero bytes and lines without "=" go.
        {std::string("[A]\nx=1\ngar\0bage=2\njunk\nw=4\n", 28), "[A]\nx=1\nw=4\n"},
        {std::string(40, '\0'), ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(salvageIniText(c.damaged), c.kept);
}

TEST(IniSalvage, NamesEachLineItDropsAndWhy)
{
    using F = IniLineFault;
    const struct {
        std::string text;
        std::vector<UnreadableIniLine> lines;
    } cases[] = {
        {"[ServerTools]\nLPBCheckRate 5\nLPBMinPing=80\n", {{2, F::NoEquals, false, 0, "LPBCheckRate"}}},
        // A line's start names it, never its value: no password is quoted.
        {"[ServerSettings]\nRConPW hunter2\n", {{2, F::NoEquals, false, 0, "RConPW"}}},
        {std::string("[A]\nx=1\ngar\0bage=2\n", 19), {{3, F::ZeroByte, false, 0, "gar"}}},
        {std::string("\0\0\n[A]\n", 7), {{1, F::ZeroByte, false, 0, ""}}},
        {"[A]\nx=1\ry=2\n", {{2, F::CarriageReturn, false, 0, "x"}}},
        {"[A]\nname \"with=open quote\n", {{2, F::OpenQuote, false, 0, "name"}}},
        {"[Server\"Settings]\nx=1\n", {{1, F::OpenQuote, true, 2, "[Server\"Settings]"}}},
        // Below a broken header its values go with it, up to the last one before the next sound header.
        {"[A]\nx=1\n[Bro\ny=2\n\njunk\n; note\n[C]\nz=3\n", {{3, F::NoClosingBracket, true, 6, "[Bro"}}},
        {"[Bro\n\n[C]\nz=3\n", {{1, F::NoClosingBracket, true, 0, "[Bro"}}},
        {"[A]\nx=1\nServerName=Frag P", {{3, F::CutOff, false, 0, "ServerName"}}},
        {"[A]\nx=1\n  ", {{3, F::CutOff, false, 0, ""}}},
        {"[A]\nbroken\n[B\ny=1\n[C]\nz",
         {{2, F::NoEquals, false, 0, "broken"},
          {3, F::NoClosingBracket, true, 4, "[B"},
          {6, F::CutOff, false, 0, "z"}}},
        // A long start is cut, and never inside a character.
        {"[A]\n" + std::string(40, 'a') + "\n", {{2, F::NoEquals, false, 0, std::string(32, 'a')}}},
        {"[A]\n" + std::string(31, 'a') + "\xc3\xa9t\xc3\xa9\n", {{2, F::NoEquals, false, 0, std::string(31, 'a')}}},
        {"[A]\nx=1\n\n; note\n", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(unreadableIniLines(c.text), c.lines) << c.text;
}
