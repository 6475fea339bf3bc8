// varno-screenshots SETTINGS-FILE FOLDER: starts the panel's windows on a settings file (the demo
// profile), lets the start-up loading finish, launches the server and enables the ZOZ Idaroz so that the
// console, the watcher and the Status Window have something to show, and saves a PNG of every page and
// window into FOLDER. The server runs on a tmux socket of its own, ended at the close.
#include "gui/app/about_form.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/varno_application.h"
#include "drive/server_fleet.h"
#include "gui/console/console_page.h"
#include "gui/lpb/lpb_page.h"
#include "gui/lpb/status_form.h"
#include "gui/settings/cmd_line_form.h"
#include "gui/settings/opening_form.h"
#include "gui/settings/prop_form.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <QDir>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <functional>

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

bool settleUntil(const std::function<bool()>& condition, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
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
    // Absolute: the launch makes the game folder current.
    QDir folder(QDir(arguments[2]).absolutePath());
    folder.mkpath(QStringLiteral("."));
    varno::dialogs::setScripted(true); // no reminder box over the pictures
    const QString socket = QStringLiteral("varno-screenshots-%1").arg(QCoreApplication::applicationPid());
    qputenv("VARNO_TMUX_SOCKET", socket.toLocal8Bit());

    varno::createForms({}, true);
    varno::Forms& forms = varno::forms();
    bool ok = true;
    // The splash while it loads, then every page once it has finished.
    settle(350);
    ok &= save(forms.OpeningForm, folder, QStringLiteral("splash"));
    settle(800);
    // A running server: the console finds it, and the watcher announces and kicks the demo's bots.
    forms.Form1->ToolButton7Click();
    settleUntil([&] { return forms.Form1->consolePage->logLines().contains(QStringLiteral("Server is Ready")); },
                5000);
    forms.Form1->lpbPage->enableFromCommandLine();
    settleUntil([&] { return forms.Form1->lpbPage->LPBcnt->text() != QLatin1String("0"); }, 15000);
    settle(500);
    QTabWidget* pages = forms.Form1->TabbedNotebook1;
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        // The Servers page asks its servers for their rules and players when it shows.
        if (pages->tabText(i) == QLatin1String("Servers"))
            settleUntil([&] { return forms.fleet->managed().info().has_value(); }, 3000);
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
    QProcess::execute(QStringLiteral("tmux"), {QStringLiteral("-L"), socket, QStringLiteral("kill-server")});
    return ok ? 0 : 1;
}
