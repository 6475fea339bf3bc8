#include "platform/posix/tmux_key_injector.h"

#include "core/console/tmux_keys.h"
#include "platform/posix/tmux.h"
#include "platform/qt_text.h"

#include <QProcess>
#include <QTimer>

#include <utility>

namespace varno {

namespace {

// tmux refuses a command whose arguments exceed its message size (16 KiB); stay well below it.
constexpr qsizetype kMaxKeyBytesPerCommand = 8000;
constexpr int kStartTimeoutMs = 5000;

} // namespace

std::vector<QStringList> sendKeysCommands(const QString& session, const std::vector<std::string>& tokens)
{
    // "--" keeps a key such as "-" from being read as an option.
    const QStringList head{QStringLiteral("send-keys"), QStringLiteral("-t"), tmux::paneTarget(session),
                           QStringLiteral("--")};
    std::vector<QStringList> commands;
    QStringList command = head;
    qsizetype bytes = 0;
    for (const std::string& token : tokens) {
        const qsizetype size = qsizetype(token.size()) + 1;
        if (command.size() > head.size() && bytes + size > kMaxKeyBytesPerCommand) {
            commands.push_back(command);
            command = head;
            bytes = 0;
        }
        command << toQ(token);
        bytes += size;
    }
    if (command.size() > head.size())
        commands.push_back(command);
    return commands;
}

TmuxKeyInjector::TmuxKeyInjector()
    : m_watchdog(std::make_unique<QTimer>())
{
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
    if (m_process) {
        m_process->disconnect();
        m_process->kill();
        m_process->waitForFinished(kCommandTimeoutMs);
    }
}

bool TmuxKeyInjector::start(std::vector<KeyEvent> events, std::function<void()> finished)
{
    if (m_process)
        return false; // still delivering the last string
    const std::optional<QString> session = tmux::inputSession();
    if (!session)
        return false;
    const std::vector<QStringList> commands = sendKeysCommands(*session, tmuxKeyTokens(events));
    m_finished = std::move(finished);
    if (commands.empty()) {
        // Keys with nothing to type (Print Screen alone): delivered at once.
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
    tmux::prepare(*process, m_commands.front());
    m_commands.pop_front();
    process->setStandardOutputFile(QProcess::nullDevice());
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
    const bool delivered = ended->exitStatus() == QProcess::NormalExit && ended->exitCode() == 0;
    if (!delivered)
        m_commands.clear(); // the session went away or tmux hung: the rest would go nowhere
    if (!m_commands.empty() && startNextCommand())
        return;
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
