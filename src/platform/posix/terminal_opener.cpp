#include "platform/posix/terminal_opener.h"

#include "platform/posix/tmux.h"
#include "platform/qt_text.h"

#include <QProcess>
#include <QStandardPaths>

namespace varno {

TerminalOpener::TerminalOpener()
    : m_socket(tmux::socketName())
{
}

ConsoleWindowOpener::Opening TerminalOpener::open(const std::string& consoleName)
{
    const bool hasDisplay = !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const auto terminal =
        chooseTerminal(hasDisplay, toStd(qEnvironmentVariable("TERMINAL")), [](const std::string& program) {
            return !QStandardPaths::findExecutable(toQ(program)).isEmpty();
        });
    Opening opening;
    const std::string attach = attachCommand(consoleName);
    if (!terminal) {
        opening.message = std::string(hasDisplay ? "No terminal program was found" : "There is no display") +
                          "; to see the server console, run: " + attach;
        return opening;
    }
    // The terminal must not think it runs inside the panel's own tmux, should the panel run in one.
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("TMUX"));
    process.setProcessEnvironment(environment);
    process.setProgram(toQ(*terminal));
    process.setArguments({QStringLiteral("-e"), QStringLiteral("tmux"), QStringLiteral("-L"), m_socket,
                          QStringLiteral("attach"), QStringLiteral("-t"), QStringLiteral("=") + toQ(consoleName)});
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached()) {
        opening.message =
            "The terminal " + *terminal + " could not be started; to see the server console, run: " + attach;
        return opening;
    }
    opening.started = true;
    opening.message = *terminal;
    return opening;
}

bool TerminalOpener::attached(const std::string& consoleName)
{
    const tmux::Result clients = tmux::runOn(m_socket, {QStringLiteral("list-clients"), QStringLiteral("-t"), QStringLiteral("=") + toQ(consoleName),
                   QStringLiteral("-F"), QStringLiteral("#{client_tty}")});
    return clients.ran && clients.exitCode == 0 && !clients.output.trimmed().isEmpty();
}

std::string TerminalOpener::attachCommand(const std::string& consoleName) const
{
    return tmuxAttachCommand(toStd(m_socket), consoleName);
}

} // namespace varno
