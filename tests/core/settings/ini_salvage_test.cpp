#include "core/settings/ini_salvage.h"

#include <gtest/gtest.h>

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
