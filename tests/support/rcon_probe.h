#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QUdpSocket>

#include <memory>
#include <vector>

namespace varno::test {

// A UDP port free on this machine at the moment of asking.
int freeUdpPort();

// A port with count - 1 free ones after it, as an engine's port scan needs them; 0 when none is found.
int freePortRun(int count = 10);

// Holds count UDP ports from base on, on every address, for the object's life, as another program would.
class TakenPorts {
public:
    TakenPorts(int base, int count);
    bool taken() const { return m_taken; }

private:
    std::vector<std::unique_ptr<QUdpSocket>> m_sockets;
    bool m_taken = true;
};

// Sends one rcon command to a loopback port without waiting for an answer.
void sendRcon(int port, const QByteArray& password, const QByteArray& command);

// Every datagram a server on the loopback port sends back to one rcon command, joined without their print
// prefixes; empty when nothing answers within two seconds.
QString rconText(int port, const QByteArray& password, const QByteArray& command);

// Whether a server on the loopback port answers an rcon status within a moment.
bool answersRcon(int port, const QByteArray& password = "pw");

// A file's bytes; empty when it cannot be read.
QByteArray readFile(const QString& path);

// Starts the real panel offscreen on a settings file and launches the server from it (the e2e tests' last step).
void launchFromPanel(QProcess& panel, const QString& settingsFile);

} // namespace varno::test
