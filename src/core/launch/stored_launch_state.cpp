#include "core/launch/stored_launch_state.h"

#include "core/launch/server_script.h"

#include "core/app/varno_error.h"
#include "core/settings/integer_text.h"
#include "core/settings/schema.h"
#include "core/settings/server_model.h"
#include "core/settings/settings_store.h"

#include <array>

namespace varno {

namespace {

// The loader's readings, each held as its control would show it.
class Holder {
public:
    Holder(ServerModel& model, SettingsStore& store)
        : m_model(model)
        , m_store(store)
    {
    }

    void text(const SettingKey& key) { m_model.holdText(key, m_store.ReadString(key)); }
    void number(const SettingKey& key, int value) { m_model.holdText(key, toDecimal(value)); }
    void number(const SettingKey& key) { number(key, key.clamp(m_store.ReadInteger(key))); }
    void flag(const SettingKey& key, bool on) { m_model.holdText(key, on ? "1" : "0"); }
    void flag(const SettingKey& key) { flag(key, m_store.ReadBool(key)); }

private:
    ServerModel& m_model;
    SettingsStore& m_store;
};

// The bot values and the extra command line, which the loader reads after them. A text that is not a number ends
// the loading there.
void holdBotValues(Holder& hold, SettingsStore& store, std::vector<std::string>& problems)
{
    try {
        const std::string minBots = store.ReadString(kMinBots);
        hold.number(kMinBots, minBots.empty() ? 0 : toIntegerOrThrow(minBots));
        // Both radio buttons are loaded, the second one last: keeping bots wins.
        const bool keepBots = store.ReadBool(kKeepBots);
        hold.flag(kAutoKick, store.ReadBool(kAutoKick) && !keepBots);
        hold.flag(kKeepBots, keepBots);
        // An empty level leaves the field as it is.
        if (const std::string level = store.ReadString(kBotlevel); !level.empty())
            hold.number(kBotlevel, kBotlevel.clamp(toIntegerOrThrow(level)));
        hold.flag(kNoBotChat);
        hold.text(kCmdLine);
    } catch (const VarnoError& error) {
        problems.push_back(error.what());
    }
}

} // namespace

std::vector<std::string> holdStartUpValues(ServerModel& model, SettingsStore& store)
{
    std::vector<std::string> problems;
    Holder hold(model, store);

    hold.text(kQuakeDir);
    hold.text(kBotList);
    holdBotValues(hold, store, problems);

    bool pureFromStartup = false;
    if (store.ReadInteger(kRestoreFlags) == kStartupStageArmed) {
        hold.text(kServerName);
        hold.text(kMotd);
        const std::string gameTypeText = store.ReadString(kGameTypeText);
        model.holdText(kGameTypeText, gameTypeText);
        const int storedIndex = store.ReadInteger(kGameType);
        hold.number(kGameType, storedIndex >= 0 && storedIndex < int(kGameTypeNames.size()) ? storedIndex
                                                                                        : gameTypeIndex(gameTypeText));
        hold.text(kServerType);
        hold.number(kMemory);
        hold.number(kNetPort);
        hold.text(kGameDir);
        hold.text(kStartMap);
        hold.number(kMaxPlayers);
        hold.number(kTimeLimit);
        hold.number(kFragLimit);
        pureFromStartup = store.ReadBool(kPureServer);
        hold.text(kRConPW);
    }

    hold.text(kMapRotation);
    hold.flag(kAllowRCon);

    hold.text(kPassword);
    for (const SettingKey* key :
         {&kMaxRate, &kQuadFactor, &kForceRespawn, &kWeaponRespawn, &kGravity, &kSpeed, &kKnockback})
        hold.number(*key);
    // The Startup stage's pure-server value reaches the box first, whose handler stores it as PS.
    hold.flag(kPS, store.ReadBool(kPS) || pureFromStartup);
    for (const SettingKey* key : {&kEC, &kDownloads, &kFA, &kFB, &kAV, &kADR, &kEB})
        hold.flag(*key);
    hold.text(kBanIPList);
    return problems;
}

} // namespace varno
