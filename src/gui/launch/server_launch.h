#pragma once

#include "core/launch/watchdog.h"

namespace varno {

// The launch command: writes the server script into the game's baseq3 folder and starts the dedicated server in a
// console of its own, from the values the windows show. Refusals and failures go to the operator as messages.
void launchServer();

// The watchdog's times for the supervisors created from now on (tests shorten them).
void setServerWatchdogConfig(const WatchdogConfig& config);

} // namespace varno
