#pragma once

#include <string>

namespace varno {

// Starts a command line (no separate program name) in a new console of its own with a normally
// shown window, in the current folder, waits up to waitMs for it and releases its handles. The
// result is its exit code taken as a signed number: 259 (STILL_ACTIVE) while it runs, -1 when it could
// not be started.
long startInNewConsole(const std::string& commandLine, unsigned waitMs);

} // namespace varno
