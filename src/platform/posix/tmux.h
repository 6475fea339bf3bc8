#pragma once

#include "core/launch/watchdog.h"

#include <QString>
#include <QStringList>

class QProcess;

#include <optional>

namespace varno::tmux {

// The panel's own tmux server: socket "varno" (tmux -L varno), or VARNO_TMUX_SOCKET.
QString socketName();

struct Result {
    bool ran = false; // tmux could be started at all
    int exitCode = -1;
    QString output;
};

// Runs one tmux command line on the panel's socket; waits for it to end.
Result run(const QStringList& arguments);
// The same on another socket.
Result runOn(const QString& socket, const QStringList& arguments);

// Sets up process to run one tmux command line on the panel's socket, for callers that do not wait.
void prepare(QProcess& process, const QStringList& arguments);

// The sessions on the panel's socket whose names begin with prefix, in tmux's order, with whether
// their pane's process is still running and, for a dead one, how it ended.
struct Session {
    QString name;
    bool alive = false;
    int deadStatus = 0;
    int deadSignal = 0;
    bool endKnown = false;      // a dead pane's status and signal have been read
    bool stopRequested = false; // the session carries kStopOption
    qint64 pid = 0;             // the pane's process

    // How a dead pane's process ended, as far as tmux knows.
    ServerEnd end() const { return ServerEnd{deadStatus, deadSignal, endKnown}; }
};

// The session option that marks a server whose end was asked for, so that a watchdog leaves it down.
inline constexpr const char* kStopOption = "@varno-stop";
QList<Session> sessions(const QString& prefix);

// Makes the tmux server collect the processes of panes that ended, so that it can tell how they ended.
void collectEndedPanes();

// The first session beginning with prefix whose process runs.
std::optional<QString> firstLiveSession(const QString& prefix);

// A target naming exactly this session's active pane.
QString paneTarget(const QString& session);

// The session whose pane receives the keys the panel plays, as the foreground window does on Windows: set
// by the console finder, read by the key injector. Empty until a console has been brought forward.
void setInputSession(const QString& session);
// The socket of that session's tmux server: the keys go there even when another server is selected meanwhile.
QString inputSocket();
// Sets up process to run one tmux command line on that socket.
void prepareOn(const QString& socket, QProcess& process, const QStringList& arguments);
void clearInputSession();
std::optional<QString> inputSession();

} // namespace varno::tmux
