#pragma once

#include <QString>
#include <QUdpSocket>

#include <vector>

namespace varno::test {

// Loopback ports that leave an rcon client blind: one where something listens and never answers, and one
// whose answers come from another port.
class BlindTargets {
public:
    BlindTargets();

    bool bound() const { return m_bound; }
    quint16 silentPort() const { return m_silent.localPort(); }
    quint16 askedPort() const { return m_asked.localPort(); }
    quint16 answeringPort() const { return m_answering.localPort(); }

private:
    QUdpSocket m_silent;
    QUdpSocket m_asked;
    QUdpSocket m_answering;
    bool m_bound = false;
};

// One way for a watcher to be blind, and what it says then (without the location some add).
struct BlindCase {
    const char* what;
    QString host; // empty: this machine
    quint16 port;
    const char* password;
    QString says;
};

// All four, next to a server that answers on serverPort to the password "secret".
std::vector<BlindCase> blindCases(const BlindTargets& blind, quint16 serverPort);

} // namespace varno::test
