#include "cli/rcon_client.h"

#include "cli/cli_context.h"
#include "core/lpb/rcon.h"
#include "platform/qt_text.h"

#include <QElapsedTimer>
#include <QHostInfo>
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace varno::cli {

std::vector<std::string> exchangeRcon(const RconTarget& target, const std::string& commandText)
{
    QHostAddress address(target.host);
    if (address.isNull()) {
        const QHostInfo info = QHostInfo::fromName(target.host);
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty())
            throw CliError("cannot find the host '" + toStd(target.host) + "'");
        address = info.addresses().front();
    }
    QUdpSocket socket;
    if (!socket.bind(address.protocol() == QAbstractSocket::IPv6Protocol ? QHostAddress::AnyIPv6
                                                                          : QHostAddress::AnyIPv4,
                     0))
        throw CliError("cannot open a UDP socket: " + toStd(socket.errorString()));
    const std::string payload = rconDatagram(target.password, commandText);
    if (socket.writeDatagram(payload.data(), qint64(payload.size()), address, quint16(target.port)) < 0)
        throw CliError("cannot send to " + toStd(target.host) + ": " + toStd(socket.errorString()));

    std::vector<std::string> datagrams;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < target.waitMs) {
        if (!socket.waitForReadyRead(int(target.waitMs - clock.elapsed())))
            break;
        while (socket.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = socket.receiveDatagram();
            // Only the server asked answers; anything else on the port is not its reply.
            if (datagram.senderAddress().isEqual(address, QHostAddress::TolerantConversion) &&
                datagram.senderPort() == target.port)
                datagrams.push_back(datagram.data().toStdString());
        }
    }
    return datagrams;
}

} // namespace varno::cli
