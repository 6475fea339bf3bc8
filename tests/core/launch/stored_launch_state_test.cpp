#include "core/launch/stored_launch_state.h"

#include "core/launch/launch_input.h"
#include "core/settings/server_model.h"
#include "core/settings/memory_store.h"

#include <gtest/gtest.h>

#include <memory>

using namespace varno;
using varno::test::MemoryStore;

namespace {

struct Loaded {
    ServerScriptInput script;
    CommandLineInput commandLine;
    std::vector<std::string> problems;
};

// What the launch reads once the loader has held what it reads from a store with these values.
Loaded loaded(const std::vector<std::pair<const SettingKey*, std::string>>& values)
{
    MemoryStore store;
    for (const auto& [key, text] : values)
        store.values[{std::string(key->section), std::string(key->name)}] = text;
    ServerModel model([]() -> std::unique_ptr<SettingsStore> { return nullptr; });
    Loaded result;
    result.problems = holdStartUpValues(model, store);
    result.script = scriptInputFrom(model);
    result.commandLine = commandLineInputFrom(model, "q3ded");
    EXPECT_TRUE(store.writes.empty());
    return result;
}

} // namespace

TEST(StoredLaunchState, TheStartupPagesValuesCountOnlyOnceTheRestoreFlagIsTwo)
{
    const std::vector<std::pair<const SettingKey*, std::string>> startup{
        {&kServerName, "Stored Hall"}, {&kMotd, "Hi"},         {&kGameType, "4"},
        {&kServerType, "Listen"},      {&kMemory, "5000"},     {&kNetPort, "29000"},
        {&kGameDir, "mymod"},          {&kStartMap, "q3dm17"}, {&kMaxPlayers, "1000"},
        {&kTimeLimit, "30"},           {&kFragLimit, "50"},    {&kRConPW, "rc"}};
    const Loaded without = loaded(startup);
    EXPECT_EQ(without.script.serverName, "Varno - Beastly Server");
    EXPECT_EQ(buildCommandLine(without.commandLine), buildCommandLine(loaded({}).commandLine));

    auto armed = startup;
    armed.push_back({&kRestoreFlags, "2"});
    const Loaded with = loaded(armed);
    EXPECT_EQ(with.script.serverName, "Stored Hall");
    EXPECT_EQ(with.script.motd, "Hi");
    EXPECT_EQ(with.script.gameType, 4);
    EXPECT_EQ(with.script.startMap, "q3dm17");
    EXPECT_EQ(with.script.maxPlayers, 999); // clamped to the field's range
    EXPECT_EQ(with.script.timeLimit, 30);
    EXPECT_EQ(with.script.fragLimit, 50);
    EXPECT_EQ(with.script.rconPassword, "rc");
    EXPECT_EQ(buildCommandLine(with.commandLine), "q3ded +set net_port 29000 +set fs_game mymod +set dedicated 0 "
                                                  "+set com_hunkmegs 1024 +exec vrn2data.cfg ");
}

TEST(StoredLaunchState, AGameTypeIndexOutOfRangeIsFoundByItsText)
{
    const struct {
        std::string index;
        std::string text;
        int gameType;
    } cases[] = {{"1", "Team Play - TDM", 1}, {"9", "Team Play - TDM", 3}, {"-1", "typed", -1}};
    for (const auto& c : cases) {
        const Loaded result = loaded({{&kRestoreFlags, "2"}, {&kGameType, c.index}, {&kGameTypeText, c.text}});
        EXPECT_EQ(result.script.gameType, c.gameType) << c.index << " " << c.text;
    }
}

TEST(StoredLaunchState, ThePureServerBoxIsCheckedByEitherOfItsValues)
{
    const struct {
        std::string restoreFlags;
        std::string pureServer;
        std::string ps;
        bool pure;
    } cases[] = {{"2", "1", "0", true}, {"0", "1", "0", false}, {"0", "0", "1", true}, {"2", "0", "0", false}};
    for (const auto& c : cases) {
        const Loaded result = loaded({{&kRestoreFlags, c.restoreFlags}, {&kPureServer, c.pureServer}, {&kPS, c.ps}});
        EXPECT_EQ(result.script.pureServer, c.pure) << c.restoreFlags << c.pureServer << c.ps;
    }
}

TEST(StoredLaunchState, BotValuesAreReadAsTextAndABadNumberEndsTheirLoading)
{
    const Loaded good = loaded({{&kMinBots, "3"},
                                {&kAutoKick, "1"},
                                {&kKeepBots, "1"},
                                {&kBotlevel, "9"},
                                {&kNoBotChat, "1"},
                                {&kBotList, "1"},
                                {&kCmdLine, "+set g_log 1"}});
    EXPECT_TRUE(good.problems.empty());
    EXPECT_EQ(good.script.minBots, 3);
    EXPECT_FALSE(good.script.autoKickBots); // keeping bots wins
    EXPECT_EQ(good.script.botSkill, 5);
    EXPECT_TRUE(good.script.noBotChat);
    EXPECT_EQ(good.script.bots, std::vector<std::string>{"Anarki"});
    EXPECT_EQ(good.commandLine.extra, "+set g_log 1");

    const Loaded bad = loaded({{&kMinBots, "3"},
                               {&kAutoKick, "0"},
                               {&kBotlevel, "x"},
                               {&kNoBotChat, "1"},
                               {&kBotList, "1"},
                               {&kCmdLine, "+set g_log 1"}});
    EXPECT_EQ(bad.problems, std::vector<std::string>{"'x' is not a valid integer value"});
    EXPECT_EQ(bad.script.minBots, 3);
    EXPECT_FALSE(bad.script.autoKickBots);
    EXPECT_EQ(bad.script.botSkill, 4);
    EXPECT_FALSE(bad.script.noBotChat);
    EXPECT_EQ(bad.script.bots, std::vector<std::string>{"Anarki"});
    EXPECT_EQ(bad.commandLine.extra, "");
}

TEST(StoredLaunchState, TheOtherPagesValuesAreReadWithTheirRangesAndDefaults)
{
    const Loaded result = loaded({{&kGravity, "5000"},
                                  {&kMaxRate, "0"},
                                  {&kMapRotation, "q3dm1,q3dm7"},
                                  {&kBanIPList, "10.1.1.1"},
                                  {&kAllowRCon, "0"},
                                  {&kEB, "0"},
                                  {&kPassword, "pw"}});
    EXPECT_EQ(result.script.gravity, 999);
    EXPECT_EQ(result.script.maxRate, 1);
    EXPECT_EQ(result.script.knockback, 1000);
    EXPECT_EQ(result.script.rotation, (std::vector<std::string>{"q3dm1", "q3dm7"}));
    EXPECT_EQ(result.script.banList, std::vector<std::string>{"10.1.1.1"});
    EXPECT_FALSE(result.script.allowRcon);
    EXPECT_FALSE(result.script.banListEnabled);
    EXPECT_TRUE(result.script.allowDownloads);
    EXPECT_EQ(result.script.serverPassword, "pw");
}
