#include "core/settings/schema.h"
#include "core/settings/server_model.h"
#include "drive/server_fleet.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/console/console_page.h"
#include "gui/launch/server_launch.h"
#include "gui/settings/cmd_line_form.h"
#include "gui/settings/prop_form.h"
#include "gui/settings/remote_access_page.h"
#include "gui/settings/startup_page.h"
#include "support/fake_terminal.h"
#include "support/gui_fixture.h"
#include "support/rcon_probe.h"
#include "support/standin_server.h"
#include "support/tmux_socket.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>

using namespace varno;
using namespace varno::test;
using namespace std::chrono_literals;

// The panel's launch with its watchdog, on the stand-in in tmux, with the watchdog's times shortened.
class WatchdogEndToEndTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        WatchdogConfig quick;
        quick.firstBackOff = 100ms;
        quick.maxBackOff = 200ms;
        quick.earlyStop = 400ms;
        setServerWatchdogConfig(quick);
        createWindows();
        gameFolder = settings->path(QStringLiteral("quake3"));
        QDir().mkpath(gameFolder + QStringLiteral("/baseq3"));
        ASSERT_TRUE(QFile::link(standinProgram(), gameFolder + QStringLiteral("/q3ded")));
        originalFolder = QDir::currentPath();
        m_previousState = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", settings->path(QStringLiteral("state")).toLocal8Bit());
        port = freePortRun();
        ASSERT_GT(port, 0);
        commandLog = settings->path(QStringLiteral("commands.log"));

        TForm1& form = *forms().Form1;
        forms().PropForm->Q3DirEdit->setText(gameFolder);
        form.startupPage->NetPort->setValue(port);
        form.remoteAccessPage->RCONEdit->setText(QStringLiteral("pw"));
        form.model().holdList(kMapRotation, {"q3dm7"});
        forms().CmdLineForm->AddCmdLine->setText(QStringLiteral("+set standin_log ") + commandLog);
    }
    void TearDown() override
    {
        setServerWatchdogConfig({});
        qputenv("XDG_STATE_HOME", m_previousState);
        QDir::setCurrent(originalFolder);
        GuiTest::TearDown();
    }

    void launch() { click(forms().Form1->ToolButton7); }
    QString statusLine() const { return forms().Form1->StatusBar1->text(); }
    QString log() const { return forms().Form1->consolePage->logLines().join(QLatin1Char('\n')); }
    int greetings() const { return int(readFile(commandLog).count("echo Varno Interface Complete!")); }

    // Up and greeted, and past the early-stop time, so that a crash now counts as one.
    bool upAndGreeted(int expectedGreetings)
    {
        QElapsedTimer up;
        up.start();
        return waitFor([&] { return answersRcon(port) && greetings() >= expectedGreetings && up.elapsed() > 500; }, 5s);
    }

    TmuxSocket tmux;
    QString gameFolder;
    QString originalFolder;
    QString commandLog;
    int port = 0;

private:
    QByteArray m_previousState;
};

TEST_F(WatchdogEndToEndTest, CrashesAreRelaunchedAndGreetedUntilTheSixthWithinTheHour)
{
    launch();
    ASSERT_TRUE(upAndGreeted(1)) << qPrintable(log());

    for (int crash = 1; crash <= 5; ++crash) {
        sendRcon(port, "pw", "standin_crash");
        ASSERT_TRUE(waitFor([&] { return !answersRcon(port); }, 3s)) << crash;
        QElapsedTimer down;
        down.start();
        ASSERT_TRUE(waitFor([&] { return answersRcon(port); }, 3s))
            << "crash " << crash << ": " << qPrintable(log())
            << qPrintable(tmux.capture(QStringLiteral("Q3 WinConsole"))) << qPrintable(tmux.sessions().join(','));
        if (crash == 1)
            RecordProperty("relaunchedWithinMs", int(down.elapsed()));
        EXPECT_TRUE(waitFor([&] { return statusLine().contains(QStringLiteral("relaunched")); }))
            << qPrintable(statusLine());
        ASSERT_TRUE(upAndGreeted(crash + 1)) << "crash " << crash << ": " << qPrintable(log());
    }
    EXPECT_TRUE(log().contains(QStringLiteral("Server stopped (signal 11) \u2014 relaunched, 1st time this hour")))
        << qPrintable(log());
    EXPECT_TRUE(log().contains(QStringLiteral("Server stopped (signal 11) \u2014 relaunched, 5th time this hour")));

    sendRcon(port, "pw", "standin_crash");
    EXPECT_TRUE(waitFor([&] { return statusLine().contains(QStringLiteral("not relaunched")); }))
        << qPrintable(statusLine());
    EXPECT_EQ(statusLine(), QStringLiteral("Server stopped (signal 11) \u2014 not relaunched: relaunched 5 times "
                                           "within the hour already"));
    // Longer than any back-off: it stays down.
    EXPECT_FALSE(waitFor([&] { return answersRcon(port); }, 1s));
    EXPECT_EQ(greetings(), 6);

    // Each crash kept the dead console's last lines.
    const QDir crashLogs(settings->path(QStringLiteral("state/varno-server")));
    const QStringList files = crashLogs.entryList({QStringLiteral("crash-*.log")}, QDir::Files);
    ASSERT_EQ(files.size(), 6) << qPrintable(files.join(' '));
    const QByteArray last = readFile(crashLogs.filePath(files.back()));
    EXPECT_TRUE(last.contains("Crashing with signal 11\n")) << last.constData();
    EXPECT_EQ(QFileInfo(crashLogs.filePath(files.back())).permissions() &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions()) << "a crash log is the owner's alone";
}

