#include "core/app/varno_error.h"
#include "core/settings/bot_flags.h"
#include "core/settings/integer_text.h"
#include "core/settings/maps_folder.h"
#include "core/settings/schema.h"
#include "core/settings/settings_store.h"
#include "memory_store.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace varno;
using varno::test::MemoryStore;

TEST(StoredInteger, ReadsDecimalAndHexadecimalText)
{
    EXPECT_EQ(parseStoredInteger("0x1F"), 31);
    EXPECT_EQ(parseStoredInteger("0X1f"), 31);
    EXPECT_EQ(parseStoredInteger("0xFFFFFFFF"), -1);
    EXPECT_EQ(parseStoredInteger("42"), 42);
    EXPECT_EQ(parseStoredInteger("-7"), -7);
    EXPECT_EQ(parseStoredInteger("+7"), 7);
    EXPECT_EQ(parseStoredInteger("2147483647"), 2147483647);
    EXPECT_EQ(parseStoredInteger("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(parseStoredInteger("0"), 0);
    EXPECT_EQ(parseStoredInteger("0x"), std::nullopt); // two characters are decimal text, and not a number
    for (const char* bad : {"", "abc", " 5", "5 ", "1e3", "--1", "2147483648", "0x100000000", "0x-1", "0xG", "-"})
        EXPECT_EQ(parseStoredInteger(bad), std::nullopt) << bad;
}

TEST(StoredInteger, ConversionErrorNamesTheText)
{
    EXPECT_EQ(toIntegerOrThrow("12"), 12);
    try {
        toIntegerOrThrow("12a");
        FAIL() << "no error";
    } catch (const VarnoError& error) {
        EXPECT_STREQ(error.what(), "'12a' is not a valid integer value");
    }
}

TEST(BotFlags, WritesOneCharacterPerBotAndReadsWhatItCovers)
{
    EXPECT_EQ(toBotFlagString({true, false, true}), "101");
    EXPECT_EQ(fromBotFlagString("101", 5), (std::vector<bool>{true, false, true, false, false}));
    EXPECT_EQ(fromBotFlagString("1111", 2), (std::vector<bool>{true, true}));
    EXPECT_EQ(fromBotFlagString("x1", 2), (std::vector<bool>{false, true}));
    EXPECT_EQ(stockBotNames().size(), 31u);
    EXPECT_TRUE(std::is_sorted(stockBotNames().begin(), stockBotNames().end()));
}

TEST(BotFlags, SkillNamesByLevel)
{
    EXPECT_EQ(botSkillName(0), "");
    EXPECT_EQ(botSkillName(1), "I can Win!");
    EXPECT_EQ(botSkillName(4), "Hardcore");
    EXPECT_EQ(botSkillName(5), "(Nightmare!)");
    EXPECT_EQ(botSkillName(6), "");
}

TEST(Schema, NamesEveryValueOncePerSection)
{
    std::set<std::pair<std::string_view, std::string_view>> seen;
    for (const auto& key : allSettings())
        EXPECT_TRUE(seen.insert({key.section, key.name}).second) << key.section << "/" << key.name;
    EXPECT_EQ(findSetting("MapSettings", "MapRotation")->encoding, Encoding::CommaList);
    EXPECT_EQ(findSetting("AutoSave", "MapRotation")->encoding, Encoding::Flag);
    EXPECT_EQ(findSetting("ServerSettings", "Nope"), nullptr);
}

TEST(SettingsStore, StoringAStartupStageValueArmsThatStageOnce)
{
    const struct {
        SettingKey key;
        std::vector<std::string> writes;
    } cases[] = {
        {kServerName, {"ServerName=x", "RestoreFlags=2"}},
        {kRConPW, {"RConPW=x", "RestoreFlags=2"}},
        {kVarnoClients, {"VarnoClients=x", "RestoreFlags=2"}},
        {kMemory, {"Memory=x", "RestoreFlags=2"}},
        // Read by later stages, which load at every start.
        {kAllowRCon, {"AllowRCon=x"}},
        {kPassword, {"Password=x"}},
        {kMinBots, {"MinBots=x"}},
    };
    for (const auto& c : cases) {
        MemoryStore store;
        store.WriteString(c.key, "x");
        EXPECT_EQ(store.writes, c.writes) << c.key.name;
        // Once armed, further changes write only themselves.
        store.writes.clear();
        store.WriteString(c.key, "y");
        EXPECT_EQ(store.writes, std::vector<std::string>{std::string(c.key.name) + "=y"});
    }
}

TEST(MapsFolder, FallsBackOnTheInstallationOnlyWhenNoneIsChosen)
{
    const struct {
        std::string_view stored;
        std::string_view installDir;
        std::string shown;
        bool reminder;
    } cases[] = {
        {".", ".", "./Maps", true},
        {"x", "/opt/varno", "/opt/varno/Maps", false},
        {"/srv/maps", ".", "/srv/maps", false},
        {"/srv/maps", "/opt/varno", "/srv/maps", false},
        {"", ".", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shownMapsFolder(c.stored, c.installDir, '/'), c.shown) << c.stored << " " << c.installDir;
        EXPECT_EQ(needsMapsFolderReminder(c.stored, c.installDir), c.reminder) << c.stored << " " << c.installDir;
    }
}
