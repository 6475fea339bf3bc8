#include "e2e/lpb_standin.h"

#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QRegularExpression>
#include <QUdpSocket>

namespace varno::test {

namespace {

constexpr const char* kReadyWord = "standin-ready";

} // namespace

LpbStandin::~LpbStandin()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool LpbStandin::start(const QStringList& settings, const QStringList& players)
{
    QStringList arguments{"+set",     "net_ip", "127.0.0.1",   "+set",
                          "net_port", "0",      "+set",        "rconpassword",
                          kPassword,  "+set",   "standin_log", m_dir.filePath(QStringLiteral("commands.log"))};
    for (qsizetype i = 0; i + 1 < settings.size(); i += 2)
        arguments << "+set" << settings.at(i) << settings.at(i + 1);
    arguments << "+map"
              << "q3dm17";
    for (const QString& player : players) {
        const QStringList words = player.split(QLatin1Char(' '));
        if (words.size() == 2 && words.front() == QLatin1String("bot"))
            arguments << "+addbot" << words.back();
        else
            arguments << "+addclient" << words;
    }
    arguments << "+echo" << kReadyWord;

    m_process.setWorkingDirectory(m_dir.path());
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(QStringLiteral(VARNO_BIN_DIR "/q3standin"), arguments);
    if (!m_process.waitForStarted(5000)) {
        m_output = m_process.errorString();
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    while (!m_output.contains(QLatin1String(kReadyWord)) && timer.elapsed() < 5000) {
        m_process.waitForReadyRead(100);
        m_output += QString::fromLatin1(m_process.readAll());
    }
    const auto match = QRegularExpression(QStringLiteral("Opening IP socket: [0-9.]+:([0-9]+)")).match(m_output);
    if (!match.hasMatch() || !m_output.contains(QLatin1String(kReadyWord)))
        return false;
    m_port = quint16(match.captured(1).toUInt());
    return true;
}

QString LpbStandin::rcon(const QString& command) const
{
    QUdpSocket socket;
    if (!socket.bind(QHostAddress::LocalHost, 0))
        return {};
    const QByteArray payload = QByteArrayLiteral("\xff\xff\xff\xffrcon ") + kPassword + ' ' + command.toLatin1();
    socket.writeDatagram(payload, QHostAddress::LocalHost, m_port);
    // The server paces rcon under some throttles; the answer may take a second.
    QByteArray reply;
    QElapsedTimer timer;
    timer.start();
    bool repeated = false;
    while (reply.isEmpty() && timer.elapsed() < 3000) {
        if (socket.waitForReadyRead(100)) {
            while (socket.hasPendingDatagrams())
                reply += socket.receiveDatagram().data().mid(10); // without the 0xFF bytes and "print\n"
        } else if (timer.elapsed() > 1000 && !repeated) {
            socket.writeDatagram(payload, QHostAddress::LocalHost, m_port);
            repeated = true;
        }
    }
    return QString::fromLatin1(reply);
}

QStringList LpbStandin::loggedCommands() const
{
    QFile log(m_dir.filePath(QStringLiteral("commands.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int LpbStandin::countOf(const QString& word) const
{
    int count = 0;
    for (const QString& command : loggedCommands())
        count += command == word || command.startsWith(word + QLatin1Char(' '));
    return count;
}

} // namespace varno::test
