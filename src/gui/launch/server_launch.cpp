#include "gui/launch/server_launch.h"

#include "core/app/varno_error.h"
#include "core/settings/server_model.h"
#include "drive/launch_driver.h"
#include "drive/server_fleet.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/status_line.h"
#include "gui/console/console_in_view.h"
#include "gui/console/console_page.h"
#include "platform/qt_text.h"
#include "platform/server_supervisor.h"
#include "platform/services.h"
#include "platform/settings_factory.h"

namespace varno {

namespace {

WatchdogConfig& watchdogConfig()
{
    static WatchdogConfig config;
    return config;
}

// Another server's news carries its name.
QString namedFor(TForm1& form, FleetServer& server, const std::string& text)
{
    if (&server == &form.fleet().managed())
        return toQ(text);
    return toQ("[" + server.name() + "] " + text);
}

// The console of that server in a window, with the server's own tmux socket.
void showConsole(TForm1& form, FleetServer& server, const std::string& consoleName)
{
    const ServerProfileScope scope(server.id());
    showConsoleAfterLaunch(consoleName, server.model().flag(kOpenConsoleTerminal), form.StatusBar1);
}

} // namespace

void setServerWatchdogConfig(const WatchdogConfig& config)
{
    watchdogConfig() = config;
}

const WatchdogConfig& serverWatchdogConfig()
{
    return watchdogConfig();
}

void showServerEvent(TForm1& form, FleetServer& server, const SupervisorEvent& event)
{
    form.StatusBar1->setText(namedFor(form, server, event.message));
    if (&server == &form.fleet().managed()) {
        QStringList lines{toQ(event.message)};
        for (const std::string& line : event.consoleLines)
            lines << QStringLiteral("  ") + toQ(line);
        if (!event.crashLog.empty())
            lines << QStringLiteral("The console's last lines are kept in ") + toQ(event.crashLog);
        if (!event.problem.empty())
            lines << toQ(event.problem);
        form.consolePage->noteServerEvent(lines, event.kind == SupervisorEvent::Kind::Relaunched);
    }
    // The window on the crashed console went with it: the relaunched server's console gets one of its own. Where
    // none can open, the launch has said how to see the console, and the status line keeps the relaunch's news.
    if (event.kind == SupervisorEvent::Kind::Relaunched && !event.consoleName.empty() &&
        server.model().flag(kOpenConsoleTerminal)) {
        const ServerProfileScope scope(server.id());
        createConsoleWindowOpener()->open(event.consoleName);
    }
}

void launchServer(TForm1& form, FleetServer& server)
{
    const LaunchReport launch = server.start();
    switch (launch.outcome) {
    case LaunchReport::Outcome::NoMaps:
        dialogs::showMessage(namedFor(form, server, launch.message));
        if (&server == &form.fleet().managed())
            form.showPage(toQ(launch.pageToShow));
        return;
    case LaunchReport::Outcome::NoGameFolder:
        throw VarnoError(launch.message);
    case LaunchReport::Outcome::Running:
        dialogs::showMessage(namedFor(form, server, launch.message));
        return;
    case LaunchReport::Outcome::NotStarted:
    case LaunchReport::Outcome::Started:
    case LaunchReport::Outcome::Ready:
        break;
    }
    if (!launch.banNotice.empty())
        form.StatusBar1->setText(namedFor(form, server, launch.banNotice));
    if (launch.outcome == LaunchReport::Outcome::NotStarted)
        dialogs::showMessage(namedFor(form, server, launch.message));
    else if (!launch.consoleName.empty())
        showConsole(form, server, launch.consoleName);
}

} // namespace varno
