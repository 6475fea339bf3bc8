#include "support/standin_server.h"

#include "support/gui_fixture.h"

#include <QFile>
#include <QRegularExpression>

namespace varno::test {

QString standinProgram()
{
    return QStringLiteral(VARNO_BIN_DIR "/q3standin");
}

StandinServer::StandinServer(const QStringList& extraArguments, const QString& rconPassword)
{
    m_process.setWorkingDirectory(m_folder.path());
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(&m_process, &QProcess::readyRead, [this] { m_output += QString::fromLocal8Bit(m_process.readAll()); });
    QStringList arguments{"+set",         "net_ip",  "127.0.0.1", "+set",      "net_port",
                          "0",            "+set",    "standin_log", m_folder.filePath(QStringLiteral("commands.log")),
                          "+set",         "rconpassword", rconPassword, "+map", "q3dm7"};
    m_process.start(standinProgram(), arguments + extraArguments);
    if (!m_process.waitForStarted(5000))
        return;
    static const QRegularExpression portLine(QStringLiteral("Opening IP socket: [0-9.]+:([0-9]+)"));
    waitFor([&] {
        const auto match = portLine.match(m_output);
        if (match.hasMatch())
            m_port = match.captured(1).toInt();
        return m_port > 0 || m_process.state() == QProcess::NotRunning;
    });
    // The server answers once its map runs, which the map line in its log tells.
    waitForLogged(QStringLiteral("map q3dm7"));
}

StandinServer::~StandinServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}

QStringList StandinServer::loggedCommands() const
{
    QFile log(m_folder.filePath(QStringLiteral("commands.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool StandinServer::waitForLogged(const QString& command, int timeoutMs) const
{
    return waitFor([&] { return loggedCommands().contains(command); }, std::chrono::milliseconds(timeoutMs));
}

void StandinServer::type(const QString& line)
{
    m_process.write((line + QLatin1Char('\n')).toLocal8Bit());
    m_process.waitForBytesWritten(1000);
}

} // namespace varno::test
