#include "core/settings/schema.h"
#include "support/blind_targets.h"
#include "support/gui_fixture.h"
#include "support/rcon_probe.h"
#include "support/standin_server.h"
#include "support/tmux_socket.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace varno;
using namespace varno::test;
using namespace std::chrono_literals;

namespace {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

} // namespace

class CliTest : public ::testing::Test {
protected:
    void SetUp() override { settingsFile = folder.filePath(QStringLiteral("settings.ini")); }

    // Starts varno on the test's settings file, for a test that talks to it while it runs.
    void start(QProcess& process, const QStringList& arguments, const QString& stateHome = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VARNO_SETTINGS"), settingsFile);
        if (!stateHome.isEmpty())
            environment.insert(QStringLiteral("XDG_STATE_HOME"), stateHome);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(VARNO_BIN_DIR "/varno"), arguments);
    }

    CliRun varno(const QStringList& arguments, const QByteArray& input = {})
    {
        QProcess process;
        start(process, arguments);
        process.write(input);
        process.closeWriteChannel();
        CliRun run;
        if (!process.waitForFinished(15000)) {
            process.kill();
            process.waitForFinished();
            return run;
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        return run;
    }

    void set(const char* section, const char* name, const QString& text)
    {
        ASSERT_EQ(varno({"settings", "set", section, name, text}).exitCode, 0);
    }

    // Points the watcher's settings at a loopback server, polled once a second.
    void watchOn(int port, const char* password = "secret")
    {
        set("ServerTools", "LPBRemotePort", QString::number(port));
        set("ServerTools", "LPBRCon", password);
        set("ServerTools", "LPBCheckRate", "1");
    }

    // Runs varno watch until its standard output (or error) holds text, lets it run lingerMs more, then ends it
    // with SIGTERM; exitCode is -1 when it had to be killed.
    struct WatchRun : CliRun {
        bool said = false;
    };
    WatchRun watchUntil(const QByteArray& text, bool onStderr, std::chrono::milliseconds timeout, int lingerMs = 0)
    {
        QProcess watch;
        start(watch, {"watch"});
        WatchRun run;
        if (!watch.waitForStarted())
            return run;
        run.said = waitFor([&] {
            run.out += watch.readAllStandardOutput();
            run.err += watch.readAllStandardError();
            return (onStderr ? run.err : run.out).contains(text);
        }, timeout);
        QThread::msleep(lingerMs);
        watch.terminate();
        if (!watch.waitForFinished(10000)) {
            watch.kill();
            watch.waitForFinished();
        }
        run.out += watch.readAllStandardOutput();
        run.err += watch.readAllStandardError();
        run.exitCode = watch.exitStatus() == QProcess::NormalExit ? watch.exitCode() : -1;
        return run;
    }

    QTemporaryDir folder;
    QString settingsFile;
};

TEST_F(CliTest, EverySubcommandExplainsItselfAndMistakesFailWithOneLine)
{
    for (const char* subcommand :
         {"script", "cmdline", "launch", "serve", "stop", "send", "console", "rcon", "status", "watch", "bans",
          "servers", "settings"}) {
        const CliRun help = varno({subcommand, "--help"});
        EXPECT_EQ(help.exitCode, 0) << subcommand;
        EXPECT_TRUE(help.out.startsWith("usage: varno " + QByteArray(subcommand))) << subcommand;
    }
    EXPECT_EQ(varno({"--version"}).out, QByteArray("varno 2.5.0\n"));
    const struct {
        QStringList arguments;
        int exitCode;
        QByteArray message;
    } mistakes[] = {
        {{}, 2, ""},
        {{"frobnicate"}, 2, "varno: unknown subcommand 'frobnicate' (see varno --help)\n"},
        {{"script", "--bogus"}, 2, "varno: unknown option --bogus\n"},
        {{"settings", "get", "BotSettings", "Nope"}, 2,
         "varno: unknown key 'Nope' in section BotSettings; its keys are BotList, MinBots, AutoKick, KeepBots, "
         "Botlevel, NoBotChat\n"},
        {{"rcon", "--port", "70000", "status"}, 2,
         "varno: --port must be a port number from 1 to 65535, not '70000'\n"},
        {{"send", "--check", "{RETURN}"}, 1, "varno: Invalid token\n"},
        {{"send", QStringLiteral("say Gr\u00fc\u00dfe{ENTER}")}, 1,
         "varno: the console's keyboard has no key for '\xc3\xbc', '\xc3\x9f'; nothing was typed\n"},
        {{"status", "--parse", "/nonexistent/reply.bin"}, 1, ""},
    };
    for (const auto& m : mistakes) {
        const CliRun run = varno(m.arguments);
        EXPECT_EQ(run.exitCode, m.exitCode) << qPrintable(m.arguments.join(' '));
        if (!m.message.isEmpty()) {
            EXPECT_EQ(run.err, m.message) << qPrintable(m.arguments.join(' '));
        }
        if (!m.arguments.isEmpty()) {
            EXPECT_EQ(run.err.count('\n'), 1) << qPrintable(m.arguments.join(' '));
        }
    }
}

