#pragma once

#include "core/settings/schema.h"

#include <string>
#include <string_view>
#include <vector>

namespace varno {

// The file name of the server script in the game's baseq3 folder, also named by the command line.
inline constexpr std::string_view kServerScriptFileName = "vrn2data.cfg";

// The start-map text that lets the rotation into the script.
inline constexpr std::string_view kNoStartMap = "<none>";

// What the server script is made of: the window's controls as they stand. Text is 8-bit in the local
// encoding and goes into the script byte for byte. Numbers are the spin edits' values (text that is not
// a number already turned into the field's minimum). The defaults are the window's initial state.
struct ServerScriptInput {
    std::string serverName{kServerName.defaultText}; // ServerNameEdit
    std::string motd{kMotd.defaultText};             // MotdEdit
    int gameType = 2;                                // GameTypeBox, selected index, -1 when none
    int maxPlayers = 32;                             // MaxPlayers
    int fragLimit = 20;                              // Fraglimit
    int timeLimit = 0;                               // TimeLimit
    bool pureServer = false;                         // PureCB
    bool allowRcon = true;                           // AllowRCON_CB
    std::string rconPassword;                        // RCONEdit
    bool enableCheats = false;                       // ecCB
    std::vector<std::string> rotation;               // RotateMapListBox, top to bottom
    std::string startMap{kNoStartMap};               // StartMapBox
    std::string serverPassword;                      // SrvPWEdit
    int maxRate = 10000;                             // SpinMaxRate
    int quadFactor = 3;                              // SpinQuad
    int forceRespawn = 20;                           // SpinForRespawn
    int weaponRespawn = 5;                           // SpinWepRespawn
    int gravity = 800;                               // SpinGravity
    int speed = 320;                                 // SpinSpeed
    int knockback = 1000;                            // SpinKnockback
    bool allowDownloads = true;                      // downloadsCB
    bool forceAutoJoin = false;                      // faCB
    bool forceBalance = false;                       // fbCB
    bool allowVote = true;                           // avCB
    bool allowDemoRecording = false;                 // adrCB
    bool banListEnabled = true;                      // ebCB
    std::vector<std::string> banList;                // BanListBox, top to bottom
    bool noBotChat = false;                          // BotChatBox
    std::vector<std::string> bots;                   // ticked entries of BotListBox1, in list order
    int botSkill = 4;                                // SpinBotLevel
    bool autoKickBots = true;                        // BotRB1 selected (false: BotRB2)
    int minBots = 0;                                 // SpinBotMin
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
