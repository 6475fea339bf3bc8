#include "core/settings/schema.h"

#include "core/settings/integer_text.h"

#include <array>
#include <vector>

namespace varno {

namespace {

constexpr std::array kAllSettings{
    kRestoreFlags,
    kServerName, kMotd, kGameTypeText, kGameType, kServerType, kMemory, kStartMap, kMaxPlayers, kTimeLimit,
    kFragLimit, kPureServer, kRConPW, kVarnoClients, kAllowRCon, kNetPort, kGameDir,
    kBotList, kMinBots, kAutoKick, kKeepBots, kBotlevel, kNoBotChat,
    kMapRotation,
    kPassword, kMaxRate, kPort, kQuadFactor, kForceRespawn, kWeaponRespawn, kGravity, kSpeed, kKnockback, kPS,
    kCD, kDownloads, kFA, kFB, kAV, kADR, kEC, kEB, kBanIPList,
    // The host choice loads the remote radio button first, then the local one.
    kRemoteHost, kLocalHost, kRemoteHostAddress, kLPBRemotePort, kLPBMinPing, kLPBCheckRate, kLPBMsg1, kLPBMsg2,
    kLPBRCon, kLPBMsg, kKickLPB, kBanIP, kKickBanned, kLogLPBs, kLPBPort2, kLPBPort3, kLPBPort4,
    kQuakeDir, kMapsDir, kInstallDir, kShowMap, kSystray, kOpenConsoleTerminal, kRelaunchServer,
    kAutoSaveMapRotation, kAutoSaveStartup, kAutoSaveRemoteAccess, kAutoSaveServerTools, kAutoSaveAdvanced,
    kCmdLine,
    kProfileName,
    kProfileRemote,
};

constexpr std::array kRestorableSections{kSectionBots, kSectionAdvanced, kSectionMaps, kSectionServer,
                                         kSectionServerTools};

} // namespace

int SettingKey::clamp(int value) const
{
    if (!hasRange())
        return value;
    return value < minimum ? minimum : (value > maximum ? maximum : value);
}

int SettingKey::defaultInteger() const
{
    return parseStoredInteger(defaultText).value_or(0);
}

std::span<const SettingKey> allSettings()
{
    return kAllSettings;
}

const SettingKey* findSetting(std::string_view section, std::string_view name)
{
    for (const auto& key : kAllSettings) {
        if (key.section == section && key.name == name)
            return &key;
    }
    return nullptr;
}

bool readByStartupStage(std::string_view section, std::string_view name)
{
    const SettingKey* key = findSetting(section, name);
    return key && key->stage == LoadStage::Startup;
}

std::vector<const SettingKey*> settingsOfStage(LoadStage stage)
{
    std::vector<const SettingKey*> keys;
    for (const SettingKey& key : kAllSettings) {
        if (key.stage == stage)
            keys.push_back(&key);
    }
    return keys;
}

std::span<const std::string_view> restorableSections()
{
    return kRestorableSections;
}

} // namespace varno
