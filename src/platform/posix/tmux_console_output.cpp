#include "platform/posix/tmux_console_output.h"

#include "core/console/console_names.h"
#include "platform/posix/tmux.h"
#include "platform/qt_text.h"

namespace varno {

std::optional<std::vector<std::string>> TmuxConsoleOutput::recentLines(std::size_t maxLines)
{
    const QList<tmux::Session> consoles = tmux::sessions(toQ(kConsoleWindowClass));
    if (consoles.isEmpty())
        return std::nullopt;
    QString session = consoles.front().name;
    for (const tmux::Session& console : consoles) {
        if (console.alive) {
            session = console.name;
            break;
        }
    }
    const tmux::Result captured =
        tmux::run({QStringLiteral("capture-pane"), QStringLiteral("-p"), QStringLiteral("-J"), QStringLiteral("-S"),
                   QString::number(-qint64(maxLines)), QStringLiteral("-t"), tmux::paneTarget(session)});
    if (!captured.ran || captured.exitCode != 0)
        return std::nullopt; // gone since it was listed
    std::vector<std::string> lines = lastLines(toStd(captured.output), maxLines);
    // Joining wrapped lines keeps the blanks the pane pads them with.
    for (std::string& line : lines)
        line.erase(line.find_last_not_of(' ') + 1);
    return lines;
}

} // namespace varno
