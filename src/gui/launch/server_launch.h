#pragma once

#include "core/launch/command_line.h"
#include "core/launch/server_script.h"
#include "core/launch/watchdog.h"

namespace varno {

// The server script's input as the windows' controls hold it now.
ServerScriptInput scriptInputFromWindows();

// The command line's pieces as the windows' controls hold them, for the given game program.
CommandLineInput commandLineInputFromWindows(const std::string& program);

// The launch command: writes the server script into the game's baseq3 folder and starts the
// dedicated server in a console of its own. Refusals and failures go to the operator as messages.
void launchServer();

// The watchdog's times for the supervisors created from now on (tests shorten them).
void setServerWatchdogConfig(const WatchdogConfig& config);

} // namespace varno
