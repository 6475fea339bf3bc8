#pragma once

#include <string>
#include <vector>

namespace varno {

class ServerModel;
class SettingsStore;

// Holds in model what the launch would read in the panel right after start-up: the stored values as the start-up
// loader puts them into the controls (the Startup page's own values only when the restore flag is 2, ranges
// clamped, missing values at the controls' first state, the bot values read as text, the pure-server box checked
// by either of its two values). Nothing is written back. Gives the loader's problems, e.g. a bot count that is not
// a number, which ends the loading of the bot values and of the extra command line.
std::vector<std::string> holdStartUpValues(ServerModel& model, SettingsStore& store);

} // namespace varno
