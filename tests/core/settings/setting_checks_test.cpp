#include "core/app/varno_error.h"
#include "core/settings/setting_checks.h"
#include "memory_store.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace varno;
using varno::test::MemoryStore;

TEST(SettingChecks, UnknownNamesAreRefusedNamingTheValidOnes)
{
    const struct {
        std::string section;
        std::string name;
        std::optional<std::string> problem;
    } cases[] = {
        {"ServerTools", "LPBCheckRate", std::nullopt},
        {"AutoSave", "MapRotation", std::nullopt},
        {"Advanced", "Gravity",
         "unknown section 'Advanced'; the sections are General, ServerSettings, BotSettings, MapSettings, "
         "AdvancedSettings, ServerTools, ProgramSettings, AutoSave, SrvCmdLine, Profile"},
        // Spelled exactly, as the file and the panel spell it.
        {"serversettings", "ServerName",
         "unknown section 'serversettings'; the sections are General, ServerSettings, BotSettings, MapSettings, "
         "AdvancedSettings, ServerTools, ProgramSettings, AutoSave, SrvCmdLine, Profile"},
        {"BotSettings", "Nope",
         "unknown key 'Nope' in section BotSettings; its keys are BotList, MinBots, AutoKick, KeepBots, Botlevel, "
         "NoBotChat"},
        {"AdvancedSettings", "Downloads",
         "unknown key 'Downloads' in section AdvancedSettings; its keys are Password, MaxRate, Port, QuadFactor, "
         "ForceRespawn, WeaponRespawn, Gravity, Speed, Knockback, PS, CD, downloads, FA, FB, AV, ADR, EC, EB, "
         "BanIPList"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(settingNameProblem(c.section, c.name), c.problem) << c.section << " " << c.name;
}

TEST(SettingChecks, ValuesAreCheckedAgainstTheirKeysKindAndRange)
{
    const struct {
        SettingKey key;
        std::string text;
        std::optional<std::string> problem;
    } cases[] = {
        {kGravity, "999", std::nullopt},
        {kGravity, "0x10", std::nullopt}, // read by the store as 16
        {kGravity, "1000",
         "'1000' is not a valid value for AdvancedSettings Gravity; it takes a whole number from 0 to 999"},
        {kGravity, "-1",
         "'-1' is not a valid value for AdvancedSettings Gravity; it takes a whole number from 0 to 999"},
        {kLPBCheckRate, "0",
         "'0' is not a valid value for ServerTools LPBCheckRate; it takes a whole number from 1 to 9999"},
        {kMinBots, "-3", std::nullopt},
        {kMinBots, "x", "'x' is not a valid value for BotSettings MinBots; it takes a whole number"},
        {kMinBots, "", "'' is not a valid value for BotSettings MinBots; it takes a whole number"},
        {kMinBots, "2147483648", "'2147483648' is not a valid value for BotSettings MinBots; it takes a whole number"},
        {kPureServer, "1", std::nullopt},
        {kPureServer, "2", "'2' is not a valid value for ServerSettings PureServer; it takes 0 or 1"},
        {kPureServer, "true", "'true' is not a valid value for ServerSettings PureServer; it takes 0 or 1"},
        {kServerName, "Frag, Palace; \"quoted\"", std::nullopt},
        {kMapRotation, "q3dm1,q3dm7", std::nullopt},
        {kBotList, "101", std::nullopt},
        {kBotList, std::string(31, '1'), std::nullopt},
        {kBotList, std::string(32, '1'),
         "'" + std::string(32, '1') +
             "' is not a valid value for BotSettings BotList; it takes up to 31 digits 0 "
             "or 1, one for each bot of the list in its order"},
        {kBotList, "1x1",
         "'1x1' is not a valid value for BotSettings BotList; it takes up to 31 digits 0 or 1, one for each bot of "
         "the list in its order"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(settingValueProblem(c.key, c.text), c.problem) << c.key.name << " '" << c.text << "'";
}

TEST(SettingChecks, ValuesAreStoredAsThePanelsFieldsStoreThem)
{
    const struct {
        SettingKey key;
        std::string text;
        std::vector<std::string> writes;
    } cases[] = {
        {kGravity, "0x10", {"Gravity=16"}},
        {kMinBots, "+7", {"MinBots=7"}},
        {kPureServer, "1", {"PureServer=1", "RestoreFlags=2"}}, // a Startup page value arms that stage
        {kLPBRCon, " pass word ", {"LPBRCon= pass word "}},
        {kBotList, "0101", {"BotList=0101"}},
    };
    for (const auto& c : cases) {
        MemoryStore store;
        writeSettingValue(store, c.key, c.text);
        EXPECT_EQ(store.writes, c.writes) << c.key.name;
    }
    MemoryStore store;
    EXPECT_THROW(writeSettingValue(store, kGravity, "5000"), VarnoError);
    EXPECT_TRUE(store.writes.empty());
}
