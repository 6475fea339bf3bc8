#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace varno {

enum class Encoding { Text, Integer, Flag, CommaList, BotFlags };

// The start-up loader's stage that reads a value back into its control, in the order they run; None: no stage
// reads it, and its control keeps its first state at every start. Within a stage values load in schema order.
enum class LoadStage { None, Properties, Bots, Startup, Maps, RemoteAccess, Advanced };

// One stored value: where it lives, how it is encoded, the value it starts from when missing (for
// most values the initial content of the control that shows it), the loader's stage that reads it and,
// for a number field with a range, that range (minimum == maximum: no range).
struct SettingKey {
    std::string_view section;
    std::string_view name;
    Encoding encoding;
    std::string_view defaultText;
    LoadStage stage = LoadStage::None;
    int minimum = 0;
    int maximum = 0;

    bool hasRange() const { return minimum != maximum; }
    // A value as its field shows it: clamped to the range when there is one.
    int clamp(int value) const;
    // The default of an Integer or Flag value as a number (0 where the text is not one).
    int defaultInteger() const;
};

// Whether two keys name the same stored value.
inline bool sameKey(const SettingKey& a, const SettingKey& b)
{
    return a.section == b.section && a.name == b.name;
}

inline constexpr std::string_view kSectionGeneral = "General";
inline constexpr std::string_view kSectionServer = "ServerSettings";
inline constexpr std::string_view kSectionBots = "BotSettings";
inline constexpr std::string_view kSectionMaps = "MapSettings";
inline constexpr std::string_view kSectionAdvanced = "AdvancedSettings";
inline constexpr std::string_view kSectionServerTools = "ServerTools";
inline constexpr std::string_view kSectionProgram = "ProgramSettings";
inline constexpr std::string_view kSectionAutoSave = "AutoSave";
inline constexpr std::string_view kSectionCmdLine = "SrvCmdLine";
inline constexpr std::string_view kSectionProfile = "Profile";

// The product's web site, named by the message of the day, the script comments and the About window.
inline constexpr std::string_view kWebSite = "www.varno.example.org";
inline constexpr std::string_view kInitialMotd = "Beastly fragging served by Varno Server - www.varno.example.org";

// General
inline constexpr SettingKey kRestoreFlags{kSectionGeneral, "RestoreFlags", Encoding::Integer, "0"};
// The restore flag's one written value: the loader's Startup stage reads the stored values.
inline constexpr int kStartupStageArmed = 2;

// ServerSettings: the Startup page and three values of the Remote Access page
inline constexpr SettingKey kServerName{kSectionServer, "ServerName", Encoding::Text, "Varno - Beastly Server",
                                        LoadStage::Startup};
inline constexpr SettingKey kMotd{kSectionServer, "MOTD", Encoding::Text, kInitialMotd, LoadStage::Startup};
inline constexpr SettingKey kGameTypeText{kSectionServer, "GameTypeText", Encoding::Text, "Free for All - DM",
                                          LoadStage::Startup};
inline constexpr SettingKey kGameType{kSectionServer, "GameType", Encoding::Integer, "2", LoadStage::Startup};
inline constexpr SettingKey kServerType{kSectionServer, "ServerType", Encoding::Text, "Dedicated", LoadStage::Startup};
inline constexpr SettingKey kMemory{kSectionServer, "Memory", Encoding::Integer, "56", LoadStage::Startup, 16, 1024};
inline constexpr SettingKey kStartMap{kSectionServer, "StartMap", Encoding::Text, "<none>", LoadStage::Startup};
inline constexpr SettingKey kMaxPlayers{
    kSectionServer, "MaxPlayers", Encoding::Integer, "32", LoadStage::Startup, 0, 999};
inline constexpr SettingKey kTimeLimit{kSectionServer, "TimeLimit", Encoding::Integer, "0", LoadStage::Startup};
inline constexpr SettingKey kFragLimit{kSectionServer, "FragLimit", Encoding::Integer, "20", LoadStage::Startup};
inline constexpr SettingKey kPureServer{kSectionServer, "PureServer", Encoding::Flag, "0", LoadStage::Startup};
inline constexpr SettingKey kRConPW{kSectionServer, "RConPW", Encoding::Text, "", LoadStage::Startup};
inline constexpr SettingKey kVarnoClients{kSectionServer, "VarnoClients", Encoding::Flag, "0", LoadStage::Startup};
inline constexpr SettingKey kAllowRCon{kSectionServer, "AllowRCon", Encoding::Flag, "1", LoadStage::RemoteAccess};
// The Startup page's game port and game directory, passed to the game on its command line.
inline constexpr SettingKey kNetPort{kSectionServer, "NetPort", Encoding::Integer, "27960", LoadStage::Startup, 0,
                                     9999999};
inline constexpr SettingKey kGameDir{kSectionServer, "GameDir", Encoding::Text, "baseq3", LoadStage::Startup};

