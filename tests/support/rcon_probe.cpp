#include "support/rcon_probe.h"

#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace varno::test {

int freeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

int freePortRun(int count)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        const int base = freeUdpPort();
        if (base + count <= 65536 && TakenPorts(base, count).taken())
            return base;
    }
    return 0;
}

TakenPorts::TakenPorts(int base, int count)
{
    for (int i = 0; i < count && m_taken; ++i) {
        m_sockets.push_back(std::make_unique<QUdpSocket>());
        m_taken = m_sockets.back()->bind(QHostAddress::Any, quint16(base + i));
    }
}

void sendRcon(int port, const QByteArray& password, const QByteArray& command)
{
    QUdpSocket socket;
    socket.bind(QHostAddress::LocalHost, 0);
    socket.writeDatagram("\xff\xff\xff\xffrcon " + password + ' ' + command, QHostAddress::LocalHost, quint16(port));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString rconText(int port, const QByteArray& password, const QByteArray& command)
{
    QUdpSocket socket;
    socket.bind(QHostAddress::LocalHost, 0);
    socket.writeDatagram("\xff\xff\xff\xffrcon " + password + ' ' + command, QHostAddress::LocalHost, quint16(port));
    QString text;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2000 && socket.waitForReadyRead(text.isEmpty() ? 2000 : 200)) {
        while (socket.hasPendingDatagrams())
            text += QString::fromLatin1(socket.receiveDatagram().data().mid(10));
    }
    return text;
}

bool answersRcon(int port, const QByteArray& password)
{
    QUdpSocket socket;
    socket.bind(QHostAddress::LocalHost, 0);
    socket.writeDatagram("\xff\xff\xff\xffrcon " + password + " status", QHostAddress::LocalHost, quint16(port));
    return socket.waitForReadyRead(200);
}

void launchFromPanel(QProcess& panel, const QString& settingsFile)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    panel.setProcessEnvironment(environment);
    panel.start(QStringLiteral(VARNO_BIN_DIR "/VarnoSrv"), {QStringLiteral("--settings"), settingsFile,
                                                           QStringLiteral("--launch")});
}

} // namespace varno::test
