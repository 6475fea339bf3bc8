#include "core/launch/stored_launch_state.h"
#include "core/settings/schema.h"
#include "drive/launch_driver.h"
#include "drive/server_fleet.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/server_form.h"
#include "gui/app/servers_page.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/console/console_page.h"
#include "gui/lpb/lpb_page.h"
#include "gui/settings/opening_form.h"
#include "gui/settings/startup_page.h"
#include "support/gui_fixture.h"
#include "support/rcon_probe.h"
#include "support/standin_server.h"
#include "support/tmux_socket.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>

using namespace varno;
using namespace varno::test;

namespace {

constexpr const char* kGreetingText = "Varno Interface Complete!";

// The visible text and scroll-back of a console on one tmux socket.
QString consoleText(const QString& socket)
{
    QProcess tmux;
    tmux.start(QStringLiteral("tmux"), {QStringLiteral("-L"), socket, QStringLiteral("capture-pane"), QStringLiteral("-p"),
                                        QStringLiteral("-S"), QStringLiteral("-200"), QStringLiteral("-t"),
                                        QStringLiteral("Q3 WinConsole")});
    tmux.waitForFinished(5000);
    return QString::fromLocal8Bit(tmux.readAllStandardOutput());
}

} // namespace

class ServersEndToEndTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        dialogs::setScripted(true);
        gameFolder = settings->path(QStringLiteral("quake3"));
        QDir().mkpath(gameFolder + QStringLiteral("/baseq3"));
        ASSERT_TRUE(QFile::link(standinProgram(), gameFolder + QStringLiteral("/q3ded")));
        originalFolder = QDir::currentPath();
    }
    void TearDown() override
    {
        // Whatever the test left running ends with it.
        if (windowsCreated) {
            for (FleetServer* server : forms().fleet->servers()) {
                if (server->running())
                    server->stop();
            }
        }
        QDir::setCurrent(originalFolder);
        dialogs::setScripted(false);
        GuiTest::TearDown();
    }

    // The first server as an earlier build stored it: a watcher on its game port, every second.
    void storeFirstServer(int port)
    {
        settings->write("ProgramSettings", "QuakeDir", qPrintable(gameFolder));
        settings->write("ProgramSettings", "InstallDir", qPrintable(settings->dir()));
        settings->write("ProgramSettings", "OpenConsoleTerminal", "0");
        settings->write("MapSettings", "MapRotation", "q3dm7");
        settings->write("ServerSettings", "RConPW", "pw");
        settings->write("ServerSettings", "NetPort", qPrintable(QString::number(port)));
        settings->write("General", "RestoreFlags", "2");
        settings->write("ServerTools", "LPBRCon", "pw");
        settings->write("ServerTools", "LPBRemotePort", qPrintable(QString::number(port)));
        settings->write("ServerTools", "LPBCheckRate", "1");
        settings->write("ServerTools", "LPBMinPing", "50");
    }

    void openWindows()
    {
        createWindows();
        forms().OpeningForm->loadAllStages();
        page = forms().Form1->serversPage;
    }

    void select(const std::string& id) { page->selectServer(*forms().fleet->find(id)); }

    // The Add or Edit dialog, filled in and confirmed as the operator would.
    void fillServerForm(const QString& name)
    {
        auto* form = page->findChild<TServerForm*>(QStringLiteral("ServerForm"));
        ASSERT_NE(form, nullptr);
        clearField(form->NameEdit);
        typeInto(form->NameEdit, name);
        click(form->OkButton);
        EXPECT_TRUE(form->ProblemLabel->text().isEmpty()) << qPrintable(form->ProblemLabel->text());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString treeText() const
    {
        QStringList lines;
        for (QTreeWidgetItemIterator it(page->ServerTree); *it; ++it)
            lines << (*it)->text(0);
        return lines.join(QLatin1Char('\n'));
    }

    TmuxSocket tmux;
    QString gameFolder;
    QString originalFolder;
    ServersPage* page = nullptr;
};

