#include "gui/lpb/fake_rcon_server.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QtTest/QTest>

#include <algorithm>
#include <cstdio>

namespace varno::test {

namespace {

const QByteArray kRconStart = QByteArrayLiteral("\xff\xff\xff\xffrcon ");

} // namespace

qint64 testClockUs()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.nsecsElapsed() / 1000;
}

FakeRconServer::FakeRconServer()
    : m_socket(new QUdpSocket(this))
{
    m_socket->bind(QHostAddress::LocalHost, 0);
    connect(m_socket, &QUdpSocket::readyRead, this, &FakeRconServer::readAll);
}

quint16 FakeRconServer::port() const
{
    return m_socket->localPort();
}

void FakeRconServer::readAll()
{
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram();
        m_received.push_back(
            {datagram.data(), testClockUs(), datagram.senderAddress(), quint16(datagram.senderPort())});
    }
}

std::vector<QByteArray> FakeRconServer::commands(const QByteArray& password) const
{
    std::vector<QByteArray> commands;
    const QByteArray start = kRconStart + password;
    for (const Datagram& datagram : m_received)
        commands.push_back(datagram.payload.startsWith(start) ? datagram.payload.mid(start.size())
                                                              : QByteArrayLiteral("<other>") + datagram.payload);
    return commands;
}

bool FakeRconServer::waitForCount(std::size_t count, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (m_received.size() < count) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QTest::qSleep(1);
    }
    return true;
}

void FakeRconServer::answer(const std::vector<QByteArray>& payloads)
{
    const Datagram& last = m_received.back();
    for (const QByteArray& payload : payloads)
        m_socket->writeDatagram(payload, last.sender, last.senderPort);
}

void FakeRconServer::sendTo(const QByteArray& payload, const QHostAddress& address, quint16 port)
{
    m_socket->writeDatagram(payload, address, port);
}

std::vector<QByteArray> fixtureDatagrams(const QString& name)
{
    std::vector<QByteArray> datagrams;
    const QDir folder(QStringLiteral(VARNO_TEST_DATA "/fixtures/") + name);
    for (int n = 1;; ++n) {
        QFile file(folder.filePath(QStringLiteral("datagram-%1.bin").arg(n)));
        if (!file.open(QIODevice::ReadOnly))
            break;
        datagrams.push_back(file.readAll());
    }
    return datagrams;
}

QByteArray classicStatusReply(const std::vector<QByteArray>& rows, const QByteArray& mapName)
{
    QByteArray reply = QByteArrayLiteral("\xff\xff\xff\xffprint\nmap: ") + mapName +
                       QByteArrayLiteral("\nnum score ping name            lastmsg address               qport rate\n"
                                         "--- ----- ---- --------------- ------- --------------------- ----- -----\n");
    for (const QByteArray& row : rows)
        reply += row + '\n';
    return reply + '\n';
}

QByteArray classicRow(int client, const QByteArray& ping, const QByteArray& name, const QByteArray& address)
{
    char text[256];
    std::snprintf(text, sizeof text, "%3i %5i %4s %s^7%*s%7i %s%*s%5i %5i", client, 0, ping.constData(),
                  name.constData(), int(std::max<qsizetype>(0, 16 - name.size())), "", 0, address.constData(),
                  int(std::max<qsizetype>(0, 22 - address.size())), "", 1000 + client, 25000);
    return QByteArray(text);
}

} // namespace varno::test
