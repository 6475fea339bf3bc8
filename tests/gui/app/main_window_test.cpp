#include "core/settings/schema.h"
#include "core/app/varno_error.h"
#include "gui/app/about_form.h"
#include "gui/app/error_report.h"
#include "gui/app/dialogs.h"
#include "gui/settings/cmd_line_form.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/status_line.h"
#include "gui/lpb/lpb_page.h"
#include "gui/settings/prop_form.h"
#include "support/gui_fixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

using namespace varno;
using namespace varno::test;

namespace {

QAction* action(const char* name)
{
    return forms().Form1->findChild<QAction*>(QString::fromLatin1(name));
}

} // namespace

class MainWindowTest : public GuiTest {};

TEST_F(MainWindowTest, FrameHasItsCaptionPagesAndEmptyStatusLine)
{
    createWindows();
    TForm1* form = forms().Form1;
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Varno Server v2.5B Standard Edition"));
    const QStringList expected{"Startup", "Map Rotation", "Advanced", "Remote Access",
                               "ZOZ Idaroz", "Enhanced Console", "Servers"};
    QStringList captions;
    for (int i = 0; i < form->TabbedNotebook1->count(); ++i)
        captions << form->TabbedNotebook1->tabText(i);
    EXPECT_EQ(captions, expected);
    EXPECT_TRUE(form->StatusBar1->text().isEmpty());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form->minimumSize(), form->maximumSize()); // fixed size
}

TEST_F(MainWindowTest, ToolbarAndMenuEntriesHaveTheirHintsAndStates)
{
    createWindows();
    const struct {
        const char* name;
        QString hint;
        bool enabled;
    } buttons[] = {{"ToolButton2", "Open", false},
                   {"ToolButton1", "", false},
                   {"ToolButton5", "Properties...", true},
                   {"ToolButton7", "Launch Quake 3 Server", true}};
    for (const auto& b : buttons) {
        auto* button = control<QToolButton>(QString::fromLatin1(b.name));
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->toolTip(), b.hint) << b.name;
        EXPECT_EQ(button->isEnabled(), b.enabled) << b.name;
    }
    const struct {
        const char* name;
        QString text;
        bool enabled;
    } entries[] = {{"RevertSettings1", "Revert Settings", true},
                   {"Open1", "Open...", true},
                   {"SaveSettings1", "Save Settings", false},
                   {"Exit1", "E&xit", true},
                   {"Tothispageonly1", "To this page only", true},
                   {"ToAllVarnoValues1", "To all values on all pages", true},
                   {"Generate1", "Generate", false},
                   {"BatchFile1", "Batch File (.bat)", true},
                   {"ScriptFile1", "Script File (.cfg)", true},
                   {"CommandLine1", "Command Line...", true},
                   {"Properties1", "Properties...", true},
                   {"About1", "About", true}};
    for (const auto& e : entries) {
        QAction* a = action(e.name);
        ASSERT_NE(a, nullptr) << e.name;
        EXPECT_EQ(a->text(), e.text) << e.name;
        EXPECT_EQ(a->isEnabled(), e.enabled) << e.name;
    }
    QStringList menus;
    for (QAction* menu : forms().Form1->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, (QStringList{"File", "Settings", "Help"}));
}

TEST_F(MainWindowTest, InertEntriesDoNothing)
{
    createWindows();
    const QByteArray before = settings->contents();
    for (const char* name : {"RevertSettings1", "Open1", "BatchFile1", "ScriptFile1"})
        action(name)->trigger();
    EXPECT_EQ(settings->contents(), before);
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->isVisible()) << qPrintable(window->objectName());
}

TEST_F(MainWindowTest, TimersExistWithTheirIntervals)
{
    createWindows(true);
    const struct {
        const char* name;
        int interval;
        bool running;
    } timers[] = {{"LoadTimer", 5, true}, {"LookforServerTimer", 1000, true}, {"MapPreviewTimer", 500, false},
                  {"LPBTimer", 4000, false}};
    for (const auto& t : timers) {
        // The watcher's timer belongs to the server it watches.
        auto* timer = QLatin1String(t.name) == QLatin1String("LPBTimer")
                          ? forms().Form1->lpbPage->LPBTimer
                          : forms().Form1->findChild<QTimer*>(QString::fromLatin1(t.name));
        ASSERT_NE(timer, nullptr) << t.name;
        EXPECT_EQ(timer->objectName(), QLatin1String(t.name));
        EXPECT_EQ(timer->interval(), t.interval) << t.name;
        EXPECT_EQ(timer->isActive(), t.running) << t.name;
    }
}

