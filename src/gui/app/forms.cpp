#include "gui/app/forms.h"

#include "gui/app/about_form.h"
#include "gui/app/error_report.h"
#include "gui/app/main_window.h"
#include "gui/lpb/lpb_page.h"
#include "gui/lpb/status_form.h"
#include "core/settings/server_model.h"
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

void createForms(const StartOptions& options, bool show)
{
    Forms& f = forms();
    f.options = options;
    f.model = new ServerModel(createSettingsStore);
    f.bindings = new ModelBindings(*f.model);
    f.Form1 = new TForm1(*f.bindings);
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
    delete f.model;
    f = Forms{};
}

} // namespace varno
