#pragma once

#include <QByteArray>
#include <QString>

namespace varno::test {

// A UDP port free on this machine at the moment of asking.
int freeUdpPort();

// Every datagram a server on the loopback port sends back to one rcon command, joined without their print
// prefixes; empty when nothing answers within two seconds.
QString rconText(int port, const QByteArray& password, const QByteArray& command);

// Whether a server on the loopback port answers an rcon status within a moment.
bool answersRcon(int port, const QByteArray& password = "pw");

} // namespace varno::test
