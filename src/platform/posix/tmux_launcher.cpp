#include "platform/posix/tmux_launcher.h"

#include "core/console/console_names.h"
#include "core/launch/command_line.h"
#include "core/launch/engine_program.h"
#include "platform/posix/tmux.h"
#include "platform/qt_text.h"

#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QThread>

#include <signal.h>

namespace varno {

namespace {

constexpr int kStartWaitMs = 100;
constexpr int kStopPollMs = 50;
constexpr int kStatusWaits = 20;
constexpr int kStatusWaitMs = 10;
constexpr int kStatusPatienceMs = 1000;
// How much of a dead console's scroll-back is read back.
constexpr int kConsoleHistoryLines = 400;
constexpr const char* kNoTmux = "The server console cannot be opened: tmux is not installed. Install the tmux "
                                "package and launch again.";

// A name beginning with the console class, distinct from every session on the socket.
QString freeSessionName(const QList<tmux::Session>& existing)
{
    const QString base = toQ(kConsoleWindowClass);
    const auto taken = [&](const QString& name) {
        for (const auto& session : existing) {
            if (session.name == name)
                return true;
        }
        return false;
    };
    QString name = base;
    for (int n = 2; taken(name); ++n)
        name = base + QStringLiteral(" %1").arg(n);
    return name;
}

} // namespace

std::optional<std::string> TmuxLauncher::gameProgram(const std::string& gameFolder) const
{
    if (const auto found = findEngineProgram(gameFolder))
        return found->filename().string();
    return std::nullopt;
}

LaunchOutcome TmuxLauncher::start(const std::string& gameFolder, const std::string& commandLine)
{
    LaunchOutcome outcome;
    const std::vector<std::string> arguments = splitCommandLine(commandLine);
    if (arguments.empty())
        return outcome;
    // Consoles of servers that have ended stay until the next launch, so that an early death can be
    // told from a running server; they go once the new one runs. Removed first, they could leave the tmux
    // server without a session, and a tmux server without sessions exits while the new one is being made.
    const QString prefix = toQ(kConsoleWindowClass);
    const QList<tmux::Session> existing = tmux::sessions(prefix);
    const QString session = freeSessionName(existing);
    const auto removeDeadConsoles = [&existing] {
        for (const auto& dead : existing) {
            if (!dead.alive)
                tmux::run({QStringLiteral("kill-session"), QStringLiteral("-t"), QStringLiteral("=") + dead.name});
        }
    };

    // The program is looked up in the game folder, as the game's own start is.
    QString program = toQ(arguments.front());
    const QString inFolder = QDir(toQ(gameFolder)).absoluteFilePath(program);
    if (!program.contains(QLatin1Char('/')) && QFileInfo(inFolder).isFile())
        program = inFolder;
    QStringList command{QStringLiteral("new-session"), QStringLiteral("-d"), QStringLiteral("-s"), session,
                        QStringLiteral("-c"), toQ(gameFolder), QStringLiteral("-x"), QStringLiteral("160"),
                        QStringLiteral("-y"), QStringLiteral("48"), program};
    for (std::size_t i = 1; i < arguments.size(); ++i)
        command << toQ(arguments[i]);
    // The console stays after the server ends, so that an early death and its cause can be seen.
    command << QStringLiteral(";") << QStringLiteral("set-option") << QStringLiteral("-w") << QStringLiteral("-t")
            << tmux::paneTarget(session) << QStringLiteral("remain-on-exit") << QStringLiteral("on");
    // tmux closes a pane whose process ended without reading what is left in its terminal, unless the pane is
    // piped: then it drains it first. A server that prints its error and dies at once keeps its last words so.
    command << QStringLiteral(";") << QStringLiteral("pipe-pane") << QStringLiteral("-t") << tmux::paneTarget(session)
            << QStringLiteral("exec cat >/dev/null");
    // tmux that cannot be run at all is the one problem with a message of its own.
    const tmux::Result started = tmux::run(command);
    if (!started.ran) {
        outcome.problem = kNoTmux;
        return outcome;
    }
    if (started.exitCode != 0)
        return outcome;
    removeDeadConsoles();

    outcome.consoleName = toStd(session);
    m_session = session;
    m_deadSince.invalidate();
    QThread::msleep(kStartWaitMs);
    ServerState state = poll();
    // Dead, but its exit status not read yet: the outcome waits for it a little.
    for (int i = 0; i < kStatusWaits && state.kind == ServerState::Kind::Running && m_deadSince.isValid(); ++i) {
        QThread::msleep(kStatusWaitMs);
        state = poll();
    }
    if (state.kind == ServerState::Kind::Running)
        outcome.exitCode = kStillActive;
    else if (state.kind == ServerState::Kind::Ended)
        outcome.exitCode = state.end.signal > 0 ? -state.end.signal : state.end.exitCode;
    else
        outcome.exitCode = 0; // gone already, and with it its exit status
    return outcome;
}

ServerState TmuxLauncher::poll()
{
    ServerState state;
    if (m_session.isEmpty())
        return state;
    state.kind = ServerState::Kind::Gone;
    for (const auto& found : tmux::sessions(m_session)) {
        if (found.name != m_session)
            continue;
        state.stopRequested = found.stopRequested;
        if (found.alive) {
            m_deadSince.invalidate();
            state.kind = ServerState::Kind::Running;
        } else if (!found.endKnown) {
            // tmux reads the exit status a moment after the pane's terminal closed (sessions() asks it to collect
            // ended panes). Until then the server counts as running, after a while as ended in an unknown way.
            if (!m_deadSince.isValid())
                m_deadSince.start();
            if (m_deadSince.elapsed() < kStatusPatienceMs) {
                state.kind = ServerState::Kind::Running;
            } else {
                state.kind = ServerState::Kind::Ended;
                state.end.known = false;
            }
        } else {
            m_deadSince.invalidate();
            state.kind = ServerState::Kind::Ended;
            state.end = ServerEnd{found.deadStatus, found.deadSignal};
        }
    }
    return state;
}

std::string TmuxLauncher::consoleText()
{
    if (m_session.isEmpty())
        return {};
    const tmux::Result captured =
        tmux::run({QStringLiteral("capture-pane"), QStringLiteral("-p"), QStringLiteral("-J"), QStringLiteral("-S"),
                   QString::number(-kConsoleHistoryLines), QStringLiteral("-t"), tmux::paneTarget(m_session)});
    if (!captured.ran || captured.exitCode != 0)
        return {};
    // tmux's own note on the dead pane is not the server's.
    QStringList lines = captured.output.split(QLatin1Char('\n'));
    lines.removeIf([](const QString& line) { return line.startsWith(QLatin1String("Pane is dead")); });
    return toStd(lines.join(QLatin1Char('\n')));
}

bool TmuxLauncher::adopt()
{
    const auto live = tmux::firstLiveSession(toQ(kConsoleWindowClass));
    if (!live)
        return false;
    m_session = *live;
    return true;
}

bool TmuxLauncher::stop(std::chrono::milliseconds grace)
{
    if (poll().kind != ServerState::Kind::Running)
        return poll().kind != ServerState::Kind::None;
    const QString target = QStringLiteral("=") + m_session;
    tmux::run({QStringLiteral("set-option"), QStringLiteral("-t"), target, QLatin1String(tmux::kStopOption),
               QStringLiteral("1")});
    tmux::run({QStringLiteral("send-keys"), QStringLiteral("-t"), tmux::paneTarget(m_session), QStringLiteral("-l"),
               QStringLiteral("quit")});
    tmux::run(
        {QStringLiteral("send-keys"), QStringLiteral("-t"), tmux::paneTarget(m_session), QStringLiteral("Enter")});
    const auto waitForEnd = [this](std::chrono::milliseconds limit) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < limit.count()) {
            if (poll().kind != ServerState::Kind::Running)
                return true;
            QThread::msleep(kStopPollMs);
        }
        return poll().kind != ServerState::Kind::Running;
    };
    // A terminal window showing the console closes with the server instead of staying on its dead pane; the
    // session stays, so that whoever watches it reads that the end was asked for.
    const auto detachViewers = [&] {
        tmux::run({QStringLiteral("detach-client"), QStringLiteral("-s"), target});
        return true;
    };
    if (waitForEnd(grace))
        return detachViewers();
    // It did not heed quit: end the process, politely first.
    qint64 pid = 0;
    for (const auto& found : tmux::sessions(m_session)) {
        if (found.name == m_session)
            pid = found.pid;
    }
    if (pid <= 0)
        return false;
    ::kill(pid_t(pid), SIGTERM);
    if (waitForEnd(std::chrono::seconds(2)))
        return detachViewers();
    ::kill(pid_t(pid), SIGKILL);
    return waitForEnd(std::chrono::seconds(2)) && detachViewers();
}

} // namespace varno
