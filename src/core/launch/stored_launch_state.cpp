#include "core/launch/stored_launch_state.h"

#include "core/app/varno_error.h"
#include "core/settings/bot_flags.h"
#include "core/settings/comma_list.h"
#include "core/settings/integer_text.h"
#include "core/settings/schema.h"

#include <array>

namespace varno {

namespace {

constexpr std::array<std::string_view, 5> kGameTypes{"Single-Player Mode", "Tourney - 1v1", "Free for All - DM",
                                                     "Team Play - TDM", "Capture the Flag - CTF"};

int gameTypeIndex(std::string_view text)
{
    for (std::size_t i = 0; i < kGameTypes.size(); ++i) {
        if (kGameTypes[i] == text)
            return int(i);
    }
    return -1;
}

int number(SettingsStore& store, const SettingKey& key)
{
    return key.clamp(store.ReadInteger(key));
}

// The bot values the loader reads as text; a text that is not a number ends the loading of the rest.
struct BotValues {
    int minBots = 0;
    bool autoKick = true;
    int skill = 4;
    bool noChat = false;
    bool complete = true; // false when a bad text ended the loading early
};

BotValues botValues(SettingsStore& store, std::vector<std::string>& problems)
{
    BotValues bots;
    try {
        const std::string minBots = store.ReadString(kMinBots);
        bots.minBots = minBots.empty() ? 0 : toIntegerOrThrow(minBots);
        const bool autoKick = store.ReadBool(kAutoKick);
        const bool keepBots = store.ReadBool(kKeepBots);
        bots.autoKick = autoKick && !keepBots;
        if (const std::string level = store.ReadString(kBotlevel); !level.empty())
            bots.skill = kBotlevel.clamp(toIntegerOrThrow(level));
        bots.noChat = store.ReadBool(kNoBotChat);
    } catch (const VarnoError& error) {
        problems.push_back(error.what());
        bots.complete = false;
    }
    return bots;
}

} // namespace

StoredLaunchState launchStateFromStore(SettingsStore& store)
{
    StoredLaunchState state;
    ServerScriptInput& in = state.script;
    CommandLineInput& line = state.commandLine;

    state.gameFolder = store.ReadString(kQuakeDir);
    const std::vector<bool> checks = fromBotFlagString(store.ReadString(kBotList), stockBotNames().size());
    for (std::size_t i = 0; i < checks.size(); ++i) {
        if (checks[i])
            in.bots.push_back(stockBotNames()[i]);
    }
    const BotValues bots = botValues(store, state.problems);
    in.minBots = bots.minBots;
    in.autoKickBots = bots.autoKick;
    in.botSkill = bots.skill;
    in.noBotChat = bots.noChat;
    if (bots.complete)
        line.extra = store.ReadString(kCmdLine);

    bool pureFromStartup = false;
    if (store.ReadInteger(kRestoreFlags) == kStartupStageArmed) {
        in.serverName = store.ReadString(kServerName);
        in.motd = store.ReadString(kMotd);
        const std::string gameTypeText = store.ReadString(kGameTypeText);
        const int storedIndex = store.ReadInteger(kGameType);
        in.gameType = storedIndex >= 0 && storedIndex < int(kGameTypes.size()) ? storedIndex
                                                                                 : gameTypeIndex(gameTypeText);
        line.serverType = serverTypeIndex(store.ReadString(kServerType));
        line.memory = number(store, kMemory);
        in.startMap = store.ReadString(kStartMap);
        in.maxPlayers = number(store, kMaxPlayers);
        in.timeLimit = store.ReadInteger(kTimeLimit);
        in.fragLimit = store.ReadInteger(kFragLimit);
        pureFromStartup = store.ReadBool(kPureServer);
        in.rconPassword = store.ReadString(kRConPW);
    }

    in.rotation = FromCommaList(store.ReadString(kMapRotation));
    in.allowRcon = store.ReadBool(kAllowRCon);

    in.serverPassword = store.ReadString(kPassword);
    in.maxRate = number(store, kMaxRate);
    in.quadFactor = number(store, kQuadFactor);
    in.forceRespawn = number(store, kForceRespawn);
    in.weaponRespawn = number(store, kWeaponRespawn);
    in.gravity = number(store, kGravity);
    in.speed = number(store, kSpeed);
    in.knockback = number(store, kKnockback);
    // The Startup stage's pure-server value reaches the box first, whose handler stores it as PS.
    in.pureServer = store.ReadBool(kPS) || pureFromStartup;
    in.enableCheats = store.ReadBool(kEC);
    in.allowDownloads = store.ReadBool(kDownloads);
    in.forceAutoJoin = store.ReadBool(kFA);
    in.forceBalance = store.ReadBool(kFB);
    in.allowVote = store.ReadBool(kAV);
    in.allowDemoRecording = store.ReadBool(kADR);
    in.banListEnabled = store.ReadBool(kEB);
    in.banList = FromCommaList(store.ReadString(kBanIPList));
    return state;
}

} // namespace varno
