#pragma once

#include "core/launch/command_line.h"
#include "core/launch/server_script.h"

#include <string>

namespace varno {

class ServerModel;

// What a launch is made of, from the values in effect: each field from the key its control stores. The panel's
// model holds what its controls show; varno's holds what the panel's start-up loader would have put into them.
ServerScriptInput scriptInputFrom(const ServerModel& model);

// The command line's pieces, for the given game program.
CommandLineInput commandLineInputFrom(const ServerModel& model, const std::string& program);

// The game folder the script is written into and the server started in: the Properties dialog's Quake 3 folder.
std::string gameFolderFrom(const ServerModel& model);

} // namespace varno
