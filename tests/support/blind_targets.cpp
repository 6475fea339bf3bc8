#include "support/blind_targets.h"

#include <QNetworkDatagram>

namespace varno::test {

BlindTargets::BlindTargets()
{
    m_bound = m_silent.bind(QHostAddress::LocalHost, 0) && m_asked.bind(QHostAddress::LocalHost, 0) &&
              m_answering.bind(QHostAddress::LocalHost, 0);
    QObject::connect(&m_asked, &QUdpSocket::readyRead, &m_asked, [this] {
        while (m_asked.hasPendingDatagrams()) {
            const QNetworkDatagram request = m_asked.receiveDatagram();
            m_answering.writeDatagram(QByteArrayLiteral("\xff\xff\xff\xffprint\nmap: q3dm17\n"),
                                      request.senderAddress(), quint16(request.senderPort()));
        }
    });
}

std::vector<BlindCase> blindCases(const BlindTargets& blind, quint16 serverPort)
{
    return {
        {"wrong password", {}, serverPort, "wrong", QStringLiteral("Server refused the rcon password")},
        {"silent port", {}, blind.silentPort(), "secret",
         QStringLiteral("No reply from 127.0.0.1:%1").arg(blind.silentPort())},
        {"unknown host", QStringLiteral("nosuch.invalid"), serverPort, "secret",
         QStringLiteral("Host not found: nosuch.invalid")},
        {"reply from another port", {}, blind.askedPort(), "secret",
         QStringLiteral("Replies from 127.0.0.1:%1 ignored").arg(blind.answeringPort())},
    };
}

} // namespace varno::test