// BotSettings
inline constexpr SettingKey kBotList{kSectionBots, "BotList", Encoding::BotFlags, "", LoadStage::Bots};
inline constexpr SettingKey kMinBots{kSectionBots, "MinBots", Encoding::Integer, "0", LoadStage::Bots};
inline constexpr SettingKey kAutoKick{kSectionBots, "AutoKick", Encoding::Flag, "1", LoadStage::Bots};
inline constexpr SettingKey kKeepBots{kSectionBots, "KeepBots", Encoding::Flag, "0", LoadStage::Bots};
inline constexpr SettingKey kBotlevel{kSectionBots, "Botlevel", Encoding::Integer, "4", LoadStage::Bots, 0, 5};
inline constexpr SettingKey kNoBotChat{kSectionBots, "NoBotChat", Encoding::Flag, "0", LoadStage::Bots};

// MapSettings
inline constexpr SettingKey kMapRotation{kSectionMaps, "MapRotation", Encoding::CommaList, "", LoadStage::Maps};

// AdvancedSettings
inline constexpr SettingKey kPassword{kSectionAdvanced, "Password", Encoding::Text, "", LoadStage::Advanced};
inline constexpr SettingKey kMaxRate{kSectionAdvanced,    "MaxRate", Encoding::Integer, "10000",
                                     LoadStage::Advanced, 1,         999999999};
inline constexpr SettingKey kPort{kSectionAdvanced, "Port", Encoding::Integer, "27960", LoadStage::None, 0, 999999};
inline constexpr SettingKey kQuadFactor{
    kSectionAdvanced, "QuadFactor", Encoding::Integer, "3", LoadStage::Advanced, 0, 99};
inline constexpr SettingKey kForceRespawn{
    kSectionAdvanced, "ForceRespawn", Encoding::Integer, "20", LoadStage::Advanced, 0, 99};
inline constexpr SettingKey kWeaponRespawn{
    kSectionAdvanced, "WeaponRespawn", Encoding::Integer, "5", LoadStage::Advanced, 0, 99};
inline constexpr SettingKey kGravity{
    kSectionAdvanced, "Gravity", Encoding::Integer, "800", LoadStage::Advanced, 0, 999};
inline constexpr SettingKey kSpeed{kSectionAdvanced, "Speed", Encoding::Integer, "320", LoadStage::Advanced, 0, 999};
inline constexpr SettingKey kKnockback{
    kSectionAdvanced, "Knockback", Encoding::Integer, "1000", LoadStage::Advanced, 0, 9999};
inline constexpr SettingKey kPS{kSectionAdvanced, "PS", Encoding::Flag, "0", LoadStage::Advanced};
inline constexpr SettingKey kCD{kSectionAdvanced, "CD", Encoding::Flag, "0", LoadStage::Advanced};
inline constexpr SettingKey kDownloads{kSectionAdvanced, "downloads", Encoding::Flag, "1", LoadStage::Advanced};
inline constexpr SettingKey kFA{kSectionAdvanced, "FA", Encoding::Flag, "0", LoadStage::Advanced};
inline constexpr SettingKey kFB{kSectionAdvanced, "FB", Encoding::Flag, "0", LoadStage::Advanced};
inline constexpr SettingKey kAV{kSectionAdvanced, "AV", Encoding::Flag, "1", LoadStage::Advanced};
inline constexpr SettingKey kADR{kSectionAdvanced, "ADR", Encoding::Flag, "0", LoadStage::Advanced};
inline constexpr SettingKey kEC{kSectionAdvanced, "EC", Encoding::Flag, "0", LoadStage::Advanced};
inline constexpr SettingKey kEB{kSectionAdvanced, "EB", Encoding::Flag, "1", LoadStage::Advanced};
inline constexpr SettingKey kBanIPList{kSectionAdvanced, "BanIPList", Encoding::CommaList, "", LoadStage::Advanced};

// ServerTools: the ZOZ Idaroz page
inline constexpr SettingKey kLocalHost{kSectionServerTools, "LocalHost", Encoding::Flag, "1", LoadStage::RemoteAccess};
inline constexpr SettingKey kRemoteHost{kSectionServerTools, "RemoteHost", Encoding::Flag, "0",
                                        LoadStage::RemoteAccess};
inline constexpr SettingKey kRemoteHostAddress{kSectionServerTools, "RemoteHostAddress", Encoding::Text, "",
                                               LoadStage::RemoteAccess};
inline constexpr SettingKey kLPBRemotePort{
    kSectionServerTools, "LPBRemotePort", Encoding::Integer, "27960", LoadStage::RemoteAccess, 1, 9999999};
inline constexpr SettingKey kLPBMinPing{
    kSectionServerTools, "LPBMinPing", Encoding::Integer, "100", LoadStage::RemoteAccess, 1, 9999};
inline constexpr SettingKey kLPBCheckRate{
    kSectionServerTools, "LPBCheckRate", Encoding::Integer, "15", LoadStage::RemoteAccess, 1, 9999};
