#include "platform/posix/tmux_console.h"

#include "core/console/console_names.h"
#include "platform/posix/tmux.h"
#include "platform/qt_text.h"

namespace varno {

namespace {

std::optional<QString> liveConsole()
{
    return tmux::firstLiveSession(toQ(kConsoleWindowClass));
}

} // namespace

bool TmuxConsole::exists()
{
    return liveConsole().has_value();
}

bool TmuxConsole::bringInputToForeground()
{
    const std::optional<QString> session = liveConsole();
    if (!session) {
        // Keys must not go on to a console that has gone.
        tmux::clearInputSession();
        return false;
    }
    tmux::setInputSession(*session);
    return true;
}

std::string TmuxConsole::unavailableReason()
{
    for (const tmux::Session& session : tmux::sessions(toQ(kConsoleWindowClass))) {
        if (session.alive)
            continue;
        const std::string ending = describeEnd(session.end());
        return "the pane of the server console \"" + toStd(session.name) + "\" is dead: its server has ended (" +
               ending + ")";
    }
    return "the server console is gone: no server is running in tmux -L " + toStd(tmux::socketName());
}

} // namespace varno
