#pragma once

#include "core/launch/process_launcher.h"

#include <functional>
#include <string>
#include <string_view>

namespace varno {

class ServerModel;
class ServerSupervisor;

inline constexpr std::string_view kNoMapsMessage = "You musts first select at least one map to use.";
inline constexpr std::string_view kGameNotFoundMessage =
    "Error: Quake3.exe not found!  In Properties, be sure to specify your Quake 3 Directory.";
inline constexpr std::string_view kAlreadyRunningMessage =
    "The server is running already: stop it before launching it again.";
// The page that holds what a launch without maps misses.
inline constexpr std::string_view kMapRotationPage = "Map Rotation";

// How far a launch got and what the operator is to hear of it, for the panel to show and varno to print.
struct LaunchReport {
    enum class Outcome {
        Ready,        // checked and written, not started yet
        Running,      // the server of this profile runs already: nothing was written or started
        Started,      // the server runs in consoleName
        NoMaps,       // the rotation is empty: nothing was written
        NoGameFolder, // the game folder cannot be entered (message: the system's text): nothing was written
        NotStarted,   // the script is written, but the game could not be started (message: why)
    };
    Outcome outcome = Outcome::Ready;
    std::string message;    // why it stopped
    std::string pageToShow; // the page with what is missing
    std::string banNotice;  // the ban entries the script leaves out; empty when none is
    std::string gameFolder; // made the current folder; as given when it cannot be
    std::string commandLine;
    std::string consoleName;
};

// The command line a launch of the values in effect would run: the game program the launcher finds in the game
// folder they name, quake3.exe where it finds none.
std::string launchCommandLine(const ServerModel& model, const ProcessLauncher& launcher);

using ServerStart = std::function<LaunchOutcome(const std::string& gameFolder, const std::string& commandLine)>;

// The launch up to the start, from the values in effect: a server of this profile that runs already (the launcher's
// own, or one an earlier run left, which the launcher takes on) refuses it first; then a rotation, then the game
// folder, which becomes the current folder. Everything is checked before anything is written: a value the script or the
// command line refuses throws VarnoError, as does a script that cannot be written, owner-only, into baseq3 (it holds
// the passwords). The server type the command line names is held in the model, shown without being stored. A folder
// without a game program is told once the script is written.
LaunchReport prepareLaunch(ServerModel& model, ProcessLauncher& launcher);

// Starts a prepared launch through start; a start that failed without saying why is told as unexplained.
void startLaunch(LaunchReport& report, const ServerStart& start, std::string_view unexplained = kGameNotFoundMessage);

// Both, the start through the supervisor, which watches the server from then on and relaunches it after a crash.
LaunchReport launchSupervised(ServerModel& model, ServerSupervisor& supervisor,
                              std::string_view unexplained = kGameNotFoundMessage);

} // namespace varno
