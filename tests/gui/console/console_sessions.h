#pragma once

#include "support/tmux_socket.h"

#include <QString>
#include <QStringList>

#include <string>

namespace varno::test {

inline constexpr const char* kConsoleSession = "Q3 WinConsole";

// Runs tmux on the test's socket and waits for it; returns its standard output.
QString runOnSocket(const TmuxSocket& socket, const QStringList& arguments);

// Starts a detached session running a shell command, as an operator would by hand.
void startSession(const TmuxSocket& socket, const QString& name, const QString& shellCommand);

// Starts a session whose pane stays after its command has ended, as the panel's consoles do, and waits
// until the command has ended.
void startDeadSession(const TmuxSocket& socket, const QString& name);

void killSession(const TmuxSocket& socket, const QString& name);

// A shell command that writes every line typed into its pane to path.
QString recordTypedLines(const QString& path);

// A list as one text, for readable test failures.
std::string joined(const QStringList& lines);

// The complete lines of a text file (an unfinished last line left out).
QStringList fileLines(const QString& path);

} // namespace varno::test
