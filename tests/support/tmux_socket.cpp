#include "support/tmux_socket.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QUuid>

#include <unistd.h>

namespace varno::test {

namespace {

QString runTmux(const QString& socket, const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("tmux"), QStringList{QStringLiteral("-L"), socket} + arguments);
    if (!process.waitForFinished(5000))
        process.kill();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

} // namespace

TmuxSocket::TmuxSocket()
    : m_name(QStringLiteral("varno-test-%1-%2")
                 .arg(QCoreApplication::applicationPid())
                 .arg(QUuid::createUuid().toString(QUuid::Id128).left(8)))
{
    m_hadPrevious = qEnvironmentVariableIsSet("VARNO_TMUX_SOCKET");
    m_previous = qgetenv("VARNO_TMUX_SOCKET");
    qputenv("VARNO_TMUX_SOCKET", m_name.toLocal8Bit());
}

TmuxSocket::~TmuxSocket()
{
    runTmux(m_name, {QStringLiteral("kill-server")});
    // Other servers' consoles run on sockets named after this one.
    const QString base =
        qEnvironmentVariableIsSet("TMUX_TMPDIR") ? qEnvironmentVariable("TMUX_TMPDIR") : QStringLiteral("/tmp");
    const QDir folder(base + QStringLiteral("/tmux-%1").arg(::getuid()));
    for (const QString& socket : folder.entryList({m_name + QStringLiteral("-*")}, QDir::System | QDir::Files))
        runTmux(socket, {QStringLiteral("kill-server")});
    if (m_hadPrevious)
        qputenv("VARNO_TMUX_SOCKET", m_previous);
    else
        qunsetenv("VARNO_TMUX_SOCKET");
}

QString TmuxSocket::capture(const QString& session) const
{
    return runTmux(m_name,
                   {QStringLiteral("capture-pane"), QStringLiteral("-p"), QStringLiteral("-J"), QStringLiteral("-S"),
                    QStringLiteral("-"), QStringLiteral("-t"), QStringLiteral("=") + session + QStringLiteral(":")});
}

QStringList TmuxSocket::sessions() const
{
    return runTmux(m_name, {QStringLiteral("list-sessions"), QStringLiteral("-F"), QStringLiteral("#{session_name}")})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace varno::test