inline constexpr SettingKey kLPBMsg1{kSectionServerTools, "LPBMsg1", Encoding::Text, "Warning: Player ",
                                     LoadStage::RemoteAccess};
inline constexpr SettingKey kLPBMsg2{kSectionServerTools, "LPBMsg2", Encoding::Text,
                                     " ^7is an LPB and will be removed.", LoadStage::RemoteAccess};
inline constexpr SettingKey kLPBRCon{kSectionServerTools, "LPBRCon", Encoding::Text, "", LoadStage::RemoteAccess};
inline constexpr SettingKey kLPBMsg{kSectionServerTools, "LPBMsg", Encoding::Flag, "1", LoadStage::RemoteAccess};
inline constexpr SettingKey kKickLPB{kSectionServerTools, "KickLPB", Encoding::Flag, "1", LoadStage::RemoteAccess};
inline constexpr SettingKey kBanIP{kSectionServerTools, "BanIP", Encoding::Flag, "0", LoadStage::RemoteAccess};
// Players whose address the banned-address list matches are removed on sight while the watcher runs.
inline constexpr SettingKey kKickBanned{kSectionServerTools, "KickBanned", Encoding::Flag, "1",
                                        LoadStage::RemoteAccess};
inline constexpr SettingKey kLogLPBs{kSectionServerTools, "LogLPBs", Encoding::Flag, "1", LoadStage::RemoteAccess};
inline constexpr SettingKey kLPBPort2{
    kSectionServerTools, "LPBPort2", Encoding::Integer, "0", LoadStage::None, 0, 9999999};
inline constexpr SettingKey kLPBPort3{
    kSectionServerTools, "LPBPort3", Encoding::Integer, "0", LoadStage::None, 0, 9999999};
inline constexpr SettingKey kLPBPort4{
    kSectionServerTools, "LPBPort4", Encoding::Integer, "0", LoadStage::None, 0, 9999999};

// ProgramSettings: the Properties dialog
inline constexpr SettingKey kQuakeDir{kSectionProgram, "QuakeDir", Encoding::Text, "", LoadStage::Properties};
inline constexpr SettingKey kMapsDir{kSectionProgram, "MapsDir", Encoding::Text, ".", LoadStage::Properties};
inline constexpr SettingKey kInstallDir{kSectionProgram, "InstallDir", Encoding::Text, "."};
inline constexpr SettingKey kShowMap{kSectionProgram, "ShowMap", Encoding::Flag, "1"};
inline constexpr SettingKey kSystray{kSectionProgram, "Systray", Encoding::Flag, "1"};
// Linux: open a terminal window attached to the server console after a launch.
inline constexpr SettingKey kOpenConsoleTerminal{kSectionProgram, "OpenConsoleTerminal", Encoding::Flag, "1",
                                                 LoadStage::Properties};
// Launch the server again when it stops unexpectedly.
inline constexpr SettingKey kRelaunchServer{kSectionProgram, "RelaunchServer", Encoding::Flag, "1",
                                            LoadStage::Properties};

// AutoSave: the disabled group of the Properties dialog
inline constexpr SettingKey kAutoSaveMapRotation{kSectionAutoSave, "MapRotation", Encoding::Flag, "1"};
inline constexpr SettingKey kAutoSaveStartup{kSectionAutoSave, "Startup", Encoding::Flag, "1"};
inline constexpr SettingKey kAutoSaveRemoteAccess{kSectionAutoSave, "RemoteAccess", Encoding::Flag, "1"};
inline constexpr SettingKey kAutoSaveServerTools{kSectionAutoSave, "ServerTools", Encoding::Flag, "1"};
inline constexpr SettingKey kAutoSaveAdvanced{kSectionAutoSave, "Advanced", Encoding::Flag, "1"};

// SrvCmdLine: the Command Line dialog
inline constexpr SettingKey kCmdLine{kSectionCmdLine, "CmdLine", Encoding::Text, "", LoadStage::Bots};

// Profile: the server's own name among several (empty for the first server: it answers to "default").
inline constexpr SettingKey kProfileName{kSectionProfile, "Name", Encoding::Text, ""};
// A virtual server: one on a remote computer, reached over rcon at the watcher's remote host and port only.
inline constexpr SettingKey kProfileRemote{kSectionProfile, "Remote", Encoding::Flag, "0"};

// Every value above, section by section.
std::span<const SettingKey> allSettings();

// Finds a value by section and name (exact spelling); nullptr when the schema has no such value.
const SettingKey* findSetting(std::string_view section, std::string_view name);

// The values a loader stage reads, in schema order.
std::vector<const SettingKey*> settingsOfStage(LoadStage stage);

// Whether the start-up loader's Startup stage reads this value (the Startup page, RConPW, VarnoClients):
// storing one arms that stage, so that what the operator typed comes back at the next start.
bool readByStartupStage(std::string_view section, std::string_view name);

// The sections that restoring the defaults of all pages erases, in erase order.
std::span<const std::string_view> restorableSections();

} // namespace varno
