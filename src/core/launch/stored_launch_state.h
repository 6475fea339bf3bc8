#pragma once

#include "core/launch/command_line.h"
#include "core/launch/server_script.h"
#include "core/settings/settings_store.h"

#include <string>
#include <vector>

namespace varno {

// What the launch would read from the panel's controls right after start-up: the stored values as
// the start-up loader puts them into the controls (the Startup page's own values only when the
// restore flag is 2, ranges clamped, missing values at the controls' first state, the pure-server box
// checked by either of its two values). Nothing is written back.
struct StoredLaunchState {
    ServerScriptInput script;
    CommandLineInput commandLine;   // program left at quake3.exe; the caller picks the engine
    std::string gameFolder;         // QuakeDir
    std::vector<std::string> problems; // loader messages, e.g. a bot count that is not a number
};

StoredLaunchState launchStateFromStore(SettingsStore& store);

} // namespace varno
