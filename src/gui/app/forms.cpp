#include "gui/app/forms.h"

#include "gui/app/about_form.h"
#include "gui/app/error_report.h"
#include "gui/app/main_window.h"
#include "gui/lpb/lpb_page.h"
#include "gui/lpb/status_form.h"
#include "core/settings/schema.h"
#include "core/settings/server_model.h"
#include "drive/server_fleet.h"
#include "gui/app/status_line.h"
#include "gui/console/console_page.h"
#include "gui/launch/server_launch.h"
#include "platform/server_supervisor.h"
#include "gui/settings/cmd_line_form.h"
#include "gui/settings/model_bindings.h"
#include "gui/settings/opening_form.h"
#include "gui/settings/prop_form.h"
#include "platform/settings_factory.h"

namespace varno {

Forms& forms()
{
    static Forms instance;
    return instance;
}

namespace {

// A server's news reaches the windows: its supervisor's events, and its watcher's while the pages show another.
void connectServer(FleetServer& server)
{
    TForm1* form = forms().Form1;
    QObject::connect(&server, &FleetServer::serverEvent, form, [form, &server](const SupervisorEvent& event) {
        runHandler([&] { showServerEvent(*form, server, event); });
    });
    QObject::connect(&server, &FleetServer::watcherNote, form,
                     [form](const QString& line) { form->StatusBar1->setText(line); });
}

// The pages show and edit another server: its values as the loader puts them in at the start, its watcher, its
// console.
void showManagedServer(FleetServer& server)
{
    Forms& f = forms();
    server.forgetForPages();
    f.bindings->rebind(server.model());
    f.OpeningForm->loadAllStages();
    {
        const auto store = server.model().openStore();
        f.Form1->fallBackToInstalledMaps(store->ReadString(kMapsDir), store->ReadString(kInstallDir));
    }
    f.Form1->lpbPage->attach(server);
    f.Form1->consolePage->showServer(server);
    f.StatusForm->hide();
    f.Form1->nameManagedServer();
}

} // namespace

void createForms(const StartOptions& options, bool show)
{
    Forms& f = forms();
    f.options = options;
    f.fleet = new ServerFleet(serverWatchdogConfig());
    f.fleet->managed().forgetForPages();
    f.bindings = new ModelBindings(f.fleet->managed().model());
    f.Form1 = new TForm1(*f.bindings, *f.fleet);
    f.PropForm = new TPropForm(*f.bindings);
    f.AboutForm = new TAboutForm;
    f.OpeningForm = new TOpeningForm(*f.bindings);
    f.StatusForm = new TStatusForm;
    f.CmdLineForm = new TCmdLineForm(*f.bindings);
    QObject::connect(f.StatusForm, &TStatusForm::removePlayerRequested, f.Form1->lpbPage,
                     [page = f.Form1->lpbPage](const PlayerRecord& player, bool ban) {
                         runHandler([&] { page->removePlayer(player, ban); });
                     });
    QObject::connect(f.Form1->lpbPage, &LpbPage::statusReplied, f.StatusForm, &TStatusForm::showReply);
    f.Form1->consolePage->showServer(f.fleet->managed());
    for (FleetServer* server : f.fleet->servers())
        connectServer(*server);
    QObject::connect(f.fleet, &ServerFleet::added, f.Form1, [](FleetServer* server) { connectServer(*server); });
    QObject::connect(f.fleet, &ServerFleet::managedChanged, f.Form1,
                     [](FleetServer* server) { runHandler([server] { showManagedServer(*server); }); });
    QObject::connect(f.fleet, &ServerFleet::listChanged, f.Form1, [] { forms().Form1->nameManagedServer(); });
    f.Form1->nameManagedServer();
    QObject::connect(f.OpeningForm, &TOpeningForm::loadFinished, f.Form1,
                     [form = f.Form1] { runHandler([form] { form->loaderFinished(); }); });
    if (show)
        f.Form1->show();
}

void destroyForms()
{
    Forms& f = forms();
    // Secondary windows first: the main window's handlers may still reach them while it goes.
    delete f.CmdLineForm;
    delete f.StatusForm;
    delete f.OpeningForm;
    delete f.AboutForm;
    delete f.PropForm;
    delete f.Form1;
    delete f.bindings;
    delete f.fleet;
    f = Forms{};
}

} // namespace varno
