#pragma once

#include "core/lpb/rcon_pacer.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <map>
#include <optional>
#include <set>

class QHostInfo;
class QNetworkDatagram;
class QUdpSocket;

namespace varno {

// The watcher's one UDP endpoint ("UDP1"). Every send goes to a target (host text and port) that was aimed at or
// listened to; a host name is looked up once per aim, without blocking the window. Only datagrams from the address
// and port last aimed at count as replies; those from a target listened to are handed on apart, for their owner to
// sort; anything else that reaches the local port is dropped, so that no other host can pass itself off as the server
// and have players kicked or banned.
class RconEndpoint : public QObject {
    Q_OBJECT
public:
    explicit RconEndpoint(QObject* parent = nullptr);
    ~RconEndpoint() override;

    // Points the endpoint at target: a dotted or IPv6 address is taken at once, anything else is looked up.
    void aim(const RconTarget& target);
    const RconTarget& target() const { return m_target; }

    // Also hears target, without aiming at it: its host is looked up unless that was done, and its datagrams reach
    // listenedDatagramArrived() whenever it is not the target aimed at.
    void listen(const RconTarget& target);

    // Whether the latest aim at target, or its lookup for listening, has its address, so that datagrams can leave.
    bool isResolved(const RconTarget& target) const;

    // One datagram carrying exactly payload to target's address. Throws VarnoError when it cannot leave.
    void send(const RconTarget& target, const QByteArray& payload);

    quint16 localPort() const;

signals:
    // The lookup of an aim finished: with the address, or with error set to the text for the operator.
    void lookupFinished(const varno::RconTarget& target, const QString& error);
    // A datagram from the target last aimed at; source is "address:port".
    void datagramArrived(const QByteArray& payload, const QString& source);
    // A datagram from a target listened to that is not the one aimed at.
    void listenedDatagramArrived(const varno::RconTarget& target, const QByteArray& payload, const QString& source);
    // A datagram from anywhere else, dropped unread.
    void foreignDatagramDropped(const QString& source);

private slots:
    // Connected by name, so that no functor of ours waits with a lookup that outlives the endpoint.
    void hostLookedUp(const QHostInfo& info);

private:
    struct Resolution {
        int lookupId = -1; // the pending lookup of the latest aim; -1 when none is pending
        std::optional<QHostAddress> address;
    };

    void bindSocket();
    void lookUp(const RconTarget& target, Resolution& resolution);
    bool isFrom(const RconTarget& target, const QNetworkDatagram& datagram) const;
    void readPendingDatagrams();
    void lookupDone(const RconTarget& target, const QHostInfo& info);

    QUdpSocket* m_socket;
    RconTarget m_target;
    std::map<RconTarget, Resolution> m_resolutions;
    std::set<RconTarget> m_listened;
    std::map<int, RconTarget> m_lookups; // pending lookups by id
};

} // namespace varno
