#pragma once

#include "core/settings/schema.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace varno {

// The file name of the server script in the game's baseq3 folder, also named by the command line.
inline constexpr std::string_view kServerScriptFileName = "vrn2data.cfg";

// The start-map text that lets the rotation into the script.
inline constexpr std::string_view kNoStartMap = "<none>";

// The game type box's entries; the script's g_gametype is the index of the one chosen.
inline constexpr std::array<std::string_view, 5> kGameTypeNames{"Single-Player Mode", "Tourney - 1v1",
                                                                "Free for All - DM", "Team Play - TDM",
                                                                "Capture the Flag - CTF"};
// The index of the entry that text names exactly; -1 for none.
int gameTypeIndex(std::string_view text);

// What the server script is made of: the window's controls as they stand. Text is 8-bit in the local
// encoding and goes into the script byte for byte. Numbers are the spin edits' values (text that is not
// a number already turned into the field's minimum). The defaults are the window's initial state, which
// the schema's defaults are.
struct ServerScriptInput {
    std::string serverName{kServerName.defaultText};        // ServerNameEdit
    std::string motd{kMotd.defaultText};                    // MotdEdit
    int gameType = kGameType.defaultInteger();              // GameTypeBox, selected index, -1 when none
    int maxPlayers = kMaxPlayers.defaultInteger();          // MaxPlayers
    int fragLimit = kFragLimit.defaultInteger();            // Fraglimit
    int timeLimit = kTimeLimit.defaultInteger();            // TimeLimit
    bool pureServer = kPS.defaultInteger() != 0;            // PureCB
    bool allowRcon = kAllowRCon.defaultInteger() != 0;      // AllowRCON_CB
    std::string rconPassword{kRConPW.defaultText};          // RCONEdit
    bool enableCheats = kEC.defaultInteger() != 0;          // ecCB
    std::vector<std::string> rotation;                      // RotateMapListBox, top to bottom
    std::string startMap{kStartMap.defaultText};            // StartMapBox
    std::string serverPassword{kPassword.defaultText};      // SrvPWEdit
    int maxRate = kMaxRate.defaultInteger();                // SpinMaxRate
    int quadFactor = kQuadFactor.defaultInteger();          // SpinQuad
    int forceRespawn = kForceRespawn.defaultInteger();      // SpinForRespawn
    int weaponRespawn = kWeaponRespawn.defaultInteger();    // SpinWepRespawn
    int gravity = kGravity.defaultInteger();                // SpinGravity
    int speed = kSpeed.defaultInteger();                    // SpinSpeed
    int knockback = kKnockback.defaultInteger();            // SpinKnockback
    bool allowDownloads = kDownloads.defaultInteger() != 0; // downloadsCB
    bool forceAutoJoin = kFA.defaultInteger() != 0;         // faCB
    bool forceBalance = kFB.defaultInteger() != 0;          // fbCB
    bool allowVote = kAV.defaultInteger() != 0;             // avCB
    bool allowDemoRecording = kADR.defaultInteger() != 0;   // adrCB
    bool banListEnabled = kEB.defaultInteger() != 0;        // ebCB
    std::vector<std::string> banList;                       // BanListBox, top to bottom
    bool noBotChat = kNoBotChat.defaultInteger() != 0;      // BotChatBox
    std::vector<std::string> bots;                          // ticked entries of BotListBox1, in list order
    int botSkill = kBotlevel.defaultInteger();              // SpinBotLevel
    bool autoKickBots = kAutoKick.defaultInteger() != 0;    // BotRB1 selected (false: BotRB2)
    int minBots = kMinBots.defaultInteger();                // SpinBotMin
};

// Throws VarnoError, naming the field, for a value that would escape its place in the script: a double
// quote or line break in the server name or message of the day; a blank, semicolon, double quote, line
// break, // or /* in the rcon password (when written), the server password or a bot name; the same except
// blanks in a rotation map name (when the rotation is written). Values that are not written are not
// checked; the ban list never refuses a launch (banIpsFor leaves out what the game cannot take).
void validateServerScript(const ServerScriptInput& input);

// The whole script text, CR LF after every line, the last single-space line included. Validates first,
// so a refused input throws before any text exists.
std::string buildServerScript(const ServerScriptInput& input);

// What the operator is told about ban entries that the script's g_banIPs line leaves out; empty when none is.
std::string banListNotice(const ServerScriptInput& input);

} // namespace varno
