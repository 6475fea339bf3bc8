#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace varno::test {

// The stand-in game server as a child process in a folder of its own, on a free loopback port, with
// every command it runs logged to a file. Ended when the object goes, whatever happened.
class StandinServer {
public:
    // extraArguments are further "+command args" pieces (for example {"+addclient", "Bob", "40", "10.0.0.1:27960"});
    // a map is started and the rcon password set first.
    explicit StandinServer(const QStringList& extraArguments = {}, const QString& rconPassword = QStringLiteral("secret"));
    ~StandinServer();
    StandinServer(const StandinServer&) = delete;
    StandinServer& operator=(const StandinServer&) = delete;

    bool started() const { return m_port > 0; }
    int port() const { return m_port; }
    QString folder() const { return m_folder.path(); }
    QString output() const { return m_output; }
    // The commands it ran, one per line of its log.
    QStringList loggedCommands() const;
    bool waitForLogged(const QString& command, int timeoutMs = 5000) const;
    // Types a console line into its standard input.
    void type(const QString& line);

private:
    QTemporaryDir m_folder;
    QProcess m_process;
    QString m_output;
    int m_port = 0;
};

// The stand-in program in the build's bin folder.
QString standinProgram();

} // namespace varno::test
