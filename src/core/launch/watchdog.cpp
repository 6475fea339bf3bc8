#include "core/launch/watchdog.h"

#include <algorithm>
#include <cstdio>

namespace varno {

namespace {

constexpr const char* kDash = " \u2014 ";

std::string seconds(std::chrono::milliseconds time)
{
    char text[32];
    if (time.count() % 1000 == 0)
        std::snprintf(text, sizeof text, "%lld s", static_cast<long long>(time.count() / 1000));
    else
        std::snprintf(text, sizeof text, "%.1f s", double(time.count()) / 1000.0);
    return text;
}

} // namespace

std::string describeEnd(const ServerEnd& end)
{
    if (!end.known)
        return "exit status unknown";
    if (end.signal > 0)
        return "signal " + std::to_string(end.signal);
    if (end.exitCode < 0) {
        // Windows ends a crashed program with its exception code, which reads best in hex.
        char text[32];
        std::snprintf(text, sizeof text, "exit code 0x%08X", static_cast<unsigned>(end.exitCode));
        return text;
    }
    return "exit code " + std::to_string(end.exitCode);
}

std::string ordinal(int number)
{
    const int lastTwo = number % 100;
    const char* suffix = "th";
    if (lastTwo < 11 || lastTwo > 13) {
        switch (number % 10) {
        case 1:
            suffix = "st";
            break;
        case 2:
            suffix = "nd";
            break;
        case 3:
            suffix = "rd";
            break;
        default:
            break;
        }
    }
    return std::to_string(number) + suffix;
}

Watchdog::Watchdog(WatchdogConfig config)
    : m_config(config)
{
}

void Watchdog::launched(Time now)
{
    m_launchedAt = now;
    m_stopRequested = false;
}

WatchdogDecision Watchdog::ended(const ServerEnd& end, Time now, bool relaunchEnabled)
{
    m_lastEnd = end;
    WatchdogDecision decision;
    const std::string stopped = "Server stopped (" + describeEnd(end) + ")";
    if (m_stopRequested || (end.known && end.signal == 0 && end.exitCode == 0)) {
        decision.action = WatchdogAction::EndedOnPurpose;
        decision.message = "Server ended (" + describeEnd(end) + ")";
        return decision;
    }
    const Time up = now - m_launchedAt;
    if (up < m_config.earlyStop) {
        decision.action = WatchdogAction::EarlyStop;
        decision.message = "Server stopped " + seconds(std::max(up, Time(0))) + " after its launch (" +
                           describeEnd(end) + ")" + kDash + "not relaunched";
        return decision;
    }
    if (!relaunchEnabled) {
        decision.action = WatchdogAction::RelaunchOff;
        decision.message = stopped + kDash + "relaunching is off";
        return decision;
    }
    while (!m_relaunches.empty() && now - m_relaunches.front() >= m_config.limitWindow)
        m_relaunches.pop_front();
    if (int(m_relaunches.size()) >= m_config.maxRelaunches) {
        decision.action = WatchdogAction::GiveUp;
        decision.message = stopped + kDash + "not relaunched: relaunched " + std::to_string(m_relaunches.size()) +
                           " times within the hour already";
        return decision;
    }
    if (up >= m_config.resetAfterUp)
        m_consecutive = 0;
    Time delay = m_config.firstBackOff;
    for (int i = 0; i < m_consecutive && delay < m_config.maxBackOff; ++i)
        delay *= 2;
    ++m_consecutive;
    m_relaunches.push_back(now);
    decision.action = WatchdogAction::Relaunch;
    decision.delay = std::min(delay, m_config.maxBackOff);
    decision.relaunchNumber = int(m_relaunches.size());
    decision.message = stopped + kDash + "relaunching in " + seconds(decision.delay);
    return decision;
}

std::string Watchdog::relaunchedMessage() const
{
    return "Server stopped (" + describeEnd(m_lastEnd) + ")" + kDash + "relaunched, " +
           ordinal(int(m_relaunches.size())) + " time this hour";
}

std::string crashLogFileName(int year, int month, int day, int hour, int minute, int second)
{
    char name[64];
    std::snprintf(name, sizeof name, "crash-%04d-%02d-%02d-%02d%02d%02d.log", year, month, day, hour, minute, second);
    return name;
}

} // namespace varno
