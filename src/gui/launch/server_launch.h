#pragma once

#include "core/launch/watchdog.h"

namespace varno {

class FleetServer;
class TForm1;
struct SupervisorEvent;

// The launch command: writes the server script into the game's baseq3 folder and starts the dedicated server in a
// console of its own, from that server's values. Refusals and failures go to the operator as messages.
void launchServer(TForm1& form, FleetServer& server);

// What a server's supervisor told: on the status line (named, when the pages show another server), in the console
// page's log for the managed server, and a relaunched server's console in a window again when one was wanted.
void showServerEvent(TForm1& form, FleetServer& server, const SupervisorEvent& event);

// The watchdog's times for the supervisors created from now on (tests shorten them).
void setServerWatchdogConfig(const WatchdogConfig& config);
const WatchdogConfig& serverWatchdogConfig();

} // namespace varno
