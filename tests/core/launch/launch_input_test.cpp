#include "core/launch/launch_input.h"

#include "core/settings/server_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace varno;

namespace {

// A model that holds values only; nothing reaches a store.
ServerModel heldModel()
{
    return ServerModel([]() -> std::unique_ptr<SettingsStore> { return nullptr; });
}

} // namespace

TEST(LaunchInput, EachFieldOfTheScriptComesFromTheKeyItsControlStores)
{
    using Field = std::function<std::string(const ServerScriptInput&)>;
    const auto number = [](int ServerScriptInput::*field) {
        return Field([field](const ServerScriptInput& in) { return std::to_string(in.*field); });
    };
    const auto flag = [](bool ServerScriptInput::*field) {
        return Field([field](const ServerScriptInput& in) { return std::string(in.*field ? "1" : "0"); });
    };
    const auto text = [](std::string ServerScriptInput::*field) {
        return Field([field](const ServerScriptInput& in) { return in.*field; });
    };
    const auto list = [](std::vector<std::string> ServerScriptInput::*field) {
        return Field([field](const ServerScriptInput& in) {
            std::string joined;
            for (const std::string& entry : in.*field)
                joined += entry + "|";
            return joined;
        });
    };
    const struct {
        const SettingKey& key;
        std::string held;
        Field field;
        std::string expected;
    } cases[] = {
        {kServerName, "Frag Hall", text(&ServerScriptInput::serverName), "Frag Hall"},
        {kMotd, "Hello", text(&ServerScriptInput::motd), "Hello"},
        {kGameType, "4", number(&ServerScriptInput::gameType), "4"},
        {kGameType, "-1", number(&ServerScriptInput::gameType), "-1"},
        {kMaxPlayers, "12", number(&ServerScriptInput::maxPlayers), "12"},
        {kFragLimit, "50", number(&ServerScriptInput::fragLimit), "50"},
        {kTimeLimit, "30", number(&ServerScriptInput::timeLimit), "30"},
        {kPS, "1", flag(&ServerScriptInput::pureServer), "1"},
        {kAllowRCon, "0", flag(&ServerScriptInput::allowRcon), "0"},
        {kRConPW, "rc", text(&ServerScriptInput::rconPassword), "rc"},
        {kEC, "1", flag(&ServerScriptInput::enableCheats), "1"},
        {kMapRotation, "q3dm7,q3dm1", list(&ServerScriptInput::rotation), "q3dm7|q3dm1|"},
        {kStartMap, "q3dm17", text(&ServerScriptInput::startMap), "q3dm17"},
        {kPassword, "pw", text(&ServerScriptInput::serverPassword), "pw"},
        {kMaxRate, "25000", number(&ServerScriptInput::maxRate), "25000"},
        {kQuadFactor, "4", number(&ServerScriptInput::quadFactor), "4"},
        {kForceRespawn, "10", number(&ServerScriptInput::forceRespawn), "10"},
        {kWeaponRespawn, "2", number(&ServerScriptInput::weaponRespawn), "2"},
        {kGravity, "600", number(&ServerScriptInput::gravity), "600"},
        {kSpeed, "400", number(&ServerScriptInput::speed), "400"},
        {kKnockback, "500", number(&ServerScriptInput::knockback), "500"},
        {kDownloads, "0", flag(&ServerScriptInput::allowDownloads), "0"},
        {kFA, "1", flag(&ServerScriptInput::forceAutoJoin), "1"},
        {kFB, "1", flag(&ServerScriptInput::forceBalance), "1"},
        {kAV, "0", flag(&ServerScriptInput::allowVote), "0"},
        {kADR, "1", flag(&ServerScriptInput::allowDemoRecording), "1"},
        {kEB, "0", flag(&ServerScriptInput::banListEnabled), "0"},
        {kBanIPList, "10.1.1.1,10.2.*", list(&ServerScriptInput::banList), "10.1.1.1|10.2.*|"},
        {kNoBotChat, "1", flag(&ServerScriptInput::noBotChat), "1"},
        // The ticked entries of the bot list, in list order.
        {kBotList, "00010001", list(&ServerScriptInput::bots), "Bitterman|Daemia|"},
        {kBotList, "", list(&ServerScriptInput::bots), ""},
        {kBotlevel, "2", number(&ServerScriptInput::botSkill), "2"},
        {kAutoKick, "0", flag(&ServerScriptInput::autoKickBots), "0"},
        {kMinBots, "3", number(&ServerScriptInput::minBots), "3"},
    };
    for (const auto& c : cases) {
        ServerModel model = heldModel();
        model.holdText(c.key, c.held);
        EXPECT_EQ(c.field(scriptInputFrom(model)), c.expected) << c.key.name << "=" << c.held;
    }
}

TEST(LaunchInput, TheCommandLineAndTheGameFolderComeFromTheirKeys)
{
    ServerModel model = heldModel();
    EXPECT_EQ(buildCommandLine(commandLineInputFrom(model, "q3ded")),
              "q3ded +set net_port 27960 +set fs_game baseq3 +set dedicated 1 +set com_hunkmegs 56 "
              "+exec vrn2data.cfg ");
    EXPECT_EQ(gameFolderFrom(model), "");

    model.holdText(kNetPort, "29876");
    model.holdText(kGameDir, "mymod");
    model.holdText(kServerType, "dedicated server"); // anything but exactly Dedicated is a listen server
    model.holdText(kMemory, "128");
    model.holdText(kCmdLine, "+set g_log 1");
    model.holdText(kQuakeDir, "/games/quake3");
    EXPECT_EQ(buildCommandLine(commandLineInputFrom(model, "ioq3ded")),
              "ioq3ded +set net_port 29876 +set fs_game mymod +set dedicated 0 +set com_hunkmegs 128 "
              "+exec vrn2data.cfg +set g_log 1");
    EXPECT_EQ(gameFolderFrom(model), "/games/quake3");
}
