#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace varno::test {

// The stand-in game server as a child process on a free loopback port, with a map running, the rcon password
// "secret" and a log of every command it runs. The destructor ends the process, whatever the test did.
class LpbStandin {
public:
    static constexpr const char* kPassword = "secret";

    LpbStandin() = default;
    ~LpbStandin();
    LpbStandin(const LpbStandin&) = delete;
    LpbStandin& operator=(const LpbStandin&) = delete;

    // settings: cvars as name/value pairs; players: "NAME PING ADDRESS" each, or "bot NAME". False, with output() telling why,
    // when the server did not come up.
    bool start(const QStringList& settings, const QStringList& players);

    quint16 port() const { return m_port; }
    QString output() const { return m_output; }
    // The text of the server's answer to an rcon command, or empty.
    QString rcon(const QString& command) const;
    // The commands the server ran, one per line of its log, command-line ones included.
    QStringList loggedCommands() const;
    // How many logged commands begin with the word.
    int countOf(const QString& word) const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_output;
    quint16 m_port = 0;
};

} // namespace varno::test
