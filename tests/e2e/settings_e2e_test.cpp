#include "core/settings/comma_list.h"
#include "core/settings/schema.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/status_line.h"
#include "gui/settings/remote_access_page.h"
#include "gui/settings/startup_page.h"
#include "support/gui_fixture.h"
#include "support/rcon_probe.h"
#include "support/standin_server.h"
#include "support/tmux_socket.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QProcess>
#include <QToolButton>
#include <QUdpSocket>

#include <sys/stat.h>

using namespace varno;
using namespace varno::test;

namespace {

QStringList scriptLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll()).split(QStringLiteral("\r\n"));
}

} // namespace

class SettingsEndToEndTest : public GuiTest {};

TEST_F(SettingsEndToEndTest, TypedValuesAndALongBanListComeBackAfterARestartAndReachTheServer)
{
    TmuxSocket tmux;
    const QString gameFolder = settings->path(QStringLiteral("quake3"));
    const QString script = gameFolder + QStringLiteral("/baseq3/vrn2data.cfg");
    ASSERT_TRUE(QDir().mkpath(gameFolder + QStringLiteral("/baseq3")));
    const QString originalFolder = QDir::currentPath();
    const int port = freeUdpPort();
    // 40 addresses as the low-ping watcher leaves them, a bot and two IPv6 addresses among them.
    std::vector<std::string> bans;
    for (int i = 100; i < 140; ++i)
        bans.push_back("192.168.100." + std::to_string(i) + ":27960");
    bans.insert(bans.begin() + 5, "bot");
    bans.insert(bans.begin() + 9, "[::1]:27960");
    bans.push_back("fe80::1");
    settings->write(kSectionAdvanced, "BanIPList", ToCommaList(bans));
    settings->write(kSectionProgram, "QuakeDir", gameFolder.toStdString());
    settings->write(kSectionMaps, "MapRotation", "q3dm7");
    settings->write(kSectionCmdLine, "CmdLine", "+set net_port " + std::to_string(port));

    // Typed as an operator types them.
    createWindows();
    auto* serverName = forms().Form1->startupPage->ServerNameEdit;
    clearField(serverName);
    typeInto(serverName, QStringLiteral("Typed Hall"));
    typeInto(forms().Form1->remoteAccessPage->RCONEdit, QStringLiteral("typedpw"));

    // The windows start again on the same settings, loader and all.
    destroyForms();
    createForms({}, true);
    ASSERT_TRUE(
        waitFor([] { return forms().Form1->StatusBar1->text() == QLatin1String("Varno Loaded Successfully."); }));
    EXPECT_EQ(forms().Form1->startupPage->ServerNameEdit->text(), QStringLiteral("Typed Hall"));
    EXPECT_EQ(forms().Form1->remoteAccessPage->RCONEdit->text(), QStringLiteral("typedpw"));

    // A launch over a world-readable script from before, without a game program yet: the script is written
    // owner-only and the status line says which bans stayed out.
    {
        QFile old(script);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    click(forms().Form1->ToolButton7);
    QDir::setCurrent(originalFolder);
    dialogs::takeMessages();
    EXPECT_EQ(forms().Form1->StatusBar1->text(),
              QStringLiteral("28 banned entries left out of g_banIPs: 25 older beyond the game's 255 characters, "
                             "3 not IPv4."));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(script).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const QStringList lines = scriptLines(script);
    const QString banLine = QStringLiteral("g_banIPs \"192.168.100.125 ") + QStringLiteral("192.168.100.1%1 ").arg(26);
    const auto bansAt =
        std::find_if(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(banLine); });
    ASSERT_NE(bansAt, lines.end()) << qPrintable(lines.join(QLatin1Char('\n')));
    EXPECT_TRUE(bansAt->endsWith(QStringLiteral("192.168.100.139 \"")));
    EXPECT_LT(bansAt - lines.begin(), lines.indexOf(QStringLiteral("vstr maps0")));
    EXPECT_TRUE(lines.contains(QStringLiteral("sv_hostname \"Typed Hall\"")));
    EXPECT_TRUE(lines.contains(QStringLiteral("rconpassword typedpw")));
    destroyForms();
    windowsCreated = false;

    // The real program, started on the same file, launches the server with them.
    ASSERT_TRUE(QFile::link(standinProgram(), gameFolder + QStringLiteral("/q3ded")));
    QProcess panel;
    launchFromPanel(panel, settings->file());
    ASSERT_TRUE(panel.waitForStarted());
    QString status;
    const bool up = waitFor(
        [&] {
            status = rconText(port, "typedpw", "status");
            return status.contains(QLatin1String("map: q3dm7"));
        },
        std::chrono::seconds(10));
    const QString hostname = rconText(port, "typedpw", "sv_hostname");
    panel.terminate();
    panel.waitForFinished(3000);
    EXPECT_TRUE(up) << qPrintable(status);
    EXPECT_TRUE(hostname.contains(QLatin1String("Typed Hall"))) << qPrintable(hostname);
}