TEST_F(ServersEndToEndTest, TwoServersRunWatchedEachByItsOwnWatcherAndComeBackAfterARestart)
{
    const int firstPort = freeUdpPort();
    storeFirstServer(firstPort);
    openWindows();
    TForm1& form = *forms().Form1;
    ServerFleet& fleet = *forms().fleet;

    // Add a second server on this computer and make the pages show it.
    page->ServerThisComputer1->trigger();
    fillServerForm(QStringLiteral("CTF Hall"));
    FleetServer* second = fleet.find("ctf-hall");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->port(), firstPort + 1);
    select("ctf-hall");
    page->Manage1->trigger();
    EXPECT_EQ(&fleet.managed(), second);
    EXPECT_TRUE(form.windowTitle().endsWith(QLatin1String(" - CTF Hall"))) << qPrintable(form.windowTitle());

    // A new name and a port of its own, the watcher with it.
    page->Edit1->trigger();
    fillServerForm(QStringLiteral("CTF Arena"));
    const int secondPort = freeUdpPort();
    form.startupPage->NetPort->setValue(secondPort);
    form.lpbPage->LPBPortSpin->setValue(secondPort);
    EXPECT_TRUE(treeText().contains(QStringLiteral("CTF Arena  port %1").arg(secondPort))) << qPrintable(treeText());

    // Start the shown one with the toolbar, its console greeted; the first from its row; both watchers on.
    const QString firstSocket = tmux.name();
    const QString secondSocket = tmux.name() + QStringLiteral("-ctf-hall");
    click(form.ToolButton7);
    EXPECT_TRUE(waitFor([&] { return consoleText(secondSocket).contains(QLatin1String(kGreetingText)); },
                        std::chrono::seconds(10)));
    select("");
    page->Start1->trigger();
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
    ASSERT_TRUE(waitFor([&] { return answersRcon(firstPort) && answersRcon(secondPort); }, std::chrono::seconds(10)));
    click(form.lpbPage->LpbButton);
    ASSERT_TRUE(form.lpbPage->isRunning());
    page->Manage1->trigger();
    click(form.lpbPage->LpbButton);
    ASSERT_TRUE(second->watcher().isRunning());
    ASSERT_TRUE(fleet.managed().watcher().isRunning());

    // Each console was found and greeted once, in its own tmux server.
    EXPECT_TRUE(waitFor([&] { return consoleText(firstSocket).contains(QLatin1String(kGreetingText)); },
                        std::chrono::seconds(10)));
    const int firstGreetings = consoleText(firstSocket).count(QLatin1String(kGreetingText));
    const int secondGreetings = consoleText(secondSocket).count(QLatin1String(kGreetingText));
    page->selectServer(*second);
    page->Manage1->trigger();
    EXPECT_FALSE(form.consolePage->LookforServerTimer->isActive()) << "a greeted console is not looked for again";
    EXPECT_TRUE(form.consolePage->SendButton->isEnabled());
    page->selectServer(*fleet.find(""));
    page->Manage1->trigger();
    EXPECT_EQ(consoleText(firstSocket).count(QLatin1String(kGreetingText)), firstGreetings);
    EXPECT_EQ(consoleText(secondSocket).count(QLatin1String(kGreetingText)), secondGreetings);

    // A low-ping player on each server is kicked by that server's watcher; a player with a fair ping stays.
    rconText(firstPort, "pw", "addclient Lowa 20 10.0.0.5:27960");
    rconText(firstPort, "pw", "addclient Fair 120 10.0.0.6:27960");
    rconText(secondPort, "pw", "addclient Lowb 20 10.0.0.7:27960");
    EXPECT_TRUE(waitFor([&] {
        return !rconText(firstPort, "pw", "status").contains(QLatin1String("Lowa")) &&
               !rconText(secondPort, "pw", "status").contains(QLatin1String("Lowb"));
    }, std::chrono::seconds(10)));
    EXPECT_TRUE(rconText(firstPort, "pw", "status").contains(QLatin1String("Fair")));
    EXPECT_EQ(fleet.find("")->watcher().count(), 1);
    EXPECT_EQ(second->watcher().count(), 1);

    // Stop the second: the first runs on.
    page->selectServer(*second);
    page->Stop1->trigger();
    EXPECT_FALSE(second->running());
    EXPECT_FALSE(answersRcon(secondPort));
    EXPECT_TRUE(answersRcon(firstPort));

    // The panel again: both servers and the second's values are back; the first is found running, and neither
    // the toolbar's launch nor Start (offered no more) starts it again.
    destroyForms();
    windowsCreated = false;
    openWindows();
    windowsCreated = true;
    EXPECT_TRUE(treeText().contains(QStringLiteral("default  port %1  running").arg(firstPort))) << qPrintable(treeText());
    EXPECT_TRUE(treeText().contains(QStringLiteral("CTF Arena  port %1  stopped").arg(secondPort)));
    click(forms().Form1->ToolButton7);
    EXPECT_EQ(dialogs::takeMessages(),
              QStringList{QString::fromLatin1(kAlreadyRunningMessage.data(), qsizetype(kAlreadyRunningMessage.size()))});
    select("");
    EXPECT_FALSE(page->Start1->isEnabled());
    EXPECT_TRUE(page->Stop1->isEnabled());
    EXPECT_EQ(tmux.sessions().size(), 1);

    // The first server's file holds the values an earlier build wrote, read as it reads them.
    QSettings first(settings->file(), QSettings::IniFormat);
    EXPECT_FALSE(first.childGroups().contains(QStringLiteral("Profile")));
    EXPECT_EQ(first.value(QStringLiteral("ServerSettings/NetPort")).toInt(), firstPort);
    EXPECT_EQ(first.value(QStringLiteral("ServerTools/LPBRemotePort")).toInt(), firstPort);
}

