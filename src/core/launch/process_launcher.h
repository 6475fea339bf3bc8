#pragma once

#include "core/launch/watchdog.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace varno {

// The exit code a process reports while it is still running.
inline constexpr int kStillActive = 259;

// What became of starting the game.
struct LaunchOutcome {
    // kStillActive while running; the exit code when it ended within the wait; negative when it could
    // not be started or was ended by a signal (the signal's number, negated).
    int exitCode = -1;
    // The console the game runs in, for the operator (the tmux session on Linux).
    std::string consoleName;
    // Why the game could not be started when that is not the game's own absence (tmux missing).
    std::string problem;
};

// How the launched server stands.
struct ServerState {
    enum class Kind {
        None,    // nothing started or adopted
        Running,
        Ended,   // `end` tells how
        Gone,    // its console went, and with it how it ended
    };
    Kind kind = Kind::None;
    ServerEnd end;
    bool stopRequested = false; // someone asked it to end (varno stop)
};

// Starts the game from its command line in a new console, in the game folder, and waits a short
// moment (100 ms) to see whether it stays up.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // The game program the command line names for this game folder: quake3.exe on Windows, the
    // dedicated server found in the folder elsewhere; nothing when there is none to start.
    virtual std::optional<std::string> gameProgram(const std::string& gameFolder) const = 0;
    virtual LaunchOutcome start(const std::string& gameFolder, const std::string& commandLine) = 0;

    // The server of the last successful start, or the one adopt() found.
    virtual ServerState poll() = 0;
    // The text its console shows, scroll-back included, as far as the platform can read it back.
    virtual std::string consoleText() = 0;
    // Takes on a server that an earlier run started and that still runs; whether there was one.
    virtual bool adopt() = 0;
    // Marks the end as asked for (so that no watchdog relaunches it), types quit into its console, and ends the
    // process when it has not ended within grace. Returns once it has ended; false when nothing could end it.
    virtual bool stop(std::chrono::milliseconds grace) = 0;
};

} // namespace varno