TEST_F(WatchdogEndToEndTest, QuitTypedIntoTheConsoleLeavesItDown)
{
    launch();
    ASSERT_TRUE(upAndGreeted(1)) << qPrintable(log());
    QProcess::execute(QStringLiteral("tmux"),
                      {"-L", tmux.name(), "send-keys", "-t", "=Q3 WinConsole:", "quit", "Enter"});
    EXPECT_TRUE(waitFor([&] { return statusLine() == QStringLiteral("Server ended (exit code 0)"); }))
        << qPrintable(statusLine());
    EXPECT_FALSE(waitFor([&] { return answersRcon(port); }, 1s));
}

TEST_F(WatchdogEndToEndTest, ACrashWithRelaunchingSwitchedOffStaysDown)
{
    forms().PropForm->RelaunchServerBox->setChecked(false);
    launch();
    ASSERT_TRUE(upAndGreeted(1)) << qPrintable(log());
    sendRcon(port, "pw", "standin_exit 3");
    EXPECT_TRUE(waitFor([&] { return statusLine().contains(QStringLiteral("relaunching is off")); }))
        << qPrintable(statusLine());
    EXPECT_EQ(statusLine(), QStringLiteral("Server stopped (exit code 3) \u2014 relaunching is off"));
    EXPECT_FALSE(waitFor([&] { return answersRcon(port); }, 1s));
}

TEST_F(WatchdogEndToEndTest, LaunchOntoTakenPortsReportsTheEarlyStopWithTheConsolesLastLines)
{
    // The game port and the nine the engine tries after it are taken by another program.
    const TakenPorts taken(port, 10);
    ASSERT_TRUE(taken.taken());
    launch();
    EXPECT_TRUE(waitFor([&] { return statusLine().contains(QStringLiteral("after its launch")); }))
        << qPrintable(statusLine()) << qPrintable(log());
    EXPECT_TRUE(statusLine().endsWith(QStringLiteral("(exit code 1) \u2014 not relaunched")))
        << qPrintable(statusLine());
    EXPECT_TRUE(log().contains(QStringLiteral("  ERROR: UDP_OpenSocket: bind: Address already in use")))
        << qPrintable(log());
    EXPECT_TRUE(log().contains(QStringLiteral("  Sys_Error: Couldn't allocate IP port"))) << qPrintable(log());
}

TEST_F(WatchdogEndToEndTest, TheConsoleWindowFollowsARelaunchAndClosesWhenTheServerIsStopped)
{
    QTemporaryDir bin;
    installFakeTerminal(bin.path(), QStringLiteral("x-terminal-emulator"), bin.filePath(QStringLiteral("args")), true);
    ScopedEnvironment environment;
    environment.set("PATH", bin.path().toLocal8Bit() + ":" + qgetenv("PATH"));
    environment.set("DISPLAY", ":99");
    environment.set("WAYLAND_DISPLAY", {});
    environment.set("TERMINAL", {});
    // The sessions terminal windows show.
    const auto shown = [&] {
        QProcess clients;
        clients.start(QStringLiteral("tmux"), {"-L", tmux.name(), "list-clients", "-F", "#{session_name}"});
        clients.waitForFinished(5000);
        return QString::fromLocal8Bit(clients.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };

    launch();
    ASSERT_TRUE(upAndGreeted(1)) << qPrintable(log());
    ASSERT_TRUE(waitFor([&] { return shown().size() == 1; })) << qPrintable(statusLine());

    sendRcon(port, "pw", "standin_crash");
    ASSERT_TRUE(waitFor([&] { return !answersRcon(port); }, 3s));
    ASSERT_TRUE(upAndGreeted(2)) << qPrintable(log());
    // One window, on the one console there is now: the relaunched server's.
    EXPECT_TRUE(waitFor([&] { return shown().size() == 1 && shown() == tmux.sessions(); }))
        << "no window on the relaunched console: " << qPrintable(shown().join(',')) << " of "
        << qPrintable(tmux.sessions().join(','));

    ASSERT_TRUE(forms().fleet->managed().stop());
    EXPECT_TRUE(waitFor([&] { return shown().isEmpty(); })) << qPrintable(shown().join(','));
}
