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

int number(SettingsStore& store, const SettingKey& key, int current)
{
    return key.clamp(store.ReadInteger(key, current));
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
        const std::string minBots = store.ReadString(kMinBots, "");
        bots.minBots = minBots.empty() ? 0 : toIntegerOrThrow(minBots);
        const bool autoKick = store.ReadBool(kAutoKick, true);
        const bool keepBots = store.ReadBool(kKeepBots, false);
        bots.autoKick = autoKick && !keepBots;
        if (const std::string level = store.ReadString(kBotlevel, ""); !level.empty())
            bots.skill = kBotlevel.clamp(toIntegerOrThrow(level));
        bots.noChat = store.ReadBool(kNoBotChat, false);
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

    state.gameFolder = store.ReadString(kQuakeDir, "");
    const std::vector<bool> checks = fromBotFlagString(store.ReadString(kBotList, ""), stockBotNames().size());
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
        line.extra = store.ReadString(kCmdLine, "");

    bool pureFromStartup = false;
    if (store.ReadInteger(kRestoreFlags, 0) == 2) {
        in.serverName = store.ReadString(kServerName, in.serverName);
        in.motd = store.ReadString(kMotd, in.motd);
        const std::string gameTypeText = store.ReadString(kGameTypeText, kGameTypeText.defaultText);
        const int storedIndex = store.ReadInteger(kGameType, 2);
        in.gameType = storedIndex >= 0 && storedIndex < int(kGameTypes.size()) ? storedIndex
                                                                                 : gameTypeIndex(gameTypeText);
        line.serverType = serverTypeIndex(store.ReadString(kServerType, kServerType.defaultText));
        line.memory = number(store, kMemory, line.memory);
        in.startMap = store.ReadString(kStartMap, in.startMap);
        in.maxPlayers = number(store, kMaxPlayers, in.maxPlayers);
        in.timeLimit = store.ReadInteger(kTimeLimit, in.timeLimit);
        in.fragLimit = store.ReadInteger(kFragLimit, in.fragLimit);
        pureFromStartup = store.ReadBool(kPureServer, false);
        in.rconPassword = store.ReadString(kRConPW, in.rconPassword);
    }

    in.rotation = FromCommaList(store.ReadString(kMapRotation, ""));
    in.allowRcon = store.ReadBool(kAllowRCon, true);

    in.serverPassword = store.ReadString(kPassword, in.serverPassword);
    in.maxRate = number(store, kMaxRate, in.maxRate);
    in.quadFactor = number(store, kQuadFactor, in.quadFactor);
    in.forceRespawn = number(store, kForceRespawn, in.forceRespawn);
    in.weaponRespawn = number(store, kWeaponRespawn, in.weaponRespawn);
    in.gravity = number(store, kGravity, in.gravity);
    in.speed = number(store, kSpeed, in.speed);
    in.knockback = number(store, kKnockback, in.knockback);
    // The Startup stage's pure-server value reaches the box first, whose handler stores it as PS.
    in.pureServer = store.ReadBool(kPS, pureFromStartup) || pureFromStartup;
    in.enableCheats = store.ReadBool(kEC, in.enableCheats);
    in.allowDownloads = store.ReadBool(kDownloads, in.allowDownloads);
    in.forceAutoJoin = store.ReadBool(kFA, in.forceAutoJoin);
    in.forceBalance = store.ReadBool(kFB, in.forceBalance);
    in.allowVote = store.ReadBool(kAV, in.allowVote);
    in.allowDemoRecording = store.ReadBool(kADR, in.allowDemoRecording);
    in.banListEnabled = store.ReadBool(kEB, in.banListEnabled);
    in.banList = FromCommaList(store.ReadString(kBanIPList, ""));
    return state;
}

} // namespace varno