TEST_F(MainWindowTest, WindowsAreSingleInstancesShownModelessAndBroughtForward)
{
    createWindows(false, true);
    ASSERT_NE(forms().PropForm, nullptr);
    ASSERT_NE(forms().CmdLineForm, nullptr);
    ASSERT_NE(forms().AboutForm, nullptr);
    ASSERT_NE(forms().OpeningForm, nullptr);
    ASSERT_NE(forms().StatusForm, nullptr);
    action("Properties1")->trigger();
    click(control<QToolButton>(QStringLiteral("ToolButton5")));
    EXPECT_TRUE(forms().PropForm->isVisible());
    EXPECT_FALSE(forms().PropForm->isModal());
    EXPECT_TRUE(forms().PropForm->windowFlags() & Qt::WindowStaysOnTopHint);
    action("CommandLine1")->trigger();
    EXPECT_TRUE(forms().CmdLineForm->isVisible());
    action("About1")->trigger();
    EXPECT_TRUE(forms().AboutForm->isVisible());
    int propertiesWindows = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        propertiesWindows += window->windowTitle() == QLatin1String("Properties") && window->isVisible();
    EXPECT_EQ(propertiesWindows, 1);
}

TEST_F(MainWindowTest, WithoutAnyFolderToFallBackOnTheReminderComesAndTheErrorIsShown)
{
    // A data folder that cannot be made: a file stands where its parent should be.
    QFile blocker(settings->path(QStringLiteral("data")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    createWindows(false, true);
    // The field starts at the stored value's default, ".", which says no folder is chosen.
    ASSERT_TRUE(waitFor([] { return forms().PropForm->MapsDirEdit->text() != QLatin1String("."); }));
    const QString maps = settings->path(QStringLiteral("data/varno-server/Maps"));
    EXPECT_EQ(dialogs::takeMessages(),
              (QStringList{"Cannot create folder " + maps,
                           "Please select your Quake 3 Maps Directory in Settings | Properties."}));
    EXPECT_EQ(settings->read(kSectionProgram, "InstallDir"), "<missing>");
    EXPECT_EQ(forms().PropForm->MapsDirEdit->text(), QStringLiteral(".") + QDir::separator() + "Maps");
}

TEST_F(MainWindowTest, ShowingWithInstallDirSetsItsMapsFolderQuietly)
{
    settings->write(kSectionProgram, "InstallDir", "/opt/varno");
    createWindows(false, true);
    ASSERT_TRUE(waitFor([] { return forms().PropForm->MapsDirEdit->text() != QLatin1String("."); }));
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
    EXPECT_EQ(forms().PropForm->MapsDirEdit->text(), QStringLiteral("/opt/varno/Maps"));
}

TEST_F(MainWindowTest, EnteringRemoteAccessFocusesThePassword)
{
    createWindows(false, true);
    forms().Form1->activateWindow();
    ASSERT_TRUE(waitFor([] { return forms().Form1->isActiveWindow(); }));
    forms().Form1->showPage(QStringLiteral("Remote Access"));
    EXPECT_TRUE(waitFor([] { return control<QLineEdit>(QStringLiteral("RCONEdit"))->hasFocus(); }));
}

TEST_F(MainWindowTest, ErrorsWhileAnErrorIsShownFollowOnceItCloses)
{
    createWindows();
    // While the first box is open, timers' handlers fail too (as the loader's stages do over one unwritable
    // file): each different text gets its box after the first one closes, in order, none twice.
    dialogs::whileMessageShown([](const QString&) {
        dialogs::whileMessageShown({});
        runHandler([] { throw VarnoError("Failed to set data for 'Memory'"); });
        runHandler([] { throw VarnoError("Cannot create file /x/vrn2data.cfg"); });
        runHandler([] { throw VarnoError("Failed to set data for 'Memory'"); });
    });
    runHandler([] { throw VarnoError("Failed to set data for 'MOTD'"); });
    EXPECT_EQ(dialogs::takeMessages(), (QStringList{"Failed to set data for 'MOTD'", "Failed to set data for 'Memory'",
                                                    "Cannot create file /x/vrn2data.cfg"}));
    // Nothing is left waiting for the next error.
    runHandler([] { throw VarnoError("Failed to set data for 'MOTD'"); });
    EXPECT_EQ(dialogs::takeMessages(), QStringList{"Failed to set data for 'MOTD'"});
}
