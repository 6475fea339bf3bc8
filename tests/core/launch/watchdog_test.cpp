#include "core/launch/watchdog.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using varno::ServerEnd;
using varno::Watchdog;
using varno::WatchdogAction;

namespace {

constexpr ServerEnd kSegv{0, 11};

struct Step {
    std::chrono::milliseconds upFor; // how long the server ran before this end
    ServerEnd end;
    bool relaunchEnabled;
    bool stopRequested;
    WatchdogAction action;
    std::chrono::milliseconds delay; // for Relaunch
};

struct Case {
    const char* name;
    std::vector<Step> steps;
};

// n crashes 20 s after each launch, each relaunched after twice the delay before it, then the steps given.
std::vector<Step> crashes(int n, std::vector<Step> then = {})
{
    std::vector<Step> steps;
    for (int i = 0; i < n; ++i)
        steps.push_back({20s, kSegv, true, false, WatchdogAction::Relaunch, std::chrono::seconds(1 << i)});
    steps.insert(steps.end(), then.begin(), then.end());
    return steps;
}

// Runs a server life after life: each step launches, lets it run upFor, ends it, then waits the decided delay.
TEST(Watchdog, DecidesEachEndByItsCauseBackOffAndHourlyLimit)
{
    const std::vector<Case> cases{
        {"a signal is relaunched after one second", crashes(1)},
        {"a non-zero exit is relaunched", {{20s, {3, 0}, true, false, WatchdogAction::Relaunch, 1s}}},
        {"exit code 0 stays down", {{20s, {0, 0}, true, false, WatchdogAction::EndedOnPurpose, 0s}}},
        {"an end nobody could read counts as a crash",
         {{20s, {0, 0, false}, true, false, WatchdogAction::Relaunch, 1s}}},
        {"a stop asked for stays down even when killed",
         {{20s, {0, 9}, true, true, WatchdogAction::EndedOnPurpose, 0s}}},
        {"an end within ten seconds of the launch is an early stop",
         {{9999ms, {1, 0}, true, false, WatchdogAction::EarlyStop, 0s}}},
        {"relaunching switched off", {{20s, kSegv, false, false, WatchdogAction::RelaunchOff, 0s}}},
        {"the back-off doubles", crashes(3)},
        {"ten minutes up start the back-off afresh",
         crashes(2, {{10min, kSegv, true, false, WatchdogAction::Relaunch, 1s}})},
        {"the sixth crash within the hour gives up",
         crashes(5, {{20s, kSegv, true, false, WatchdogAction::GiveUp, 0s}})},
        {"relaunches older than an hour no longer count",
         crashes(5, {{61min, kSegv, true, false, WatchdogAction::Relaunch, 1s}})},
    };
    for (const Case& c : cases) {
        Watchdog watchdog;
        Watchdog::Time now = 1000h;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            watchdog.launched(now);
            if (step.stopRequested)
                watchdog.stopRequested();
            now += step.upFor;
            const auto decision = watchdog.ended(step.end, now, step.relaunchEnabled);
            EXPECT_EQ(decision.action, step.action) << c.name << ", step " << i << ": " << decision.message;
            EXPECT_EQ(decision.delay, step.delay) << c.name << ", step " << i;
            now += decision.delay;
        }
    }
}

TEST(Watchdog, BackOffStopsAtOneMinute)
{
    varno::WatchdogConfig config;
    config.maxRelaunches = 100;
    Watchdog watchdog(config);
    Watchdog::Time now = 0ms;
    std::chrono::milliseconds delay{};
    for (int i = 0; i < 9; ++i) {
        watchdog.launched(now);
        now += 11s;
        delay = watchdog.ended(kSegv, now, true).delay;
        now += delay;
    }
    EXPECT_EQ(delay, 60s);
}

TEST(Watchdog, TellsTheOperatorWhatHappened)
{
    Watchdog watchdog;
    watchdog.launched(0ms);
    EXPECT_EQ(watchdog.ended({1, 0}, 400ms, true).message, "Server stopped 0.4 s after its launch (exit code 1) \u2014 "
                                                           "not relaunched");
    watchdog.launched(1min);
    EXPECT_EQ(watchdog.ended(kSegv, 2min, true).message, "Server stopped (signal 11) \u2014 relaunching in 1 s");
    EXPECT_EQ(watchdog.relaunchedMessage(), "Server stopped (signal 11) \u2014 relaunched, 1st time this hour");
    watchdog.launched(3min);
    watchdog.ended(kSegv, 4min, true);
    EXPECT_EQ(watchdog.relaunchedMessage(), "Server stopped (signal 11) \u2014 relaunched, 2nd time this hour");
    EXPECT_EQ(varno::describeEnd({-1073741819, 0}), "exit code 0xC0000005");
    EXPECT_EQ(varno::describeEnd({0, 0, false}), "exit status unknown");
    EXPECT_EQ(varno::ordinal(3), "3rd");
    EXPECT_EQ(varno::ordinal(11), "11th");
    EXPECT_EQ(varno::ordinal(22), "22nd");
}

TEST(Watchdog, NamesTheCrashLogByTime)
{
    EXPECT_EQ(varno::crashLogFileName(2026, 3, 9, 7, 5, 1), "crash-2026-03-09-070501.log");
}

} // namespace
