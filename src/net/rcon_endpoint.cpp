#include "net/rcon_endpoint.h"

#include "core/app/varno_error.h"
#include "platform/qt_text.h"

#include <QHostInfo>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <algorithm>

namespace varno {

namespace {

constexpr std::string_view kHostNotFound = "Host not found: %s";
constexpr std::string_view kInvalidPort = "Invalid port number: %s";

// A sender on a dual-stack socket may show up as an IPv4-mapped IPv6 address; replies name it as IPv4.
QHostAddress plainAddress(const QHostAddress& address)
{
    bool isIpv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIpv4);
    return isIpv4 ? QHostAddress(ipv4) : address;
}

QString sourceText(const QHostAddress& address, quint16 port)
{
    const QHostAddress plain = plainAddress(address);
    const QString host = plain.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + plain.toString() + QLatin1Char(']')
                             : plain.toString();
    return host + QLatin1Char(':') + QString::number(port);
}

bool isValidPort(int port)
{
    return port > 0 && port <= 65535;
}

} // namespace

RconEndpoint::RconEndpoint(QObject* parent)
    : QObject(parent)
    , m_socket(new QUdpSocket(this))
{
    setObjectName(QStringLiteral("UDP1"));
    bindSocket();
    connect(m_socket, &QUdpSocket::readyRead, this, &RconEndpoint::readPendingDatagrams);
}

RconEndpoint::~RconEndpoint() = default;

void RconEndpoint::bindSocket()
{
    // Any local port; a failure here shows up as a send error.
    if (!m_socket->bind(QHostAddress::Any, 0))
        m_socket->bind(QHostAddress::AnyIPv4, 0);
}

quint16 RconEndpoint::localPort() const
{
    return m_socket->localPort();
}

void RconEndpoint::aim(const RconTarget& target)
{
    m_target = target;
    lookUp(target, m_resolutions[target]);
}

void RconEndpoint::listen(const RconTarget& target)
{
    m_listened.insert(target);
    Resolution& resolution = m_resolutions[target];
    if (resolution.lookupId < 0 && !resolution.address)
        lookUp(target, resolution);
}

void RconEndpoint::lookUp(const RconTarget& target, Resolution& resolution)
{
    // A lookup still running is left to finish; its answer is dropped below, as it no longer is the latest.
    resolution.lookupId = -1;

    const QString host = toQ(target.host);
    if (QHostAddress literal; literal.setAddress(host)) {
        resolution.address = literal;
        return;
    }
    // Until the lookup answers, what was queued at the previous aim still goes to the address found then.
    resolution.lookupId = QHostInfo::lookupHost(host, this, SLOT(hostLookedUp(QHostInfo)));
    m_lookups[resolution.lookupId] = target;
}

void RconEndpoint::hostLookedUp(const QHostInfo& info)
{
    const auto it = m_lookups.find(info.lookupId());
    if (it == m_lookups.end())
        return;
    const RconTarget target = it->second;
    m_lookups.erase(it);
    lookupDone(target, info);
}

void RconEndpoint::lookupDone(const RconTarget& target, const QHostInfo& info)
{
    const auto it = m_resolutions.find(target);
    if (it == m_resolutions.end() || it->second.lookupId != info.lookupId())
        return; // a later aim took over
    Resolution& resolution = it->second;
    resolution.lookupId = -1;
    const QList<QHostAddress> addresses = info.addresses();
    if (info.error() != QHostInfo::NoError || addresses.isEmpty()) {
        m_resolutions.erase(it);
        emit lookupFinished(target, toQ(formatMessage(kHostNotFound, target.host)));
        return;
    }
    // IPv4 first: game servers listen there, and on IPv6 only when told to.
    resolution.address = addresses.constFirst();
    for (const QHostAddress& address : addresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            resolution.address = address;
            break;
        }
    }
    emit lookupFinished(target, QString());
}

bool RconEndpoint::isResolved(const RconTarget& target) const
{
    const auto it = m_resolutions.find(target);
    return it != m_resolutions.end() && it->second.lookupId < 0 && it->second.address.has_value();
}

void RconEndpoint::send(const RconTarget& target, const QByteArray& payload)
{
    if (!isValidPort(target.port))
        throw VarnoError(formatMessage(kInvalidPort, std::to_string(target.port)));
    const auto it = m_resolutions.find(target);
    if (it == m_resolutions.end() || !it->second.address)
        throw VarnoError(formatMessage(kHostNotFound, target.host));
    const qint64 written = m_socket->writeDatagram(payload, *it->second.address, quint16(target.port));
    if (written != payload.size())
        throw VarnoError(toStd(m_socket->errorString()));
}

bool RconEndpoint::isFrom(const RconTarget& target, const QNetworkDatagram& datagram) const
{
    const auto it = m_resolutions.find(target);
    return it != m_resolutions.end() && it->second.address && datagram.senderPort() == target.port &&
           it->second.address->isEqual(datagram.senderAddress(), QHostAddress::TolerantConversion);
}

void RconEndpoint::readPendingDatagrams()
{
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram();
        const QString source = sourceText(datagram.senderAddress(), quint16(datagram.senderPort()));
        if (isFrom(m_target, datagram)) {
            emit datagramArrived(datagram.data(), source);
            continue;
        }
        const auto listened = std::find_if(m_listened.begin(), m_listened.end(),
                                           [&](const RconTarget& target) { return isFrom(target, datagram); });
        if (listened != m_listened.end())
            emit listenedDatagramArrived(*listened, datagram.data(), source);
        else
            emit foreignDatagramDropped(source);
    }
}

} // namespace varno
