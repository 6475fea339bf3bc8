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

} // namespace varno::test
