#pragma once

#include <chrono>
#include <deque>
#include <string>
#include <vector>

namespace varno {

// How a server process ended: killed by a signal, or exited with a code.
struct ServerEnd {
    int exitCode = 0;
    int signal = 0;    // > 0 when a signal ended it
    bool known = true; // false when the platform could not learn how it ended (counted as a crash)
};

// "signal 11", "exit code 1" or "exit status unknown".
std::string describeEnd(const ServerEnd& end);

// The watchdog's times and limits. Tests shorten them; the product uses the defaults.
struct WatchdogConfig {
    std::chrono::milliseconds firstBackOff{1000};
    std::chrono::milliseconds maxBackOff{60000};
    // Up this long, a server's next crash starts the back-off from the beginning again.
    std::chrono::milliseconds resetAfterUp{std::chrono::minutes(10)};
    // A server that ends this soon after its launch failed to start: reported, never relaunched.
    std::chrono::milliseconds earlyStop{std::chrono::seconds(10)};
    std::chrono::milliseconds limitWindow{std::chrono::hours(1)};
    int maxRelaunches = 5;
};

enum class WatchdogAction {
    Relaunch,       // launch again after `delay`
    EndedOnPurpose, // exit code 0 or a stop asked for: stays down
    EarlyStop,      // ended within the early-stop time of its launch: stays down, with the console's last lines
    GiveUp,         // too many relaunches within the hour
    RelaunchOff,    // crashed, but relaunching is switched off
};

struct WatchdogDecision {
    WatchdogAction action = WatchdogAction::EndedOnPurpose;
    std::chrono::milliseconds delay{0};
    // For Relaunch: which relaunch within the limit window this will be, from 1.
    int relaunchNumber = 0;
    // The operator's line for the status line and the logs.
    std::string message;
};

// Decides what becomes of a server that the panel or `varno serve` launched when it ends. Time is given by
// the caller (any steady clock's reading), so the rules run without a clock of their own.
class Watchdog {
public:
    using Time = std::chrono::milliseconds;

    explicit Watchdog(WatchdogConfig config = {});

    const WatchdogConfig& config() const { return m_config; }

    // A server (the first or a relaunched one) started at now.
    void launched(Time now);
    // The operator asked the running server to end (varno stop, the service manager): its end is on purpose
    // whatever its exit status.
    void stopRequested() { m_stopRequested = true; }
    // The server ended at now; relaunchEnabled is the operator's setting.
    WatchdogDecision ended(const ServerEnd& end, Time now, bool relaunchEnabled);
    // The line to show once the relaunch the last decision asked for has started.
    std::string relaunchedMessage() const;

private:
    WatchdogConfig m_config;
    Time m_launchedAt{0};
    bool m_stopRequested = false;
    int m_consecutive = 0;         // crashes since the server was last up long enough
    std::deque<Time> m_relaunches; // when each relaunch within the limit window was decided
    ServerEnd m_lastEnd;
};

// "1st", "2nd", "3rd", "4th", … "11th", "21st".
std::string ordinal(int number);

// A crash log's file name for a local time: crash-YYYY-MM-DD-HHMMSS.log.
std::string crashLogFileName(int year, int month, int day, int hour, int minute, int second);

} // namespace varno
