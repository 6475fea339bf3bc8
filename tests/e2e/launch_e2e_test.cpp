#include "core/settings/schema.h"
#include "core/settings/server_model.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/spin_edit.h"
#include "gui/settings/prop_form.h"
#include "gui/settings/remote_access_page.h"
#include "gui/settings/settings_commands.h"
#include "gui/settings/startup_page.h"
#include "support/gui_fixture.h"
#include "support/rcon_probe.h"
#include "support/standin_server.h"
#include "support/tmux_socket.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QNetworkDatagram>
#include <QProcess>
#include <QToolButton>
#include <QUdpSocket>

#include <csignal>

using namespace varno;
using namespace varno::test;

namespace {

} // namespace

class LaunchEndToEndTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        createWindows();
        gameFolder = settings->path(QStringLiteral("quake3"));
        QDir().mkpath(gameFolder + QStringLiteral("/baseq3"));
        ASSERT_TRUE(QFile::link(standinProgram(), gameFolder + QStringLiteral("/q3ded")));
        originalFolder = QDir::currentPath();
    }
    void TearDown() override
    {
        QDir::setCurrent(originalFolder);
        GuiTest::TearDown();
    }

    TmuxSocket tmux;
    QString gameFolder;
    QString originalFolder;
};

TEST_F(LaunchEndToEndTest, TheLaunchedServerRunsTheGeneratedScript)
{
    TForm1& form = *forms().Form1;
    forms().PropForm->Q3DirEdit->setText(gameFolder);
    form.startupPage->ServerNameEdit->setText(QStringLiteral("E2E Frag Hall"));
    const int port = freeUdpPort();
    form.startupPage->NetPort->setValue(port);
    form.remoteAccessPage->RCONEdit->setText(QStringLiteral("pw"));
    form.model().holdList(kMapRotation, {"q3dm7", "q3dm1"});
    auto* bots = form.startupPage->BotListBox1;
    bots->findItems(QStringLiteral("Anarki"), Qt::MatchExactly).front()->setCheckState(Qt::Checked);
    bots->findItems(QStringLiteral("Xaero"), Qt::MatchExactly).front()->setCheckState(Qt::Checked);

    QElapsedTimer clock;
    clock.start();
    click(form.ToolButton7);
    const qint64 clickMs = clock.elapsed();
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
    EXPECT_LT(clickMs, 1000) << "the launch held the window for " << clickMs << " ms";

    QString status;
    ASSERT_TRUE(waitFor([&] {
        status = rconText(port, "pw", "status");
        return status.contains(QLatin1String("map: q3dm7"));
    }, std::chrono::seconds(10))) << qPrintable(status) << qPrintable(tmux.capture(QStringLiteral("Q3 WinConsole")));
    EXPECT_TRUE(status.contains(QLatin1String("Anarki^7"))) << qPrintable(status);
    EXPECT_TRUE(status.contains(QLatin1String("Xaero^7"))) << qPrintable(status);
    EXPECT_TRUE(rconText(port, "pw", "sv_hostname").contains(QLatin1String("E2E Frag Hall")));
    // The rotation chain points on to the second map.
    EXPECT_TRUE(rconText(port, "pw", "nextmap").contains(QLatin1String("vstr maps1")));
}

TEST_F(LaunchEndToEndTest, LaunchOptionStartsTheServerOnceTheSettingsAreLoaded)
{
    const int port = freeUdpPort();
    settings->write("ProgramSettings", "QuakeDir", qPrintable(gameFolder));
    settings->write("ProgramSettings", "InstallDir", qPrintable(settings->dir()));
    settings->write("MapSettings", "MapRotation", "q3tourney2");
    settings->write("ServerSettings", "RConPW", "pw");
    settings->write("General", "RestoreFlags", "2");
    settings->write("SrvCmdLine", "CmdLine", qPrintable(QStringLiteral("+set net_port %1").arg(port)));

    QProcess panel;
    launchFromPanel(panel, settings->file());
    ASSERT_TRUE(panel.waitForStarted());
    QString status;
    const bool up = waitFor([&] {
        status = rconText(port, "pw", "status");
        return status.contains(QLatin1String("map: q3tourney2"));
    }, std::chrono::seconds(10));
    panel.terminate();
    panel.waitForFinished(3000);
    EXPECT_TRUE(up) << qPrintable(status);
    EXPECT_TRUE(QFile::exists(gameFolder + QStringLiteral("/baseq3/vrn2data.cfg")));
}

TEST_F(LaunchEndToEndTest, RestoreDefaultsStartsTheRealProgramAgainOnTheSameSettings)
{
    qint64 restartedPid = 0;
    QString program;
    QStringList arguments;
    setProgramStarter([&](const QString& path, const QStringList& args) {
        program = path;
        arguments = args;
        // The test binary stands in for the panel; the program it asks for is its own executable, so the
        // real panel is started from the same folder instead.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        QProcess starter;
        starter.setProgram(QStringLiteral(VARNO_BIN_DIR "/VarnoSrv"));
        starter.setArguments(args);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        starter.setProcessEnvironment(environment);
        return starter.startDetached(&restartedPid);
    });
    settings->write("ServerSettings", "ServerName", "erased");
    forms().Form1->ToAllVarnoValues1Click();
    setProgramStarter({});
    EXPECT_EQ(program, QCoreApplication::applicationFilePath());
    EXPECT_EQ(arguments, (QStringList{"--settings", settings->file()}));
    ASSERT_GT(restartedPid, 0);
    // The new instance runs on the same settings file.
    const QString procFolder = QStringLiteral("/proc/%1").arg(restartedPid);
    EXPECT_TRUE(waitFor([&] {
        QFile commandLine(procFolder + QStringLiteral("/cmdline"));
        return commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains(settings->file().toLocal8Bit());
    }));
    EXPECT_FALSE(waitFor([&] { return !QDir(procFolder).exists(); }, std::chrono::milliseconds(800)))
        << "the restarted panel ended at once";
    ::kill(pid_t(restartedPid), SIGTERM);
    waitFor([&] { return !QDir(procFolder).exists(); });
    EXPECT_EQ(settings->read("ServerSettings", "ServerName"), "<missing>");
}
