#include "gui/console/console_sessions.h"

#include "support/gui_fixture.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace varno::test {

QString runOnSocket(const TmuxSocket& socket, const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("tmux"), QStringList{QStringLiteral("-L"), socket.name()} + arguments);
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "tmux did not finish: " << qPrintable(arguments.join(QLatin1Char(' ')));
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

void startSession(const TmuxSocket& socket, const QString& name, const QString& shellCommand)
{
    runOnSocket(socket,
                {QStringLiteral("new-session"), QStringLiteral("-d"), QStringLiteral("-s"), name, QStringLiteral("-x"),
                 QStringLiteral("160"), QStringLiteral("-y"), QStringLiteral("40"), shellCommand});
    EXPECT_TRUE(socket.sessions().contains(name)) << qPrintable(name);
}

void startDeadSession(const TmuxSocket& socket, const QString& name)
{
    // The option is set in the same tmux command, before the command can end.
    runOnSocket(socket, {QStringLiteral("new-session"), QStringLiteral("-d"), QStringLiteral("-s"), name,
                         QStringLiteral("exit 3"), QStringLiteral(";"), QStringLiteral("set-option"),
                         QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("=") + name + QStringLiteral(":"),
                         QStringLiteral("remain-on-exit"), QStringLiteral("on")});
    const bool dead = waitFor([&] {
        const QString listed = runOnSocket(socket, {QStringLiteral("list-panes"), QStringLiteral("-t"),
                                                    QStringLiteral("=") + name + QStringLiteral(":"),
                                                    QStringLiteral("-F"), QStringLiteral("#{pane_dead}")});
        return listed.trimmed() == QLatin1String("1");
    });
    EXPECT_TRUE(dead) << qPrintable(name);
}

void killSession(const TmuxSocket& socket, const QString& name)
{
    runOnSocket(socket, {QStringLiteral("kill-session"), QStringLiteral("-t"), QStringLiteral("=") + name});
}

QString recordTypedLines(const QString& path)
{
    return QStringLiteral("exec cat > '%1'").arg(path);
}

std::string joined(const QStringList& lines)
{
    return lines.join(QStringLiteral("\n")).toStdString();
}

QStringList fileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'));
    lines.removeLast(); // after the last line end, or an unfinished line
    return lines;
}

} // namespace varno::test
