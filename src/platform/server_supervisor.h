#pragma once

#include "core/launch/process_launcher.h"
#include "core/launch/watchdog.h"

#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace varno {

// What the supervisor has to tell the operator.
struct SupervisorEvent {
    enum class Kind {
        Relaunching, // crashed; a relaunch follows after the back-off
        Relaunched,  // the relaunch has started and runs
        Stopped,     // down for good: ended on purpose, early stop, given up, relaunching off, not relaunchable
    };
    Kind kind = Kind::Stopped;
    std::string message;
    // The dead console's last lines, for an early stop (the cause is usually among them).
    std::vector<std::string> consoleLines;
    // Where the dead console's last lines were kept; empty when none were written.
    std::string crashLog;
    // A crash log that could not be written, said so.
    std::string problem;
    // The relaunched server's console (Relaunched).
    std::string consoleName;
    // Stopped for a cause other than its operator's (an early stop, given up, relaunching off, a failed relaunch).
    bool failed = false;
};

// Watches the server it launched, on the event loop (a poll timer, never a blocking wait), and relaunches it
// by the watchdog's rules with the same folder and command line. Shared by the panel and `varno serve`.
class ServerSupervisor {
public:
    static constexpr int kPollIntervalMs = 250;
    static constexpr std::size_t kCrashLogLines = 200;
    static constexpr std::size_t kReportedLines = 10;

    explicit ServerSupervisor(std::unique_ptr<ProcessLauncher> launcher, WatchdogConfig config = {});
    ~ServerSupervisor();

    ProcessLauncher& launcher() { return *m_launcher; }
    // Whether a crash is to be relaunched; read at each end (the stored setting by default).
    void setRelaunchEnabled(std::function<bool()> enabled) { m_relaunchEnabled = std::move(enabled); }
    void setOnEvent(std::function<void(const SupervisorEvent&)> onEvent) { m_onEvent = std::move(onEvent); }

    // Starts the server and, when it runs, watches it; a server watched before is no longer.
    LaunchOutcome launch(const std::string& gameFolder, const std::string& commandLine);
    bool watching() const { return m_poll.isActive() || m_relaunch.isActive(); }
    // Ends the server as asked for (quit, then the process after grace); no relaunch follows.
    bool stop(std::chrono::milliseconds grace);

private:
    void check();
    void relaunch();
    void report(SupervisorEvent event);
    std::string keepCrashLog(const std::vector<std::string>& lines, std::string& problem) const;
    static Watchdog::Time now();

    std::unique_ptr<ProcessLauncher> m_launcher;
    Watchdog m_watchdog;
    std::function<bool()> m_relaunchEnabled;
    std::function<void(const SupervisorEvent&)> m_onEvent;
    std::string m_gameFolder;
    std::string m_commandLine;
    QTimer m_poll;
    QTimer m_relaunch;
};

} // namespace varno
