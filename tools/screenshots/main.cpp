// varno-screenshots SETTINGS-FILE FOLDER: starts the panel's windows on a settings file (the demo
// profile), lets the start-up loading finish and saves a PNG of every page and window into FOLDER.
#include "gui/app/about_form.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/varno_application.h"
#include "gui/lpb/status_form.h"
#include "gui/settings/cmd_line_form.h"
#include "gui/settings/opening_form.h"
#include "gui/settings/prop_form.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

namespace {

void settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget* window, const QDir& folder, const QString& name)
{
    window->raise();
    settle(150);
    const QString file = folder.filePath(name + QStringLiteral(".png"));
    const bool saved = window->grab().save(file);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(file));
    return saved;
}

QString slug(const QString& caption)
{
    return caption.toLower().replace(QLatin1Char(' '), QLatin1Char('-'));
}

} // namespace

int main(int argc, char** argv)
{
    varno::VarnoApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: varno-screenshots SETTINGS-FILE FOLDER\n");
        return 2;
    }
    varno::setSettingsFile(varno::toStd(arguments[1]));
    QDir folder(arguments[2]);
    folder.mkpath(QStringLiteral("."));
    varno::dialogs::setScripted(true); // no reminder box over the pictures

    varno::createForms({}, true);
    varno::Forms& forms = varno::forms();
    bool ok = true;
    // The splash while it loads, then every page once it has finished.
    settle(350);
    ok &= save(forms.OpeningForm, folder, QStringLiteral("splash"));
    settle(800);
    QTabWidget* pages = forms.Form1->TabbedNotebook1;
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        ok &= save(forms.Form1, folder, QStringLiteral("page-%1-%2").arg(i + 1).arg(slug(pages->tabText(i))));
    }
    forms.PropForm->show();
    ok &= save(forms.PropForm, folder, QStringLiteral("properties"));
    forms.PropForm->hide();
    forms.CmdLineForm->show();
    ok &= save(forms.CmdLineForm, folder, QStringLiteral("command-line"));
    forms.CmdLineForm->hide();
    forms.AboutForm->show();
    ok &= save(forms.AboutForm, folder, QStringLiteral("about"));
    forms.AboutForm->hide();
    forms.StatusForm->show();
    ok &= save(forms.StatusForm, folder, QStringLiteral("status-window"));
    varno::destroyForms();
    return ok ? 0 : 1;
}
