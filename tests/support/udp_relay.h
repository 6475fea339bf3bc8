#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

class QUdpSocket;

namespace varno::test {

// What a bad link does to the datagrams going one way. Each datagram is lost with lossRate; one that gets through
// is sent twice with duplicateRate; every copy is held for a delay drawn evenly from 0 to maxDelayMs, so that
// datagrams close together overtake each other.
struct LinkFaults {
    double lossRate = 0.0;
    double duplicateRate = 0.0;
    int maxDelayMs = 0;
};

enum class RelayDirection { ToServer, ToWatcher };

// What happened to one datagram at the relay, in the order it happened: it arrived, then it was dropped, or each
// of its copies was delivered after its delay.
struct RelayEvent {
    enum class Kind { Arrived, Dropped, Delivered };
    RelayDirection direction = RelayDirection::ToServer;
    Kind kind = Kind::Arrived;
    QByteArray payload;
};

// A UDP relay on loopback between a watcher and a game server, spoiling both directions as told. The watcher is
// aimed at port(); the relay sends on to the server's port from a socket of its own and sends the server's replies
// back to wherever the watcher last wrote from, from port(), so they come from the address the watcher polls.
// Faults are drawn from one std::mt19937 per direction, seeded from seed, so a case sees the same faults on every
// run as long as the datagrams come in the same order. Delays run on QTimer: the caller's event loop must run.
// No signals of its own, so no moc: the test support library is built without it.
class UdpRelay : public QObject {
public:
    UdpRelay(quint16 serverPort, const LinkFaults& toServer, const LinkFaults& toWatcher, std::uint32_t seed,
             QObject* parent = nullptr);
    ~UdpRelay() override;

    // Whether both sockets are bound.
    bool isBound() const { return m_bound; }
    quint16 port() const;

    int arrived(RelayDirection direction) const { return way(direction).arrived; }
    int dropped(RelayDirection direction) const { return way(direction).dropped; }
    int duplicated(RelayDirection direction) const { return way(direction).duplicated; }
    const std::vector<RelayEvent>& events() const { return m_events; }

private:
    struct Way {
        LinkFaults faults;
        std::mt19937 random;
        int arrived = 0;
        int dropped = 0;
        int duplicated = 0;
    };

    Way& way(RelayDirection direction) { return m_ways[std::size_t(direction)]; }
    const Way& way(RelayDirection direction) const { return m_ways[std::size_t(direction)]; }

    void readFromWatcher();
    void readFromServer();
    void pass(RelayDirection direction, const QByteArray& payload);
    void deliver(RelayDirection direction, const QByteArray& payload);

    QUdpSocket* m_watcherSide;
    QUdpSocket* m_serverSide;
    quint16 m_serverPort;
    bool m_bound = false;
    QHostAddress m_watcherAddress;
    quint16 m_watcherPort = 0;
    std::array<Way, 2> m_ways;
    std::vector<RelayEvent> m_events;
};

} // namespace varno::test
