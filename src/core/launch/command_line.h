#pragma once

#include "core/launch/engine_names.h"
#include "core/launch/server_script.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace varno {

// The longest command line the launch passes on; a longer one is refused, never cut.
inline constexpr std::size_t kMaxCommandLineLength = 512;

// The server type entry that asks for a dedicated server; any other text means a listen server.
inline constexpr std::string_view kDedicatedServerType = "Dedicated";
inline constexpr std::string_view kListenServerType = "Listen";

// The server type box's index for its text: 1 for exactly "Dedicated", 0 ("Listen") for anything else.
int serverTypeIndex(std::string_view serverTypeText);
// The server type box's entry at an index serverTypeIndex gives.
std::string_view serverTypeEntry(int index);

// The pieces of the game's command line, as the window holds them.
struct CommandLineInput {
    std::string program{kWindowsGameProgram}; // the game program: quake3.exe, or the engine found on Linux
    std::string port = "27960";               // NetPort text
    std::string gameDir = "baseq3";           // GameDirCombo text
    int serverType = 1;                       // serverTypeIndex(ServerTypeBox text): 0 or 1
    int memory = 56;                          // memtouse value
    std::string extra;                        // AddCmdLine text, the operator's own, passed unchanged
};

// program + " +set net_port " + port + " +set fs_game " + gameDir + " +set dedicated " + serverType +
// " +set com_hunkmegs " + memory + " +exec vrn2data.cfg " + extra.
// The program is put in double quotes when it holds a blank, so that splitCommandLine gives it back
// whole; "quake3.exe" and the engine names stand bare.
// Throws VarnoError when the program holds a double quote, when the port or game directory holds a plus
// sign, double quote or line break (the game starts a new command at a plus sign), when the line holds a
// zero byte (which would cut it), and when the line is longer than kMaxCommandLineLength.
std::string buildCommandLine(const CommandLineInput& input);

// Splits a command line into arguments as a Windows program's start-up code would, kept simple:
// - blanks (space, tab) outside double quotes separate arguments; other characters, line breaks
//   included, belong to the argument;
// - a double quote starts or ends a quoted part and is dropped; inside a quoted part two double quotes
//   in a row give one literal double quote; a quoted part may be empty (a "" alone is an empty argument);
// - a backslash is always an ordinary character, also before a double quote (no \" escape);
// - an unterminated quoted part runs to the end of the line.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

} // namespace varno
