#pragma once

#include "core/launch/watchdog.h"

namespace varno {

class TForm1;

// The launch command: writes the server script into the game's baseq3 folder and starts the dedicated server in a
// console of its own, from the values the windows show. Refusals and failures go to the operator as messages.
void launchServer(TForm1& form);

// The watchdog's times for the supervisors created from now on (tests shorten them).
void setServerWatchdogConfig(const WatchdogConfig& config);

} // namespace varno
