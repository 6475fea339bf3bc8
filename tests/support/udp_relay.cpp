#include "support/udp_relay.h"

#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

namespace varno::test {

UdpRelay::UdpRelay(quint16 serverPort, const LinkFaults& toServer, const LinkFaults& toWatcher, std::uint32_t seed,
                   QObject* parent)
    : QObject(parent)
    , m_watcherSide(new QUdpSocket(this))
    , m_serverSide(new QUdpSocket(this))
    , m_serverPort(serverPort)
{
    // Each direction its own generator: how many datagrams go one way does not shift the faults of the other.
    m_ways[std::size_t(RelayDirection::ToServer)] = {toServer, std::mt19937(seed), 0, 0, 0};
    m_ways[std::size_t(RelayDirection::ToWatcher)] = {toWatcher, std::mt19937(seed + 1), 0, 0, 0};
    m_bound = m_watcherSide->bind(QHostAddress::LocalHost, 0) && m_serverSide->bind(QHostAddress::LocalHost, 0);
    connect(m_watcherSide, &QUdpSocket::readyRead, this, &UdpRelay::readFromWatcher);
    connect(m_serverSide, &QUdpSocket::readyRead, this, &UdpRelay::readFromServer);
}

UdpRelay::~UdpRelay() = default;

quint16 UdpRelay::port() const
{
    return m_watcherSide->localPort();
}

void UdpRelay::readFromWatcher()
{
    while (m_watcherSide->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_watcherSide->receiveDatagram();
        m_watcherAddress = datagram.senderAddress();
        m_watcherPort = quint16(datagram.senderPort());
        pass(RelayDirection::ToServer, datagram.data());
    }
}

void UdpRelay::readFromServer()
{
    while (m_serverSide->hasPendingDatagrams())
        pass(RelayDirection::ToWatcher, m_serverSide->receiveDatagram().data());
}

void UdpRelay::pass(RelayDirection direction, const QByteArray& payload)
{
    Way& w = way(direction);
    ++w.arrived;
    m_events.push_back({direction, RelayEvent::Kind::Arrived, payload});
    // Every datagram takes the same draws whatever becomes of it, so one fault does not shift the ones after it.
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_int_distribution<int> delay(0, w.faults.maxDelayMs);
    const bool lost = chance(w.random) < w.faults.lossRate;
    const bool twice = chance(w.random) < w.faults.duplicateRate;
    const int delays[] = {delay(w.random), delay(w.random)};
    if (lost) {
        ++w.dropped;
        m_events.push_back({direction, RelayEvent::Kind::Dropped, payload});
        return;
    }
    w.duplicated += twice;
    for (int copy = 0; copy < (twice ? 2 : 1); ++copy) {
        QTimer::singleShot(delays[copy], Qt::PreciseTimer, this,
                           [this, direction, payload] { deliver(direction, payload); });
    }
}

void UdpRelay::deliver(RelayDirection direction, const QByteArray& payload)
{
    m_events.push_back({direction, RelayEvent::Kind::Delivered, payload});
    if (direction == RelayDirection::ToServer)
        m_serverSide->writeDatagram(payload, QHostAddress::LocalHost, m_serverPort);
    else
        m_watcherSide->writeDatagram(payload, m_watcherAddress, m_watcherPort);
}

} // namespace varno::test
