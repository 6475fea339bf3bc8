#include "gui/lpb/fake_rcon_server.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QtTest/QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

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
    : m_socket(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0))
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    // The kernel stamps each datagram as it arrives: the gaps between them do not depend on when this thread,
    // which also runs the page, gets round to reading them.
    const int on = 1;
    ::setsockopt(m_socket, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    m_notifier = new QSocketNotifier(m_socket, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &FakeRconServer::readAll);
}

FakeRconServer::~FakeRconServer()
{
    delete m_notifier;
    ::close(m_socket);
}

quint16 FakeRconServer::port() const
{
    return m_port;
}

void FakeRconServer::readAll()
{
    const int descriptor = m_socket;
    while (true) {
        char buffer[65536];
        sockaddr_in sender{};
        iovec part{buffer, sizeof buffer};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
        msghdr message{};
        message.msg_name = &sender;
        message.msg_namelen = sizeof sender;
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t size = ::recvmsg(descriptor, &message, MSG_DONTWAIT);
        if (size < 0)
            break;
        qint64 arrivalUs = testClockUs();
        for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
            if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_TIMESTAMPNS) {
                timespec stamp;
                std::memcpy(&stamp, CMSG_DATA(header), sizeof stamp);
                arrivalUs = qint64(stamp.tv_sec) * 1'000'000 + stamp.tv_nsec / 1000;
            }
        }
        m_received.push_back({QByteArray(buffer, qsizetype(size)), arrivalUs, QHostAddress(ntohl(sender.sin_addr.s_addr)),
                              quint16(ntohs(sender.sin_port))});
        const QByteArray& payload = m_received.back().payload;
        if (m_answerCommands && payload.startsWith(kRconStart) && !payload.endsWith(" status"))
            answer({QByteArrayLiteral("\xff\xff\xff\xffprint\n")});
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
        sendTo(payload, last.sender, last.senderPort);
}

void FakeRconServer::sendTo(const QByteArray& payload, const QHostAddress& address, quint16 port)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(address.toIPv4Address());
    to.sin_port = htons(port);
    ::sendto(m_socket, payload.constData(), std::size_t(payload.size()), 0, reinterpret_cast<const sockaddr*>(&to),
             sizeof to);
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
