#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <vector>

class QSocketNotifier;

namespace varno::test {

// A game server's rcon port on loopback: it records what arrives and answers with whatever the test hands it. Like
// the engines, it answers every rcon command but status at once with its (here empty) printed output; status
// tables come from the test.
class FakeRconServer : public QObject {
public:
    struct Datagram {
        QByteArray payload;
        qint64 arrivalUs = 0; // when the kernel took it in; only the differences mean anything
        QHostAddress sender;
        quint16 senderPort = 0;
    };

    FakeRconServer();
    ~FakeRconServer() override;

    quint16 port() const;
    const std::vector<Datagram>& received() const { return m_received; }
    // The commands received, each without the four 0xFF bytes, "rcon " and the password given.
    std::vector<QByteArray> commands(const QByteArray& password) const;

    // Waits, processing events, until at least count datagrams have arrived.
    bool waitForCount(std::size_t count, int timeoutMs = 5000);

    // Sends payloads to whoever sent the last datagram, each as one datagram.
    void answer(const std::vector<QByteArray>& payloads);
    void sendTo(const QByteArray& payload, const QHostAddress& address, quint16 port);
    // Off: commands go unanswered too, as from a server that was not listening yet.
    void setAnswerCommands(bool on) { m_answerCommands = on; }

private:
    void readAll();

    int m_socket; // a plain socket: Qt's would not hand over the kernel's arrival stamps
    quint16 m_port = 0;
    QSocketNotifier* m_notifier;
    std::vector<Datagram> m_received;
    bool m_answerCommands = true;
};

// A monotonic clock shared by the tests' servers, in microseconds.
qint64 testClockUs();

// The datagrams of a captured reply in tests/data/fixtures.
std::vector<QByteArray> fixtureDatagrams(const QString& name);

// A classic-layout status reply in one datagram: header lines, then the given rows (each without its line feed),
// then the closing empty line.
QByteArray classicStatusReply(const std::vector<QByteArray>& rows, const QByteArray& mapName = "q3dm17");
// One classic row: client number, ping text, name and address laid out as the classic server prints them.
QByteArray classicRow(int client, const QByteArray& ping, const QByteArray& name, const QByteArray& address);

} // namespace varno::test
