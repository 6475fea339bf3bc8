#include "core/launch/launch_input.h"

#include "core/settings/bot_flags.h"
#include "core/settings/server_model.h"

namespace varno {

ServerScriptInput scriptInputFrom(const ServerModel& model)
{
    ServerScriptInput in;
    in.serverName = model.text(kServerName);
    in.motd = model.text(kMotd);
    in.gameType = model.integer(kGameType);
    in.maxPlayers = model.integer(kMaxPlayers);
    in.fragLimit = model.integer(kFragLimit);
    in.timeLimit = model.integer(kTimeLimit);
    in.pureServer = model.flag(kPS);
    in.allowRcon = model.flag(kAllowRCon);
    in.rconPassword = model.text(kRConPW);
    in.enableCheats = model.flag(kEC);
    in.rotation = model.list(kMapRotation);
    in.startMap = model.text(kStartMap);
    in.serverPassword = model.text(kPassword);
    in.maxRate = model.integer(kMaxRate);
    in.quadFactor = model.integer(kQuadFactor);
    in.forceRespawn = model.integer(kForceRespawn);
    in.weaponRespawn = model.integer(kWeaponRespawn);
    in.gravity = model.integer(kGravity);
    in.speed = model.integer(kSpeed);
    in.knockback = model.integer(kKnockback);
    in.allowDownloads = model.flag(kDownloads);
    in.forceAutoJoin = model.flag(kFA);
    in.forceBalance = model.flag(kFB);
    in.allowVote = model.flag(kAV);
    in.allowDemoRecording = model.flag(kADR);
    in.banListEnabled = model.flag(kEB);
    in.banList = model.list(kBanIPList);
    in.noBotChat = model.flag(kNoBotChat);
    const std::vector<std::string>& names = stockBotNames();
    const std::vector<bool> checks = fromBotFlagString(model.text(kBotList), names.size());
    for (std::size_t i = 0; i < checks.size(); ++i) {
        if (checks[i])
            in.bots.push_back(names[i]);
    }
    in.botSkill = model.integer(kBotlevel);
    in.autoKickBots = model.flag(kAutoKick);
    in.minBots = model.integer(kMinBots);
    return in;
}

CommandLineInput commandLineInputFrom(const ServerModel& model, const std::string& program)
{
    CommandLineInput in;
    in.program = program;
    in.port = model.text(kNetPort);
    in.gameDir = model.text(kGameDir);
    in.serverType = serverTypeIndex(model.text(kServerType));
    in.memory = model.integer(kMemory);
    in.extra = model.text(kCmdLine);
    return in;
}

std::string gameFolderFrom(const ServerModel& model)
{
    return model.text(kQuakeDir);
}

} // namespace varno
