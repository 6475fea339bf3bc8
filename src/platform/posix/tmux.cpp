#include "platform/posix/tmux.h"

#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <QProcess>
#include <QProcessEnvironment>

namespace varno::tmux {

namespace {

constexpr int kCommandTimeoutMs = 5000;

std::optional<QString>& inputSessionSlot()
{
    static std::optional<QString> session;
    return session;
}

QString& inputSocketSlot()
{
    static QString socket;
    return socket;
}

} // namespace

QString socketName()
{
    // Each server's consoles have a tmux server of their own: the console bridge, the launcher and the readers of
    // one server never see another's.
    const QString fromEnvironment = qEnvironmentVariable("VARNO_TMUX_SOCKET");
    const QString base = fromEnvironment.isEmpty() ? QStringLiteral("varno") : fromEnvironment;
    const std::string profile = serverProfile();
    return profile.empty() ? base : base + QLatin1Char('-') + toQ(profile);
}

void prepareOn(const QString& socket, QProcess& process, const QStringList& arguments)
{
    process.setProgram(QStringLiteral("tmux"));
    process.setArguments(QStringList{QStringLiteral("-L"), socket} + arguments);
    // The panel may itself run inside tmux; its server is another one.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("TMUX"));
    process.setProcessEnvironment(environment);
}

void prepare(QProcess& process, const QStringList& arguments)
{
    prepareOn(socketName(), process, arguments);
}

Result run(const QStringList& arguments)
{
    return runOn(socketName(), arguments);
}

Result runOn(const QString& socket, const QStringList& arguments)
{
    QProcess process;
    prepareOn(socket, process, arguments);
    process.start();
    Result result;
    if (!process.waitForStarted(kCommandTimeoutMs))
        return result;
    result.ran = true;
    if (!process.waitForFinished(kCommandTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return result;
}

namespace {

QList<Session> listSessions(const QString& prefix)
{
    // One line per session's active pane: dead flag, exit status, signal, whether a stop was asked for, the
    // process id, then the name (which may hold blanks, so it goes last).
    const Result listed = run({QStringLiteral("list-panes"), QStringLiteral("-a"), QStringLiteral("-F"),
                               QStringLiteral("#{pane_active} #{pane_dead} x#{pane_dead_status} "
                                              "x#{pane_dead_signal} #{?%1,1,0} #{pane_pid} #{session_name}")
                                   .arg(QLatin1String(kStopOption))});
    QList<Session> found;
    if (!listed.ran || listed.exitCode != 0)
        return found; // no server on the socket yet
    for (const QString& line : listed.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList parts = line.split(QLatin1Char(' '));
        if (parts.size() < 7 || parts[0] != QLatin1String("1"))
            continue;
        Session session;
        session.alive = parts[1] != QLatin1String("1");
        // tmux marks a pane dead when its terminal closes and learns the exit status a moment later; until then
        // both are empty (hence the x before each).
        session.deadStatus = parts[2].mid(1).toInt();
        session.deadSignal = parts[3].mid(1).toInt();
        session.endKnown = parts[2].size() > 1 || parts[3].size() > 1;
        session.stopRequested = parts[4] == QLatin1String("1");
        session.pid = parts[5].toLongLong();
        session.name = parts.mid(6).join(QLatin1Char(' '));
        if (session.name.startsWith(prefix))
            found << session;
    }
    return found;
}

} // namespace

QList<Session> sessions(const QString& prefix)
{
    QList<Session> found = listSessions(prefix);
    for (const Session& session : found) {
        if (!session.alive && !session.endKnown) {
            collectEndedPanes();
            return listSessions(prefix);
        }
    }
    return found;
}

void collectEndedPanes()
{
    // tmux learns how a pane's process ended when the child's end is signalled; now and then (tmux 3.3) that
    // signal is lost and the process stays a zombie. Any other child of the tmux server that ends makes it
    // collect them all, so one is run.
    run({QStringLiteral("run-shell"), QStringLiteral("true")});
}

std::optional<QString> firstLiveSession(const QString& prefix)
{
    for (const Session& session : sessions(prefix)) {
        if (session.alive)
            return session.name;
    }
    return std::nullopt;
}

QString paneTarget(const QString& session)
{
    return QStringLiteral("=") + session + QStringLiteral(":");
}

void setInputSession(const QString& session)
{
    inputSessionSlot() = session;
    inputSocketSlot() = socketName();
}

QString inputSocket()
{
    return inputSocketSlot().isEmpty() ? socketName() : inputSocketSlot();
}

void clearInputSession()
{
    inputSessionSlot().reset();
}

std::optional<QString> inputSession()
{
    return inputSessionSlot();
}

} // namespace varno::tmux