TEST_F(CliTest, SettingsAreReadAndWrittenAsThePanelStoresThem)
{
    set("ServerSettings", "ServerName", "Frag Palace");
    set("BotSettings", "BotList", "101");
    EXPECT_EQ(varno({"settings", "get", "ServerSettings", "ServerName"}).out, QByteArray("Frag Palace\n"));
    // A Startup page value arms the loader's Startup stage, as the panel's own change does.
    EXPECT_EQ(varno({"settings", "dump"}).out,
              QByteArray("[General]\nRestoreFlags=2\n\n[ServerSettings]\nServerName=Frag Palace\n\n"
                         "[BotSettings]\nBotList=101\n"));
    EXPECT_EQ(varno({"settings", "erase", "BotSettings"}).exitCode, 0);
    EXPECT_EQ(varno({"settings", "dump"}).out,
              QByteArray("[General]\nRestoreFlags=2\n\n[ServerSettings]\nServerName=Frag Palace\n"));
    // --settings points at another file, as in the panel.
    const QString other = folder.filePath(QStringLiteral("other.ini"));
    EXPECT_EQ(varno({"--settings", other, "settings", "set", "General", "RestoreFlags", "7"}).exitCode, 0);
    EXPECT_TRUE(readFile(other).contains("RestoreFlags=7"));
    EXPECT_FALSE(readFile(settingsFile).contains("RestoreFlags=7"));
}

