#pragma once

#include <span>
#include <string_view>

namespace varno {

enum class Encoding { Text, Integer, Flag, CommaList, BotFlags };

// One stored value: where it lives, how it is encoded, the value it starts from when missing (for
// most values the initial content of the control that shows it) and, for a number field with a range,
// that range (minimum == maximum: no range).
struct SettingKey {
    std::string_view section;
    std::string_view name;
    Encoding encoding;
    std::string_view defaultText;
    int minimum = 0;
    int maximum = 0;

    bool hasRange() const { return minimum != maximum; }
    // A value as its field shows it: clamped to the range when there is one.
    int clamp(int value) const;
    // The default of an Integer or Flag value as a number (0 where the text is not one).
    int defaultInteger() const;
};

inline constexpr std::string_view kSectionGeneral = "General";
inline constexpr std::string_view kSectionServer = "ServerSettings";
inline constexpr std::string_view kSectionBots = "BotSettings";
inline constexpr std::string_view kSectionMaps = "MapSettings";
inline constexpr std::string_view kSectionAdvanced = "AdvancedSettings";
inline constexpr std::string_view kSectionServerTools = "ServerTools";
inline constexpr std::string_view kSectionProgram = "ProgramSettings";
inline constexpr std::string_view kSectionAutoSave = "AutoSave";
inline constexpr std::string_view kSectionCmdLine = "SrvCmdLine";

// The product's web site, named by the message of the day, the script comments and the About window.
inline constexpr std::string_view kWebSite = "www.varno.example.org";
inline constexpr std::string_view kInitialMotd = "Beastly fragging served by Varno Server - www.varno.example.org";

// General
inline constexpr SettingKey kRestoreFlags{kSectionGeneral, "RestoreFlags", Encoding::Integer, "0"};
// The restore flag's one written value: the loader's Startup stage reads the stored values.
inline constexpr int kStartupStageArmed = 2;

// ServerSettings: the Startup page and three values of the Remote Access page
inline constexpr SettingKey kServerName{kSectionServer, "ServerName", Encoding::Text, "Varno - Beastly Server"};
inline constexpr SettingKey kMotd{kSectionServer, "MOTD", Encoding::Text, kInitialMotd};
inline constexpr SettingKey kGameTypeText{kSectionServer, "GameTypeText", Encoding::Text, "Free for All - DM"};
inline constexpr SettingKey kGameType{kSectionServer, "GameType", Encoding::Integer, "2"};
inline constexpr SettingKey kServerType{kSectionServer, "ServerType", Encoding::Text, "Dedicated"};
inline constexpr SettingKey kMemory{kSectionServer, "Memory", Encoding::Integer, "56", 16, 1024};
inline constexpr SettingKey kStartMap{kSectionServer, "StartMap", Encoding::Text, "<none>"};
inline constexpr SettingKey kMaxPlayers{kSectionServer, "MaxPlayers", Encoding::Integer, "32", 0, 999};
inline constexpr SettingKey kTimeLimit{kSectionServer, "TimeLimit", Encoding::Integer, "0"};
inline constexpr SettingKey kFragLimit{kSectionServer, "FragLimit", Encoding::Integer, "20"};
inline constexpr SettingKey kPureServer{kSectionServer, "PureServer", Encoding::Flag, "0"};
inline constexpr SettingKey kRConPW{kSectionServer, "RConPW", Encoding::Text, ""};
inline constexpr SettingKey kVarnoClients{kSectionServer, "VarnoClients", Encoding::Flag, "0"};
inline constexpr SettingKey kAllowRCon{kSectionServer, "AllowRCon", Encoding::Flag, "1"};
// The Startup page's game port and game directory, passed to the game on its command line.
inline constexpr SettingKey kNetPort{kSectionServer, "NetPort", Encoding::Integer, "27960", 0, 9999999};
inline constexpr SettingKey kGameDir{kSectionServer, "GameDir", Encoding::Text, "baseq3"};

// BotSettings
inline constexpr SettingKey kBotList{kSectionBots, "BotList", Encoding::BotFlags, ""};
inline constexpr SettingKey kMinBots{kSectionBots, "MinBots", Encoding::Integer, "0"};
inline constexpr SettingKey kAutoKick{kSectionBots, "AutoKick", Encoding::Flag, "1"};
inline constexpr SettingKey kKeepBots{kSectionBots, "KeepBots", Encoding::Flag, "0"};
inline constexpr SettingKey kBotlevel{kSectionBots, "Botlevel", Encoding::Integer, "4", 0, 5};
inline constexpr SettingKey kNoBotChat{kSectionBots, "NoBotChat", Encoding::Flag, "0"};

// MapSettings
inline constexpr SettingKey kMapRotation{kSectionMaps, "MapRotation", Encoding::CommaList, ""};

// AdvancedSettings
inline constexpr SettingKey kPassword{kSectionAdvanced, "Password", Encoding::Text, ""};
inline constexpr SettingKey kMaxRate{kSectionAdvanced, "MaxRate", Encoding::Integer, "10000", 1, 999999999};
inline constexpr SettingKey kPort{kSectionAdvanced, "Port", Encoding::Integer, "27960", 0, 999999};
inline constexpr SettingKey kQuadFactor{kSectionAdvanced, "QuadFactor", Encoding::Integer, "3", 0, 99};
inline constexpr SettingKey kForceRespawn{kSectionAdvanced, "ForceRespawn", Encoding::Integer, "20", 0, 99};
inline constexpr SettingKey kWeaponRespawn{kSectionAdvanced, "WeaponRespawn", Encoding::Integer, "5", 0, 99};
inline constexpr SettingKey kGravity{kSectionAdvanced, "Gravity", Encoding::Integer, "800", 0, 999};
inline constexpr SettingKey kSpeed{kSectionAdvanced, "Speed", Encoding::Integer, "320", 0, 999};
inline constexpr SettingKey kKnockback{kSectionAdvanced, "Knockback", Encoding::Integer, "1000", 0, 9999};
inline constexpr SettingKey kPS{kSectionAdvanced, "PS", Encoding::Flag, "0"};
inline constexpr SettingKey kCD{kSectionAdvanced, "CD", Encoding::Flag, "0"};
inline constexpr SettingKey kDownloads{kSectionAdvanced, "downloads", Encoding::Flag, "1"};
inline constexpr SettingKey kFA{kSectionAdvanced, "FA", Encoding::Flag, "0"};
inline constexpr SettingKey kFB{kSectionAdvanced, "FB", Encoding::Flag, "0"};
inline constexpr SettingKey kAV{kSectionAdvanced, "AV", Encoding::Flag, "1"};
inline constexpr SettingKey kADR{kSectionAdvanced, "ADR", Encoding::Flag, "0"};
inline constexpr SettingKey kEC{kSectionAdvanced, "EC", Encoding::Flag, "0"};
inline constexpr SettingKey kEB{kSectionAdvanced, "EB", Encoding::Flag, "1"};
inline constexpr SettingKey kBanIPList{kSectionAdvanced, "BanIPList", Encoding::CommaList, ""};

// ServerTools: the ZOZ Idaroz page
inline constexpr SettingKey kLocalHost{kSectionServerTools, "LocalHost", Encoding::Flag, "1"};
inline constexpr SettingKey kRemoteHost{kSectionServerTools, "RemoteHost", Encoding::Flag, "0"};
inline constexpr SettingKey kRemoteHostAddress{kSectionServerTools, "RemoteHostAddress", Encoding::Text, ""};
inline constexpr SettingKey kLPBRemotePort{kSectionServerTools, "LPBRemotePort", Encoding::Integer, "27960", 1, 9999999};
inline constexpr SettingKey kLPBMinPing{kSectionServerTools, "LPBMinPing", Encoding::Integer, "100", 1, 9999};
inline constexpr SettingKey kLPBCheckRate{kSectionServerTools, "LPBCheckRate", Encoding::Integer, "15", 1, 9999};
inline constexpr SettingKey kLPBMsg1{kSectionServerTools, "LPBMsg1", Encoding::Text, "Warning: Player "};
inline constexpr SettingKey kLPBMsg2{kSectionServerTools, "LPBMsg2", Encoding::Text,
                                     " ^7is an LPB and will be removed."};
inline constexpr SettingKey kLPBRCon{kSectionServerTools, "LPBRCon", Encoding::Text, ""};
inline constexpr SettingKey kLPBMsg{kSectionServerTools, "LPBMsg", Encoding::Flag, "1"};
inline constexpr SettingKey kKickLPB{kSectionServerTools, "KickLPB", Encoding::Flag, "1"};
inline constexpr SettingKey kBanIP{kSectionServerTools, "BanIP", Encoding::Flag, "0"};
// Players whose address the banned-address list matches are removed on sight while the watcher runs.
inline constexpr SettingKey kKickBanned{kSectionServerTools, "KickBanned", Encoding::Flag, "1"};
inline constexpr SettingKey kLogLPBs{kSectionServerTools, "LogLPBs", Encoding::Flag, "1"};
inline constexpr SettingKey kLPBPort2{kSectionServerTools, "LPBPort2", Encoding::Integer, "0", 0, 9999999};
inline constexpr SettingKey kLPBPort3{kSectionServerTools, "LPBPort3", Encoding::Integer, "0", 0, 9999999};
inline constexpr SettingKey kLPBPort4{kSectionServerTools, "LPBPort4", Encoding::Integer, "0", 0, 9999999};

// ProgramSettings: the Properties dialog
inline constexpr SettingKey kQuakeDir{kSectionProgram, "QuakeDir", Encoding::Text, ""};
inline constexpr SettingKey kMapsDir{kSectionProgram, "MapsDir", Encoding::Text, "."};
inline constexpr SettingKey kInstallDir{kSectionProgram, "InstallDir", Encoding::Text, "."};
inline constexpr SettingKey kShowMap{kSectionProgram, "ShowMap", Encoding::Flag, "1"};
inline constexpr SettingKey kSystray{kSectionProgram, "Systray", Encoding::Flag, "1"};
// Linux: open a terminal window attached to the server console after a launch.
inline constexpr SettingKey kOpenConsoleTerminal{kSectionProgram, "OpenConsoleTerminal", Encoding::Flag, "1"};
// Launch the server again when it stops unexpectedly.
inline constexpr SettingKey kRelaunchServer{kSectionProgram, "RelaunchServer", Encoding::Flag, "1"};

// AutoSave: the disabled group of the Properties dialog
inline constexpr SettingKey kAutoSaveMapRotation{kSectionAutoSave, "MapRotation", Encoding::Flag, "1"};
inline constexpr SettingKey kAutoSaveStartup{kSectionAutoSave, "Startup", Encoding::Flag, "1"};
inline constexpr SettingKey kAutoSaveRemoteAccess{kSectionAutoSave, "RemoteAccess", Encoding::Flag, "1"};
inline constexpr SettingKey kAutoSaveServerTools{kSectionAutoSave, "ServerTools", Encoding::Flag, "1"};
inline constexpr SettingKey kAutoSaveAdvanced{kSectionAutoSave, "Advanced", Encoding::Flag, "1"};

// SrvCmdLine: the Command Line dialog
inline constexpr SettingKey kCmdLine{kSectionCmdLine, "CmdLine", Encoding::Text, ""};

// Every value above, section by section.
std::span<const SettingKey> allSettings();

// Finds a value by section and name (exact spelling); nullptr when the schema has no such value.
const SettingKey* findSetting(std::string_view section, std::string_view name);

// Whether the start-up loader's Startup stage reads this value (the Startup page, RConPW, VarnoClients):
// storing one arms that stage, so that what the operator typed comes back at the next start.
bool readByStartupStage(std::string_view section, std::string_view name);

// The sections that restoring the defaults of all pages erases, in erase order.
std::span<const std::string_view> restorableSections();

} // namespace varno
