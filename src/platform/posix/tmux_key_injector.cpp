#include "platform/posix/tmux_key_injector.h"

#include "platform/posix/tmux.h"
#include "platform/qt_text.h"

#include <QProcess>
#include <QTimer>

#include <utility>

namespace varno {

namespace {

// tmux refuses a command whose arguments exceed its message size (16 KiB); stay well below it.
constexpr qsizetype kMaxTextBytesPerCommand = 8000;
constexpr int kStartTimeoutMs = 5000;
const QString kPaneState = QStringLiteral("#{pane_dead} #{pane_dead_status} #{pane_dead_signal}");

QString keyName(ConsoleKey key)
{
    switch (key) {
    case ConsoleKey::Enter:
        return QStringLiteral("Enter");
    case ConsoleKey::Tab:
        return QStringLiteral("Tab");
    case ConsoleKey::Up:
        return QStringLiteral("Up");
    case ConsoleKey::Down:
        return QStringLiteral("Down");
    case ConsoleKey::None:
        break;
    }
    return {};
}

// tmux ends a command at an argument ending in ";" and reads "\;" as a literal semicolon, so trailing
// semicolons go as arguments of their own.
QStringList literalArguments(const QString& text)
{
    QString body = text;
    qsizetype semicolons = 0;
    while (body.endsWith(QLatin1Char(';'))) {
        body.chop(1);
        ++semicolons;
    }
    QStringList arguments;
    if (!body.isEmpty())
        arguments << body;
    for (qsizetype i = 0; i < semicolons; ++i)
        arguments << QStringLiteral("\\;");
    return arguments;
}

} // namespace

std::vector<SendKeysCommand> sendKeysCommands(const QString& session, const std::vector<ConsoleDelivery>& deliveries)
{
    const QString target = tmux::paneTarget(session);
    // After every command the pane's state, so that a dead server stops the rest.
    const QStringList state{
        QStringLiteral(";"), QStringLiteral("display-message"), QStringLiteral("-p"), QStringLiteral("-t"), target,
        kPaneState};
    std::vector<SendKeysCommand> commands;
    for (const ConsoleDelivery& delivery : deliveries) {
        const QString text = toQ(delivery.text);
        qsizetype at = 0;
        do {
            QStringList command;
            const QString chunk = text.mid(at, kMaxTextBytesPerCommand);
            at += chunk.size();
            const QStringList literal = literalArguments(chunk);
            // "--" keeps a text such as "-x" from being read as an option.
            if (!literal.isEmpty())
                command << QStringLiteral("send-keys") << QStringLiteral("-t") << target << QStringLiteral("-l")
                        << QStringLiteral("--") << literal;
            if (at >= text.size() && delivery.key != ConsoleKey::None) {
                if (!command.isEmpty())
                    command << QStringLiteral(";");
                command << QStringLiteral("send-keys") << QStringLiteral("-t") << target << keyName(delivery.key);
            }
            if (!command.isEmpty()) {
                const bool last = at >= text.size();
                const bool history = delivery.key == ConsoleKey::Up || delivery.key == ConsoleKey::Down;
                commands.push_back({command + state, last && history});
            }
        } while (at < text.size());
    }
    return commands;
}

std::string deadPaneText(const QString& paneState)
{
    QString line = paneState;
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    const QStringList parts = line.split(QLatin1Char(' '));
    if (parts.value(0) != QLatin1String("1"))
        return {};
    const QString status = parts.value(1);
    const QString signal = parts.value(2);
    return describeEnd(ServerEnd{status.toInt(), signal.toInt(), !status.isEmpty() || !signal.isEmpty()});
}

TmuxKeyInjector::TmuxKeyInjector()
    : m_watchdog(std::make_unique<QTimer>())
    , m_settleTimer(std::make_unique<QTimer>())
{
    m_settleTimer->setSingleShot(true);
    m_settleTimer->setInterval(kSettleMs);
    QObject::connect(m_settleTimer.get(), &QTimer::timeout, m_settleTimer.get(), [this] { settled(); });
    m_watchdog->setSingleShot(true);
    m_watchdog->setInterval(kCommandTimeoutMs);
    QObject::connect(m_watchdog.get(), &QTimer::timeout, m_watchdog.get(), [this] {
        if (m_process)
            m_process->kill();
    });
}

TmuxKeyInjector::~TmuxKeyInjector()
{
    m_watchdog->stop();
    m_settleTimer->stop();
    if (m_process) {
        m_process->disconnect();
        m_process->kill();
        m_process->waitForFinished(kCommandTimeoutMs);
    }
}

bool TmuxKeyInjector::start(std::vector<KeyEvent> events, std::function<void()> finished)
{
    if (m_process || m_settleTimer->isActive())
        return false; // still delivering the last string
    const std::optional<QString> session = tmux::inputSession();
    if (!session)
        return false;
    m_session = *session;
    m_problem.clear();
    const std::vector<SendKeysCommand> commands = sendKeysCommands(*session, consoleDeliveries(events));
    m_finished = std::move(finished);
    if (commands.empty()) {
        // Keys that type nothing (a lone Ctrl combination): delivered at once.
        endDelivery();
        return true;
    }
    m_commands.assign(commands.begin(), commands.end());
    if (!startNextCommand()) {
        m_commands.clear();
        m_finished = nullptr;
        return false;
    }
    return true;
}

bool TmuxKeyInjector::startNextCommand()
{
    auto process = std::make_unique<QProcess>();
    tmux::prepareOn(tmux::inputSocket(), *process, m_commands.front().arguments);
    m_settling = m_commands.front().settles;
    m_commands.pop_front();
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted(kStartTimeoutMs))
        return false;
    QObject::connect(process.get(), &QProcess::finished, process.get(), [this] { commandEnded(); });
    m_process = std::move(process);
    m_watchdog->start();
    return true;
}

void TmuxKeyInjector::commandEnded()
{
    m_watchdog->stop();
    // The finished signal is still being emitted by this process.
    QProcess* ended = m_process.release();
    ended->disconnect();
    ended->deleteLater();
    const bool ran = ended->exitStatus() == QProcess::NormalExit && ended->exitCode() == 0;
    std::string dead = ran ? deadPaneText(QString::fromLocal8Bit(ended->readAllStandardOutput())) : "";
    if (!dead.empty()) {
        // Seen dead before tmux learnt how it ended: ask again once tmux has collected it.
        for (const tmux::Session& session : tmux::sessions(m_session)) {
            if (session.name == m_session && !session.alive)
                dead = describeEnd(session.end());
        }
    }
    const std::string console = "the server console \"" + toStd(m_session) + "\"";
    if (!ran)
        m_problem = console + " went away while the keys were typed";
    else if (!dead.empty())
        // Seen in the same tmux command as the keys, so the server had ended before it could read them.
        m_problem = "the server died while the keys were typed (" + dead + "); the pane of " + console + " is dead";
    if (m_problem.empty() && !m_commands.empty()) {
        if (m_settling) {
            m_settleTimer->start();
            return;
        }
        if (startNextCommand())
            return;
        m_problem = "tmux could not be started to type the rest of the keys";
    }
    m_commands.clear();
    endDelivery();
}

void TmuxKeyInjector::settled()
{
    if (startNextCommand())
        return;
    m_problem = "tmux could not be started to type the rest of the keys";
    m_commands.clear();
    endDelivery();
}

void TmuxKeyInjector::endDelivery()
{
    std::function<void()> finished = std::move(m_finished);
    m_finished = nullptr;
    if (finished)
        finished();
}

} // namespace varno
