#include "platform/server_supervisor.h"

#include "core/app/varno_error.h"
#include "core/console/console_output.h"
#include "core/settings/schema.h"
#include "platform/file_writer.h"
#include "platform/qt_text.h"
#include "platform/services.h"
#include "platform/settings_factory.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace varno {

ServerSupervisor::ServerSupervisor(std::unique_ptr<ProcessLauncher> launcher, WatchdogConfig config)
    : m_launcher(std::move(launcher))
    , m_watchdog(config)
    , m_relaunchEnabled([] { return createSettingsStore()->ReadBool(kRelaunchServer); })
{
    m_poll.setInterval(kPollIntervalMs);
    QObject::connect(&m_poll, &QTimer::timeout, [this] { check(); });
    m_relaunch.setSingleShot(true);
    QObject::connect(&m_relaunch, &QTimer::timeout, [this] { relaunch(); });
}

ServerSupervisor::~ServerSupervisor() = default;

Watchdog::Time ServerSupervisor::now()
{
    return std::chrono::duration_cast<Watchdog::Time>(std::chrono::steady_clock::now().time_since_epoch());
}

LaunchOutcome ServerSupervisor::launch(const std::string& gameFolder, const std::string& commandLine)
{
    m_poll.stop();
    m_relaunch.stop();
    m_gameFolder = gameFolder;
    m_commandLine = commandLine;
    // The watchdog starts afresh with each launch the operator asks for.
    m_watchdog = Watchdog(m_watchdog.config());
    const LaunchOutcome outcome = m_launcher->start(gameFolder, commandLine);
    m_watchdog.launched(now());
    // One that ended within the first moment is reported by the first check too.
    if (outcome.exitCode >= 0)
        m_poll.start();
    return outcome;
}

bool ServerSupervisor::stop(std::chrono::milliseconds grace)
{
    m_relaunch.stop();
    m_watchdog.stopRequested();
    const bool ended = m_launcher->stop(grace);
    check();
    m_poll.stop();
    return ended;
}

void ServerSupervisor::check()
{
    const ServerState state = m_launcher->poll();
    if (state.kind == ServerState::Kind::Running)
        return;
    m_poll.stop();
    SupervisorEvent event;
    if (state.kind != ServerState::Kind::Ended) {
        event.message = "Server console closed \u2014 not relaunched";
        report(std::move(event));
        return;
    }
    if (state.stopRequested)
        m_watchdog.stopRequested();
    const WatchdogDecision decision = m_watchdog.ended(state.end, now(), m_relaunchEnabled());
    event.message = decision.message;
    if (decision.action != WatchdogAction::EndedOnPurpose) {
        const std::vector<std::string> lines = lastLines(m_launcher->consoleText(), kCrashLogLines);
        event.crashLog = keepCrashLog(lines, event.problem);
        if (decision.action == WatchdogAction::EarlyStop) {
            const std::size_t first = lines.size() > kReportedLines ? lines.size() - kReportedLines : 0;
            event.consoleLines.assign(lines.begin() + std::ptrdiff_t(first), lines.end());
        }
    }
    event.failed = decision.action != WatchdogAction::EndedOnPurpose && decision.action != WatchdogAction::Relaunch;
    if (decision.action == WatchdogAction::Relaunch) {
        event.kind = SupervisorEvent::Kind::Relaunching;
        m_relaunch.start(int(decision.delay.count()));
    }
    report(std::move(event));
}

void ServerSupervisor::relaunch()
{
    const LaunchOutcome outcome = m_launcher->start(m_gameFolder, m_commandLine);
    m_watchdog.launched(now());
    SupervisorEvent event;
    if (outcome.exitCode < 0) {
        event.failed = true;
        event.message =
            "Server could not be relaunched" + (outcome.problem.empty() ? std::string() : ": " + outcome.problem);
        report(std::move(event));
        return;
    }
    m_poll.start();
    // A relaunch that died within its first moment is not reported as relaunched; the check tells its end.
    if (outcome.exitCode != kStillActive) {
        check();
        return;
    }
    event.kind = SupervisorEvent::Kind::Relaunched;
    event.message = m_watchdog.relaunchedMessage();
    event.consoleName = outcome.consoleName;
    report(std::move(event));
}

void ServerSupervisor::report(SupervisorEvent event)
{
    if (m_onEvent)
        m_onEvent(event);
}

std::string ServerSupervisor::keepCrashLog(const std::vector<std::string>& lines, std::string& problem) const
{
    if (lines.empty())
        return {};
    const QDateTime time = QDateTime::currentDateTime();
    const QDate date = time.date();
    const QTime clock = time.time();
    const QString folder = toQ(crashLogFolder());
    QString path = QDir(folder).filePath(
        toQ(crashLogFileName(date.year(), date.month(), date.day(), clock.hour(), clock.minute(), clock.second())));
    // Two ends within one second keep both logs.
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(
            toQ(crashLogFileName(date.year(), date.month(), date.day(), clock.hour(), clock.minute(), clock.second()))
                .replace(QLatin1String(".log"), QStringLiteral("-%1.log").arg(n)));
    std::string text;
    for (const std::string& line : lines)
        text += line + '\n';
    try {
        if (!QDir().mkpath(folder))
            throw VarnoError("Cannot create folder " + toStd(folder));
        // The console may show the rcon password (a typed rconpassword line, a script echoed back): owner-only.
        writeFileAtomically(path, QByteArray::fromStdString(text), FileAccess::OwnerOnly);
    } catch (const std::exception& error) {
        problem = std::string("The console's last lines were not kept: ") + error.what();
        return {};
    }
    return toStd(QDir::toNativeSeparators(path));
}

} // namespace varno