TEST_F(CliTest, BansNamesTheEntriesTheGameWouldIgnoreOrReadOtherwise)
{
    set("AdvancedSettings", "BanIPList", "10.1.1.1,192.168.0.7:27960,10.8.*,bot,300.1.1.1");
    const CliRun run = varno({"bans"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QByteArray("10.1.1.1\n192.168.0.7:27960\n10.8.*\n"
                                  "bot\t(the game ignores this entry: it is not an address pattern)\n"
                                  "300.1.1.1\t(the game reads this entry as 44.1.1.1)\n"));
}

TEST_F(CliTest, ScriptFollowsTheStartUpLoadersRules)
{
    set("ServerSettings", "ServerName", "Only With The Flag");
    set("MapSettings", "MapRotation", "q3dm1,q3dm7");
    set("General", "RestoreFlags", "0");
    {
        // Values the fields would not take come from hand edits.
        QFile file(settingsFile);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("\n[AdvancedSettings]\nGravity=5000\n\n[BotSettings]\nMinBots=x\n");
    }
    const CliRun before = varno({"script"});
    EXPECT_EQ(before.exitCode, 0);
    EXPECT_TRUE(before.out.contains("sv_hostname \"Varno - Beastly Server\"\r\n"));
    EXPECT_TRUE(before.out.contains("set maps1 \"map q3dm7; set nextmap vstr maps2\"\r\n"));
    EXPECT_TRUE(before.out.contains("g_gravity 999\r\n")); // clamped to the field's range
    EXPECT_TRUE(before.out.endsWith("bot_minplayers 0\r\n \r\n"));
    EXPECT_EQ(before.err, QByteArray("varno: warning: 'x' is not a valid integer value\n"));

    set("General", "RestoreFlags", "2");
    EXPECT_TRUE(varno({"script"}).out.contains("sv_hostname \"Only With The Flag\"\r\n"));
}

TEST_F(CliTest, HandEditedValuesReadAsWrittenAndLeftOutBansAreNamed)
{
    QFile file(settingsFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[ServerSettings]\nServerName=Frag, Palace\nMOTD=say \"hi\" there\n\n"
               "[AdvancedSettings]\nBanIPList=10.0.0.1,\"my host\",bot\n\n[MapSettings]\nMapRotation=q3dm1\n");
    file.close();
    EXPECT_EQ(varno({"settings", "get", "ServerSettings", "ServerName"}).out, QByteArray("Frag, Palace\n"));
    EXPECT_EQ(varno({"settings", "get", "ServerSettings", "MOTD"}).out, QByteArray("say \"hi\" there\n"));
    EXPECT_EQ(varno({"settings", "get", "AdvancedSettings", "BanIPList"}).out,
              QByteArray("10.0.0.1,\"my host\",bot\n"));
    const CliRun script = varno({"script"});
    EXPECT_EQ(script.exitCode, 0);
    EXPECT_TRUE(script.out.contains("g_banIPs \"10.0.0.1 \"\r\n"));
    EXPECT_EQ(script.err, QByteArray("varno: 2 banned entries left out of g_banIPs: 2 not IPv4.\n"));
}

TEST_F(CliTest, CommandLineNamesTheEngineFoundInTheGameFolder)
{
    const QString game = folder.filePath(QStringLiteral("quake3"));
    QDir().mkpath(game);
    QFile engine(game + QStringLiteral("/ioq3ded"));
    ASSERT_TRUE(engine.open(QIODevice::WriteOnly));
    engine.close();
    engine.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    set("ProgramSettings", "QuakeDir", game);
    set("SrvCmdLine", "CmdLine", "+set g_log 1");
    EXPECT_EQ(varno({"cmdline"}).out, QByteArray("ioq3ded +set net_port 27960 +set fs_game baseq3 +set dedicated 1 "
                                                 "+set com_hunkmegs 56 +exec vrn2data.cfg +set g_log 1\n"));
}

TEST_F(CliTest, StatusParsesEveryCapturedReplyIntoTheFixturesTable)
{
    const QDir fixtures(QStringLiteral(VARNO_TEST_DATA "/fixtures"));
    for (const QString& name : fixtures.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const CliRun run = varno({"status", "--parse", fixtures.filePath(name), "--tsv"});
        EXPECT_EQ(run.exitCode, 0) << qPrintable(name) << run.err.constData();
        EXPECT_EQ(run.out, readFile(fixtures.filePath(name + QStringLiteral("/expected.tsv")))) << qPrintable(name);
    }
    // One file holding one datagram, and the readable table with the threshold column.
    const CliRun one = varno({"status", "--parse", fixtures.filePath(QStringLiteral("classic-q3dm7/datagram-1.bin"))});
    EXPECT_EQ(one.exitCode, 0);
    EXPECT_TRUE(one.out.contains("below 100")) << one.out.constData();
    EXPECT_TRUE(one.out.contains("Big Bob^7")) << one.out.constData();
}

TEST_F(CliTest, SendCheckPrintsTheKeyEvents)
{
    const CliRun run = varno({"send", "--check", "^c"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QByteArray("256 17 29\n256 67 46\n257 67 46\n257 17 29\n"));
}

TEST_F(CliTest, RconAndStatusTalkToARunningServer)
{
    StandinServer server({"+addclient", "Bob", "40", "192.168.0.7:27960"});
    ASSERT_TRUE(server.started()) << qPrintable(server.output());
    const QString port = QString::number(server.port());
    const CliRun rcon = varno({"rcon", "--port", port, "--password", "secret", "echo", "hello"});
    EXPECT_EQ(rcon.exitCode, 0) << rcon.err.constData();
    EXPECT_EQ(rcon.out, QByteArray("hello\n"));
    const CliRun refused = varno({"rcon", "--port", port, "--password", "wrong", "status"});
    EXPECT_EQ(refused.out, QByteArray("Bad rconpassword.\n"));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, QByteArray("varno: Server refused the rcon password\n"));
    // Nothing on the port: said, with an exit code of its own.
    const QString silent = QString::number(freeUdpPort());
    const CliRun unanswered = varno({"rcon", "--port", silent, "--password", "secret", "--wait", "100", "status"});
    EXPECT_EQ(unanswered.exitCode, 3);
    EXPECT_EQ(unanswered.err, "varno: no reply from 127.0.0.1:" + silent.toLatin1() + " within 100 ms\n");

    // Host, port and password from the ZOZ Idaroz page's settings.
    watchOn(server.port());
    const CliRun status = varno({"status", "--tsv"});
    EXPECT_EQ(status.exitCode, 0) << status.err.constData();
    EXPECT_EQ(status.out, QByteArray("client\tping\tname\taddress\n0\t40\tBob^7\t192.168.0.7:27960\n"));
}

TEST_F(CliTest, BansAddAndRemoveReachTheRunningServerAndSayWhetherItFollowed)
{
    StandinServer server;
    ASSERT_TRUE(server.started()) << qPrintable(server.output());
    const QString port = QString::number(server.port());
    const QStringList target{"--port", port, "--password", "secret"};

    const CliRun added = varno(QStringList{"bans", "add"} + target + QStringList{"10.8.*"});
    EXPECT_EQ(added.exitCode, 0) << added.err.constData();
    EXPECT_EQ(added.err, "varno: stored, and the server on 127.0.0.1:" + port.toLatin1() + " bans it now\n");
    EXPECT_EQ(varno({"bans"}).out, QByteArray("10.8.*\n"));
    EXPECT_TRUE(server.waitForLogged(QStringLiteral("addip 10.8.*")));

    // A single address is not taken out of the subnet's filter: said so.
    set("AdvancedSettings", "BanIPList", "10.8.*,10.8.1.1");
    const CliRun partial = varno(QStringList{"bans", "remove"} + target + QStringList{"10.8.1.1"});
    EXPECT_EQ(partial.exitCode, 1);
    EXPECT_EQ(partial.err, "varno: stored, but another filter of the server on 127.0.0.1:" + port.toLatin1() +
                               " still bans 10.8.1.1\n");
    const CliRun removed = varno(QStringList{"bans", "remove"} + target + QStringList{"10.8.*"});
    EXPECT_EQ(removed.exitCode, 0) << removed.err.constData();
    EXPECT_EQ(varno({"bans"}).out, QByteArray(""));
    EXPECT_TRUE(server.waitForLogged(QStringLiteral("removeip 10.8.*")));

    const CliRun ignored = varno(QStringList{"bans", "add"} + target + QStringList{"bot"});
    EXPECT_EQ(ignored.exitCode, 1);
    EXPECT_EQ(ignored.err, QByteArray("varno: bot: the game ignores this entry: it is not an address pattern\n"));
    const CliRun missing = varno(QStringList{"bans", "remove"} + target + QStringList{"10.9.9.9"});
    EXPECT_EQ(missing.exitCode, 1);

    const QString silent = QString::number(freeUdpPort());
    const CliRun unanswered =
        varno({"bans", "add", "--port", silent, "--password", "secret", "--wait", "100", "10.7.7.7"});
    EXPECT_EQ(unanswered.exitCode, 3);
    EXPECT_EQ(varno({"bans"}).out, QByteArray("10.7.7.7\n")) << "stored anyway";
}

TEST_F(CliTest, SendWithoutAServerSaysSo)
{
    TmuxSocket tmux;
    const CliRun run = varno({"send", "status{ENTER}"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, QByteArray("varno: the server console is gone: no server is running in tmux -L " +
                                  tmux.name().toLocal8Bit() + "\n"));
}

TEST_F(CliTest, WatchKicksBansAndLogsLowPingPlayersUntilInterrupted)
{
    StandinServer server({"+addbot", "Sarge", "+addclient", "Bob", "40", "10.9.8.7:27960", "+addclient", "Alice", "100",
                          "10.1.1.1:27960"});
    ASSERT_TRUE(server.started()) << qPrintable(server.output());
    watchOn(server.port());
    set("ServerTools", "BanIP", "1");

    const WatchRun watch = watchUntil("Sent addip", false, 10s);
    const QByteArray& out = watch.out;
    const QByteArray& err = watch.err;
    ASSERT_TRUE(watch.said) << out.constData() << err.constData();
    EXPECT_EQ(watch.exitCode, 0) << "SIGTERM ends it cleanly";

    // Each line once its datagram has left; the bot is nobody's business.
    EXPECT_TRUE(out.startsWith("Name:Bob^7    Ping:40   IP:10.9.8.7:27960\nBanned 10.9.8.7:27960\nAnnounced Bob^7\n"
                               "Kicked client 1 Bob^7\nSent addip 10.9.8.7\n"))
        << out.constData();
    EXPECT_FALSE(out.contains("Alice"));
    EXPECT_FALSE(out.contains("Sarge"));
    EXPECT_TRUE(err.contains("varno: Server 127.0.0.1:" + QByteArray::number(server.port()) + " answering"))
        << err.constData();
    EXPECT_TRUE(err.contains("watch ended; 1 low-ping players found")) << err.constData();
    EXPECT_TRUE(server.waitForLogged(QStringLiteral("clientkick 1")));
    EXPECT_TRUE(server.waitForLogged(QStringLiteral("addip 10.9.8.7")));
    EXPECT_TRUE(server.loggedCommands().contains(
        // The stand-in logs a command's words joined by single blanks.
        QStringLiteral("say ^2V^4a^2r^4n^2o^7: Warning: Player Bob^7 ^7is an LPB and will be removed.")))
        << qPrintable(server.loggedCommands().join('\n'));
    EXPECT_TRUE(varno({"settings", "get", "AdvancedSettings", "BanIPList"}).out.startsWith("10.9.8.7:27960"));
}

// The stand-in as the game in a game folder of the test's own, on a port of its own.
class CliServerTest : public CliTest {
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        game = folder.filePath(QStringLiteral("quake3"));
        QDir().mkpath(game + QStringLiteral("/baseq3"));
        ASSERT_TRUE(QFile::link(standinProgram(), game + QStringLiteral("/q3ded")));
        port = freeUdpPort();
        log = folder.filePath(QStringLiteral("commands.log"));
        set("ProgramSettings", "QuakeDir", game);
        set("MapSettings", "MapRotation", "q3dm17");
        set("SrvCmdLine", "CmdLine",
            QStringLiteral("+set net_port %1 +set rconpassword pw +set standin_log %2").arg(port).arg(log));
    }

    TmuxSocket tmux;
    QString game;
    QString log;
    int port = 0;
};

TEST_F(CliServerTest, LaunchStartsTheServerInItsConsoleAndSendTypesWhatAnInputFieldWouldHold)
{
    const CliRun launch = varno({"launch"});
    EXPECT_EQ(launch.exitCode, 0) << launch.err.constData();
    EXPECT_EQ(launch.out, QByteArray("Q3 WinConsole\n"));
    EXPECT_TRUE(readFile(game + QStringLiteral("/baseq3/vrn2data.cfg")).startsWith("//Quake 3 Server Script"));
    ASSERT_TRUE(waitFor([&] { return readFile(log).contains("map q3dm17"); })) << readFile(log).constData();

    // Colour codes are Ctrl combinations: they type nothing and never reach the server as signals.
    const struct {
        const char* keys;
        const char* ran;
    } sends[] = {
        {"fraglimit 30{ENTER}", "fraglimit 30\n"},
        {"say ^cya{ENTER}", "say ya\n"},
        {"abc{HOME}echo {ENTER}", "echo abc\n"},
        {"echo A^2B^bC^\\D{ENTER}", "echo ABCD\n"},
        {"x^z{BKSP}{ENTER}echo alive{ENTER}", "echo alive\n"},
        // The console completes on Tab itself.
        {"fragl{TAB}31{ENTER}", "fraglimit 31\n"},
    };
    for (const auto& send : sends) {
        const CliRun run = varno({"send", send.keys});
        EXPECT_EQ(run.exitCode, 0) << send.keys << ": " << run.err.constData();
        EXPECT_TRUE(waitFor([&] { return readFile(log).contains(send.ran); })) << readFile(log).constData();
    }
    // And recalls the last line on Up.
    EXPECT_EQ(varno({"send", "{UP}{ENTER}"}).exitCode, 0);
    EXPECT_TRUE(waitFor([&] { return readFile(log).count("fraglimit 31\n") == 2; })) << readFile(log).constData();
    const CliRun rcon = varno({"rcon", "--port", QString::number(port), "--password", "pw", "echo", "still here"});
    EXPECT_EQ(rcon.out, QByteArray("still here\n")) << rcon.err.constData();

    // The console's output: its recent lines, and a stream of the new ones until interrupted.
    const CliRun recent = varno({"console"});
    EXPECT_EQ(recent.exitCode, 0) << recent.err.constData();
    EXPECT_TRUE(recent.out.contains("]echo abc\nabc\n")) << recent.out.constData();
    QProcess follow;
    start(follow, {"console", "--follow"});
    ASSERT_TRUE(follow.waitForStarted());
    QByteArray streamed;
    const auto streams = [&](const QByteArray& text) {
        return waitFor([&] {
            streamed += follow.readAllStandardOutput();
            return streamed.contains(text);
        });
    };
    EXPECT_TRUE(streams("]echo abc\n")) << streamed.constData();
    EXPECT_EQ(varno({"send", "echo streamed{ENTER}"}).exitCode, 0);
    EXPECT_TRUE(streams("]echo streamed\nstreamed\n")) << streamed.constData();
    EXPECT_EQ(streamed.count("]echo abc\n"), 1);
    follow.terminate();
    EXPECT_TRUE(follow.waitForFinished(5000));
    EXPECT_EQ(follow.exitCode(), 0);

    // A server that has ended leaves a dead pane, and typing into it fails.
    EXPECT_EQ(varno({"send", "quit{ENTER}"}).exitCode, 0);
    ASSERT_TRUE(waitFor([&] { return tmux.capture(QStringLiteral("Q3 WinConsole")).contains("Server quit"); }));
    ASSERT_TRUE(waitFor([&] { return varno({"send", "status{ENTER}"}).exitCode != 0; }));
    const CliRun dead = varno({"send", "status{ENTER}"});
    EXPECT_EQ(dead.exitCode, 1);
    EXPECT_EQ(dead.err, QByteArray("varno: the pane of the server console \"Q3 WinConsole\" is dead: its server has "
                                   "ended (exit code 0)\n"));
}

TEST_F(CliServerTest, LaunchOntoTakenPortsFailsWithTheConsolesLastLines)
{
    // The game port and the nine the engine tries after it are held by another program.
    const TakenPorts taken(port, 10);
    if (!taken.taken())
        GTEST_SKIP() << "a port from " << port << " on is in use";
    const CliRun launch = varno({"launch"});
    EXPECT_EQ(launch.exitCode, 1);
    EXPECT_EQ(launch.out, QByteArray("Q3 WinConsole\n"));
    EXPECT_TRUE(launch.err.startsWith("varno: Server stopped ")) << launch.err.constData();
    EXPECT_TRUE(launch.err.contains("(exit code 1) \u2014 not relaunched\n")) << launch.err.constData();
    EXPECT_TRUE(launch.err.contains("\n  ERROR: UDP_OpenSocket: bind: Address already in use\n"))
        << launch.err.constData();
    EXPECT_TRUE(launch.err.endsWith("\n  Sys_Error: Couldn't allocate IP port\n")) << launch.err.constData();
}

TEST_F(CliServerTest, StopEndsALaunchedServerWithQuit)
{
    ASSERT_EQ(varno({"launch"}).exitCode, 0);
    ASSERT_TRUE(answersRcon(port));
    // A running server is not launched a second time, neither by launch nor by serve.
    for (const char* command : {"launch", "serve"}) {
        const CliRun again = varno({QString::fromLatin1(command)});
        EXPECT_EQ(again.exitCode, 1) << command;
        EXPECT_EQ(again.err, QByteArray("varno: The server is running already: stop it before launching it again.\n"))
            << command;
    }
    QProcess follow;
    start(follow, {"console", "--follow"});
    ASSERT_TRUE(follow.waitForStarted());
    const auto finish = qScopeGuard([&] {
        if (follow.state() != QProcess::NotRunning) {
            follow.kill();
            follow.waitForFinished();
        }
    });
    const CliRun stop = varno({"stop"});
    EXPECT_EQ(stop.exitCode, 0) << stop.err.constData();
    EXPECT_EQ(stop.err, QByteArray("varno: Server ended (exit code 0)\n"));
    // Following the console ends with its server, saying how.
    ASSERT_TRUE(follow.waitForFinished(5000));
    EXPECT_EQ(follow.exitCode(), 0);
    EXPECT_TRUE(follow.readAllStandardError().endsWith("its server has ended (exit code 0)\n"));
    EXPECT_FALSE(answersRcon(port));
    const CliRun again = varno({"stop"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err, QByteArray("varno: No server is running in a console of varno launch or varno serve\n"));
}

TEST_F(CliServerTest, TwoServersRunAtOnceEachWithItsOwnSettingsAndConsole)
{
    const CliRun added = varno({"servers", "add", "CTF Night"});
    ASSERT_EQ(added.exitCode, 0) << added.err.constData();
    EXPECT_EQ(added.out, QByteArray("Added server CTF Night on port 27961\n"));
    EXPECT_EQ(varno({"servers", "add", "ctf-night"}).exitCode, 2) << "the same id";
    EXPECT_EQ(varno({"--server", "nope", "script"}).err, QByteArray("varno: no server named 'nope' (see varno servers list)\n"));

    // Its own values: the copy is changed without touching the first server's.
    const int ctfPort = freeUdpPort();
    const QString ctfLog = folder.filePath(QStringLiteral("ctf.log"));
    ASSERT_EQ(varno({"--server", "CTF Night", "settings", "set", "SrvCmdLine", "CmdLine",
                     QStringLiteral("+set net_port %1 +set rconpassword pw +set standin_log %2").arg(ctfPort).arg(ctfLog)})
                  .exitCode,
              0);
    EXPECT_TRUE(varno({"cmdline"}).out.contains(QByteArray::number(port)));
    EXPECT_TRUE(varno({"--server", "ctf-night", "cmdline"}).out.contains(QByteArray::number(ctfPort)));

    // Both run at once, each in a console of its own; stopping one leaves the other.
    ASSERT_EQ(varno({"launch"}).exitCode, 0);
    const CliRun second = varno({"--server", "CTF Night", "launch"});
    ASSERT_EQ(second.exitCode, 0) << second.err.constData();
    ASSERT_TRUE(answersRcon(port));
    ASSERT_TRUE(answersRcon(ctfPort));
    EXPECT_EQ(varno({"servers"}).out, QByteArray("default\t27960\trunning\nCTF Night\t27961\trunning\n"));
    EXPECT_EQ(varno({"--server", "CTF Night", "stop"}).exitCode, 0);
    EXPECT_FALSE(answersRcon(ctfPort));
    EXPECT_TRUE(answersRcon(port));

    EXPECT_EQ(varno({"servers", "remove", "default"}).exitCode, 1);
    EXPECT_EQ(varno({"servers", "remove", "CTF Night"}).out, QByteArray("Removed server CTF Night\n"));
    EXPECT_EQ(varno({"servers", "list"}).out, QByteArray("default\t27960\trunning\n"));
    EXPECT_EQ(varno({"stop"}).exitCode, 0);
}

// The product's own times: a crash 10 s after the launch is the first that is relaunched.
TEST_F(CliServerTest, ServeRelaunchesACrashedServerAndEndsItCleanlyOnSigterm)
{
    QProcess serve;
    start(serve, {"serve"}, folder.filePath(QStringLiteral("state")));
    ASSERT_TRUE(serve.waitForStarted());
    const auto finish = qScopeGuard([&] {
        if (serve.state() != QProcess::NotRunning) {
            serve.kill();
            serve.waitForFinished();
        }
    });
    ASSERT_TRUE(waitFor([&] { return answersRcon(port); }, 5s));
    QElapsedTimer sinceLaunch;
    sinceLaunch.start();
    ASSERT_TRUE(waitFor([&] { return sinceLaunch.elapsed() > 10500; }, 12s));

    sendRcon(port, "pw", "standin_crash");
    ASSERT_TRUE(waitFor([&] { return !answersRcon(port); }, 2s));
    QElapsedTimer down;
    down.start();
    EXPECT_TRUE(waitFor([&] { return answersRcon(port); }, 3s));
    RecordProperty("relaunchedWithinMs", int(down.elapsed()));

    serve.terminate();
    EXPECT_TRUE(serve.waitForFinished(12000));
    EXPECT_EQ(serve.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(serve.exitCode(), 0);
    const QByteArray err = serve.readAllStandardError();
    EXPECT_TRUE(err.contains("varno: Server stopped (signal 11) \u2014 relaunching in 1 s\n")) << err.constData();
    EXPECT_TRUE(err.contains("varno: Server stopped (signal 11) \u2014 relaunched, 1st time this hour\n"));
    EXPECT_TRUE(err.endsWith("varno: stopping the server\nvarno: Server ended (exit code 0)\n")) << err.constData();
    EXPECT_FALSE(answersRcon(port));
    const QDir logs(folder.filePath(QStringLiteral("state/varno-server")));
    const QStringList files = logs.entryList({QStringLiteral("crash-*.log")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(readFile(logs.filePath(files.front())).endsWith("Crashing with signal 11\n"));
}

TEST_F(CliTest, WatchAllWatchesEveryServerAndNamesEachLinesServer)
{
    StandinServer first({"+addclient", "Bob", "40", "10.9.8.7:27960"});
    StandinServer second({"+addclient", "Eve", "30", "10.9.8.8:27960"});
    ASSERT_TRUE(first.started()) << qPrintable(first.output());
    ASSERT_TRUE(second.started()) << qPrintable(second.output());
    watchOn(first.port());
    ASSERT_EQ(varno({"servers", "add", "ctf"}).exitCode, 0);
    ASSERT_EQ(varno({"--server", "ctf", "settings", "set", "ServerTools", "LPBRemotePort",
                     QString::number(second.port())})
                  .exitCode,
              0);

    QProcess watch;
    start(watch, {"watch", "--all"});
    ASSERT_TRUE(watch.waitForStarted());
    QByteArray out;
    const bool both = waitFor([&] {
        out += watch.readAllStandardOutput();
        return out.contains("[default] Kicked client 0 Bob^7\n") && out.contains("[ctf] Kicked client 0 Eve^7\n");
    }, 10s);
    watch.terminate();
    ASSERT_TRUE(watch.waitForFinished(10000));
    EXPECT_TRUE(both) << out.constData();
    EXPECT_TRUE(watch.readAllStandardError().endsWith("varno: watch ended; 2 low-ping players found, 0 banned players "
                                                      "removed\n"));
    EXPECT_TRUE(first.waitForLogged(QStringLiteral("clientkick 0")));
    EXPECT_TRUE(second.waitForLogged(QStringLiteral("clientkick 0")));
}

TEST_F(CliTest, WatchInterruptedWithKicksQueuedNamesTheOnesNotSent)
{
    // The classic server's pace: one datagram each 500 ms, so ten players' announcements and kicks take ten seconds.
    QStringList arguments{"+set", "standin_rcon_throttle", "classic", "+set", "sv_maxclients", "16"};
    for (int i = 0; i < 10; ++i)
        arguments << "+addclient" << QStringLiteral("P%1").arg(i) << "20" << QStringLiteral("10.0.0.%1:27960").arg(i + 1);
    StandinServer server(arguments);
    ASSERT_TRUE(server.started()) << qPrintable(server.output());
    watchOn(server.port());

    const WatchRun watch = watchUntil("Kicked client", false, 10s);
    const QByteArray& out = watch.out;
    const QByteArray& err = watch.err;
    ASSERT_TRUE(watch.said) << out.constData() << err.constData();
    ASSERT_NE(watch.exitCode, -1) << "ended by the SIGTERM";

    const int kicksReported = int(out.count("Kicked client"));
    const int kicksNotSent = int(err.count("varno: not sent: kick of client"));
    EXPECT_GT(kicksNotSent, 0) << err.constData();
    EXPECT_EQ(kicksReported + kicksNotSent, 10) << out.constData() << err.constData();
    // What was reported kicked has reached the server, and nothing else.
    QThread::msleep(200);
    int kicksLogged = 0;
    for (const QString& command : server.loggedCommands())
        kicksLogged += command.startsWith(QLatin1String("clientkick "));
    EXPECT_EQ(kicksLogged, kicksReported);
}

TEST_F(CliTest, WatchSaysOnceWhenItIsBlind)
{
    StandinServer server;
    ASSERT_TRUE(server.started()) << qPrintable(server.output());
    const test::BlindTargets blind;
    ASSERT_TRUE(blind.bound());
    for (const BlindCase& c : blindCases(blind, quint16(server.port()))) {
        SCOPED_TRACE(c.what);
        set("ServerTools", "LocalHost", c.host.isEmpty() ? "1" : "0");
        set("ServerTools", "RemoteHost", c.host.isEmpty() ? "0" : "1");
        set("ServerTools", "RemoteHostAddress", c.host);
        watchOn(c.port, c.password);

        // Within three polls at one a second; then two more polls of the same, and still said once. Nothing marks
        // a poll from outside.
        const QByteArray says = "varno: " + c.says.toUtf8();
        const WatchRun watch = watchUntil(says, true, 3500ms, 2100);
        EXPECT_TRUE(watch.said) << watch.err.constData();
        EXPECT_EQ(watch.err.count(says), 1) << watch.err.constData();
    }
}
