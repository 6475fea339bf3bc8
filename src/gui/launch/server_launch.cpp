#include "gui/launch/server_launch.h"

#include "core/app/varno_error.h"
#include "core/settings/server_model.h"
#include "drive/launch_driver.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/status_line.h"
#include "gui/console/console_in_view.h"
#include "gui/console/console_page.h"
#include "platform/qt_text.h"
#include "platform/server_supervisor.h"
#include "platform/services.h"

namespace varno {

namespace {

WatchdogConfig& watchdogConfig()
{
    static WatchdogConfig config;
    return config;
}

// The panel's one supervisor of the server it launched; it lives as long as the main window.
class ServerWatch : public QObject {
public:
    explicit ServerWatch(TForm1* form)
        : QObject(form)
        , supervisor(createProcessLauncher(), watchdogConfig())
    {
        setObjectName(QStringLiteral("ServerWatch"));
        supervisor.setOnEvent([form](const SupervisorEvent& event) { showServerEvent(*form, event); });
    }

    ServerSupervisor supervisor;

private:
    static void showServerEvent(TForm1& form, const SupervisorEvent& event)
    {
        QStringList lines{toQ(event.message)};
        for (const std::string& line : event.consoleLines)
            lines << QStringLiteral("  ") + toQ(line);
        if (!event.crashLog.empty())
            lines << QStringLiteral("The console's last lines are kept in ") + toQ(event.crashLog);
        if (!event.problem.empty())
            lines << toQ(event.problem);
        form.StatusBar1->setText(toQ(event.message));
        form.consolePage->noteServerEvent(lines, event.kind == SupervisorEvent::Kind::Relaunched);
    }
};

ServerSupervisor& serverSupervisor(TForm1& form)
{
    auto* watch =
        static_cast<ServerWatch*>(form.findChild<QObject*>(QStringLiteral("ServerWatch"), Qt::FindDirectChildrenOnly));
    if (!watch)
        watch = new ServerWatch(&form);
    return watch->supervisor;
}

} // namespace

void setServerWatchdogConfig(const WatchdogConfig& config)
{
    watchdogConfig() = config;
}

void launchServer(TForm1& form)
{
    ServerModel& model = form.model();
    const LaunchReport launch = launchSupervised(model, serverSupervisor(form));
    switch (launch.outcome) {
    case LaunchReport::Outcome::NoMaps:
        dialogs::showMessage(toQ(launch.message));
        form.showPage(toQ(launch.pageToShow));
        return;
    case LaunchReport::Outcome::NoGameFolder:
        throw VarnoError(launch.message);
    case LaunchReport::Outcome::Running:
        dialogs::showMessage(toQ(launch.message));
        return;
    case LaunchReport::Outcome::NotStarted:
    case LaunchReport::Outcome::Started:
    case LaunchReport::Outcome::Ready:
        break;
    }
    if (!launch.banNotice.empty())
        form.StatusBar1->setText(toQ(launch.banNotice));
    if (launch.outcome == LaunchReport::Outcome::NotStarted)
        dialogs::showMessage(toQ(launch.message));
    else if (!launch.consoleName.empty())
        showConsoleAfterLaunch(launch.consoleName, model.flag(kOpenConsoleTerminal), form.StatusBar1);
}

} // namespace varno
