#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace varno::test {

// A UDP port free on this machine at the moment of asking.
int freeUdpPort();

// Every datagram a server on the loopback port sends back to one rcon command, joined without their print
// prefixes; empty when nothing answers within two seconds.
QString rconText(int port, const QByteArray& password, const QByteArray& command);

// Whether a server on the loopback port answers an rcon status within a moment.
bool answersRcon(int port, const QByteArray& password = "pw");

// Starts the real panel offscreen on a settings file and launches the server from it (the e2e tests' last step).
void launchFromPanel(QProcess& panel, const QString& settingsFile);

} // namespace varno::test
