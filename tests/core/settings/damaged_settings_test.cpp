#include "core/settings/damaged_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace varno;

TEST(DamagedSettings, DescribesEachUnreadableLine)
{
    using F = IniLineFault;
    const struct {
        UnreadableIniLine line;
        std::string text;
    } cases[] = {
        {{14, F::NoEquals, false, 0, "LPBCheckRate"}, "line 14 (LPBCheckRate) has no \"=\""},
        {{3, F::ZeroByte, false, 0, ""}, "line 3 holds a zero byte"},
        {{2, F::CarriageReturn, false, 0, "x"}, "line 2 (x) holds a carriage return"},
        {{2, F::OpenQuote, false, 0, "name"}, "line 2 (name) leaves a double quote open"},
        {{9, F::NoClosingBracket, true, 0, "[Adv"}, "line 9 ([Adv) has no closing \"]\""},
        {{9, F::NoClosingBracket, true, 10, "[Adv"},
         "line 9 ([Adv) has no closing \"]\", so line 10 below it was left out too"},
        {{9, F::NoClosingBracket, true, 12, "[Adv"},
         "line 9 ([Adv) has no closing \"]\", so the lines below it up to line 12 were left out too"},
        {{30, F::CutOff, false, 0, "ServerName"},
         "line 30 (ServerName) is cut off (the file does not end with a line break)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describeUnreadableLine(c.line), c.text);
}

TEST(DamagedSettings, NoticeSaysWhatWasLostWhereTheFileWentAndWhatWasKept)
{
    const UnreadableIniLine noEquals{5, IniLineFault::NoEquals, false, 0, "LPBCheckRate"};
    std::vector<UnreadableIniLine> junk;
    for (int line = 1; line <= 8; ++line)
        junk.push_back({line, IniLineFault::NoEquals, false, 0, ""});
    const std::string lost = "The settings file /s.ini could not be read: line 5 (LPBCheckRate) has no \"=\"";
    const struct {
        DamagedSettingsFile file;
        std::string notice;
    } cases[] = {
        {{"/s.ini", "/s.ini.damaged", {"ServerSettings/ServerName", "ServerTools/LPBMinPing"}, {noEquals}},
         lost + ". It was kept as /s.ini.damaged, and Varno Server now uses the values that could still be read "
                "from it (ServerSettings/ServerName, ServerTools/LPBMinPing) and the default settings for the "
                "rest."},
        {{"/s.ini", "/s.ini.damaged-2", {}, {noEquals}},
         lost + ". It was kept as /s.ini.damaged-2, and Varno Server now uses the default settings."},
        {{"/s.ini", "", {}, {noEquals}},
         lost + ". It could not be kept aside, so Varno Server uses the default settings until it is mended or "
                "removed."},
        // A file of junk: the first lines are named, the rest counted.
        {{"/s.ini", "", {}, junk},
         "The settings file /s.ini could not be read: line 1 has no \"=\"; line 2 has no \"=\"; line 3 has no "
         "\"=\"; line 4 has no \"=\"; line 5 has no \"=\"; and 3 more. It could not be kept aside, so Varno Server "
         "uses the default settings until it is mended or removed."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(damagedSettingsNotice(c.file), c.notice);
}