TEST_F(ServersEndToEndTest, AVirtualServerShowsItsRulesAndPlayersIsWatchedAndTakesCommandsOverRcon)
{
    storeFirstServer(freeUdpPort());
    StandinServer remote({QStringLiteral("+addclient"), QStringLiteral("Fair"), QStringLiteral("120"),
                          QStringLiteral("10.0.0.6:27960")});
    ASSERT_TRUE(remote.started()) << qPrintable(remote.output());
    openWindows();
    TForm1& form = *forms().Form1;
    ServerFleet& fleet = *forms().fleet;

    page->VirtualServer1->trigger();
    auto* dialog = page->findChild<TServerForm*>(QStringLiteral("ServerForm"));
    ASSERT_NE(dialog, nullptr);
    typeInto(dialog->HostEdit, QStringLiteral("127.0.0.1"));
    dialog->PortSpin->setValue(remote.port());
    typeInto(dialog->RconEdit, QStringLiteral("secret"));
    fillServerForm(QStringLiteral("Rented"));
    FleetServer* rented = fleet.find("rented");
    ASSERT_NE(rented, nullptr);
    ASSERT_TRUE(rented->remote());

    // Its rules and players, from its own answer.
    select("rented");
    ASSERT_TRUE(waitFor([&] { return page->RulesGrid->rowCount() > 0 && page->PlayersGrid->rowCount() > 0; }));
    QStringList rules;
    for (int row = 0; row < page->RulesGrid->rowCount(); ++row)
        rules << page->RulesGrid->item(row, 0)->text() + QLatin1Char('=') + page->RulesGrid->item(row, 1)->text();
    EXPECT_TRUE(rules.contains(QStringLiteral("mapname=q3dm7"))) << qPrintable(rules.join(QLatin1Char(' ')));
    EXPECT_TRUE(rules.contains(QStringLiteral("sv_maxclients=8"))) << qPrintable(rules.join(QLatin1Char(' ')));
    EXPECT_EQ(page->PlayersGrid->item(0, 0)->text(), QStringLiteral("Fair"));
    EXPECT_EQ(page->PlayersGrid->item(0, 2)->text(), QStringLiteral("120"));
    EXPECT_TRUE(treeText().contains(QStringLiteral("Rented  port %1  answers  1/8  q3dm7").arg(remote.port())))
        << qPrintable(treeText());

    // The pages show it: its watcher removes a low-ping player, its console commands go over rcon.
    page->Manage1->trigger();
    form.lpbPage->SpinCheckLPB->setValue(1);
    form.lpbPage->SpinMinPing->setValue(50);
    click(form.lpbPage->LpbButton);
    ASSERT_TRUE(form.lpbPage->isRunning()) << qPrintable(dialogs::takeMessages().join(QLatin1Char('\n')));
    rconText(remote.port(), "secret", "addclient Lowc 20 10.0.0.8:27960");
    EXPECT_TRUE(waitFor([&] { return remote.waitForLogged(QStringLiteral("clientkick 1"), 100); },
                        std::chrono::seconds(10)))
        << qPrintable(remote.loggedCommands().join(QLatin1Char('\n')));

    // Ban on a player's row of the information: kicked by slot, the address refused from then on.
    ASSERT_TRUE(waitFor([&] {
        return page->PlayersGrid->rowCount() == 1 && !page->PlayersGrid->item(0, 3)->text().isEmpty();
    })) << "the watcher's table with slots and addresses";
    page->PlayersGrid->setCurrentCell(0, 0);
    page->BanPlayer2->trigger();
    EXPECT_TRUE(remote.waitForLogged(QStringLiteral("clientkick 0"))) << qPrintable(form.StatusBar1->text());
    EXPECT_TRUE(remote.waitForLogged(QStringLiteral("addip 10.0.0.6")));

    ConsolePage& console = *form.consolePage;
    console.CmdBox->setCurrentText(QStringLiteral("echo"));
    console.ValueEdit->setText(QStringLiteral("hello-remote"));
    click(console.SendButton);
    EXPECT_TRUE(waitFor([&] { return console.logLines().contains(QStringLiteral("> hello-remote")); }))
        << qPrintable(console.logLines().join(QLatin1Char('\n')));
    // Nothing claims a change the server did not confirm, and nothing of the datagrams' header shows.
    console.CmdBox->setCurrentText(QStringLiteral("g_gravity"));
    console.ValueEdit->setText(QStringLiteral("700"));
    click(console.SendButton);
    EXPECT_TRUE(console.logLines().contains(QStringLiteral("Sending over rcon: g_gravity 700")));
    EXPECT_TRUE(remote.waitForLogged(QStringLiteral("g_gravity 700")));
    EXPECT_FALSE(console.logLines().contains(QStringLiteral("g_gravity has changed to 700.")));
    const QString log = console.logLines().join(QLatin1Char('\n'));
    EXPECT_FALSE(log.contains(QChar(0xFF)) || log.contains(QLatin1String("> print"))) << qPrintable(log);

    // A virtual server that does not answer says so.
    page->VirtualServer1->trigger();
    dialog = page->findChild<TServerForm*>(QStringLiteral("ServerForm"));
    ASSERT_NE(dialog, nullptr);
    typeInto(dialog->HostEdit, QStringLiteral("127.0.0.1"));
    dialog->PortSpin->setValue(freeUdpPort());
    fillServerForm(QStringLiteral("Gone"));
    for (int round = 0; round < ServerStanding::kUnansweredQueries; ++round)
        fleet.refreshNow();
    EXPECT_TRUE(treeText().contains(QLatin1String("Gone  port")) && treeText().contains(QLatin1String("cannot be reached")))
        << qPrintable(treeText());
}
