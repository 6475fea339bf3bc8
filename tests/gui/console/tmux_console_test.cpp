#include "core/console/key_player.h"
#include "gui/console/console_sessions.h"
#include "platform/posix/tmux.h"
#include "platform/services.h"
#include "support/gui_fixture.h"
#include "support/tmux_socket.h"

#include <QTemporaryDir>

#include <csignal>

#include <gtest/gtest.h>

using namespace varno;
using namespace varno::test;

namespace {

class TmuxConsoleTest : public ::testing::Test {
protected:
    TmuxSocket socket;
    std::unique_ptr<ServerConsole> console = createServerConsole();
};

TEST_F(TmuxConsoleTest, NoTmuxServerMeansNoConsole)
{
    EXPECT_FALSE(console->exists());
    EXPECT_FALSE(console->bringInputToForeground());
}

TEST_F(TmuxConsoleTest, ConsoleWhoseServerHasEndedDoesNotCount)
{
    startDeadSession(socket, kConsoleSession);
    EXPECT_FALSE(console->exists());
    EXPECT_FALSE(console->bringInputToForeground());
    EXPECT_FALSE(tmux::inputSession().has_value());
}

TEST_F(TmuxConsoleTest, SessionStartedByHandIsFoundAndBecomesTheInputTarget)
{
    startSession(socket, kConsoleSession, QStringLiteral("exec sleep 30"));
    EXPECT_TRUE(console->exists());
    EXPECT_TRUE(console->bringInputToForeground());
    EXPECT_EQ(tmux::inputSession(), QStringLiteral("Q3 WinConsole"));
}

TEST_F(TmuxConsoleTest, FirstLiveConsoleIsChosenAndOtherSessionsAreIgnored)
{
    startSession(socket, QStringLiteral("Other"), QStringLiteral("exec sleep 30"));
    startDeadSession(socket, kConsoleSession);
    startSession(socket, QStringLiteral("Q3 WinConsole 2"), QStringLiteral("exec sleep 30"));
    EXPECT_TRUE(console->exists());
    EXPECT_TRUE(console->bringInputToForeground());
    EXPECT_EQ(tmux::inputSession(), QStringLiteral("Q3 WinConsole 2"));
}

TEST_F(TmuxConsoleTest, EveryCallLooksAgain)
{
    startSession(socket, kConsoleSession, QStringLiteral("exec sleep 30"));
    ASSERT_TRUE(console->bringInputToForeground());
    killSession(socket, kConsoleSession);
    EXPECT_FALSE(console->exists());
    EXPECT_FALSE(console->bringInputToForeground());
    EXPECT_FALSE(tmux::inputSession().has_value());

    startSession(socket, QStringLiteral("Q3 WinConsole 3"), QStringLiteral("exec sleep 30"));
    EXPECT_TRUE(console->exists());
    EXPECT_TRUE(console->bringInputToForeground());
    EXPECT_EQ(tmux::inputSession(), QStringLiteral("Q3 WinConsole 3"));
}

// The keystroke player with the platform's injector and layout, typing into a console on the test's socket.
class TmuxKeyInjectorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        typedPath = folder.filePath(QStringLiteral("typed.txt"));
    }

    void startRecordingConsole()
    {
        startSession(socket, kConsoleSession, recordTypedLines(typedPath));
        ASSERT_TRUE(console->bringInputToForeground());
    }

    bool waitUntilIdle()
    {
        return waitFor([&] { return !player.isPlaying(); });
    }

    TmuxSocket socket;
    QTemporaryDir folder;
    QString typedPath;
    std::unique_ptr<ServerConsole> console = createServerConsole();
    KeyPlayer player{createKeyInjector(), createKeyboardLayout(), [] { return std::uint32_t(0); }};
};

TEST_F(TmuxKeyInjectorTest, TypedCommandRunsInAShell)
{
    startSession(socket, kConsoleSession, QStringLiteral("PS1='$ ' exec sh"));
    ASSERT_TRUE(console->bringInputToForeground());
    // Typed before the prompt, the echo and the prompt would share a line with the output.
    ASSERT_TRUE(waitFor([&] { return socket.capture(QString::fromLatin1(kConsoleSession)).startsWith("$"); }));
    ASSERT_EQ(player.PlayKeyString("echo hello{ENTER}"), kpOk);
    EXPECT_TRUE(waitFor([&] {
        return socket.capture(QString::fromLatin1(kConsoleSession)).split(QLatin1Char('\n')).contains("hello");
    })) << qPrintable(socket.capture(QString::fromLatin1(kConsoleSession)));
}

TEST_F(TmuxKeyInjectorTest, CharactersSpecialToTmuxOrTheShellArriveAsTyped)
{
    startRecordingConsole();
    // The last semicolon follows a backslash, which tmux would take for an escaped command separator.
    const std::string text = "say a;b \"c\" 'd' #e $f \\g %h &i *j (k) [l] }m |n <o> ?p !q, -r_ +s= `t` /u. :v \\;";
    ASSERT_EQ(player.PlayKeyString(text + "{ENTER}"), kpOk);
    ASSERT_TRUE(waitFor([&] { return !fileLines(typedPath).isEmpty(); }));
    EXPECT_EQ(joined(fileLines(typedPath)), joined(QStringList{QString::fromStdString(text)}));
}

TEST_F(TmuxKeyInjectorTest, LongStringArrivesWholeAndInOrder)
{
    startRecordingConsole();
    // Far more keys than one tmux command may carry.
    QStringList expected;
    std::string text;
    for (int line = 0; line < 60; ++line) {
        std::string words;
        for (int word = 0; word < 20; ++word)
            words += "line" + std::to_string(line) + "word" + std::to_string(word) + " ";
        text += words + "{ENTER}";
        expected << QString::fromStdString(words);
    }
    ASSERT_EQ(player.PlayKeyString(text), kpOk);
    ASSERT_TRUE(waitFor([&] { return fileLines(typedPath).size() >= expected.size(); }, std::chrono::seconds(15)));
    EXPECT_EQ(joined(fileLines(typedPath)), joined(expected));
}

TEST_F(TmuxKeyInjectorTest, PlayerStaysBusyUntilTmuxHasDelivered)
{
    startRecordingConsole();
    ASSERT_EQ(player.PlayKeyString("first{ENTER}"), kpOk);
    EXPECT_TRUE(player.isPlaying());
    EXPECT_EQ(player.PlayKeyString("second{ENTER}"), kpBusy);
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(player.PlayKeyString("third{ENTER}"), kpOk);
    ASSERT_TRUE(waitFor([&] { return fileLines(typedPath).size() >= 2; }));
    EXPECT_EQ(joined(fileLines(typedPath)), joined((QStringList{"first", "third"})));
}

TEST_F(TmuxKeyInjectorTest, NothingIsTypedWithoutAConsoleBroughtForward)
{
    startSession(socket, kConsoleSession, recordTypedLines(typedPath));
    tmux::clearInputSession();
    EXPECT_EQ(player.PlayKeyString("lost{ENTER}"), kpHookFailed);
    EXPECT_FALSE(player.isPlaying());
}

TEST_F(TmuxKeyInjectorTest, ServerThatDiesAfterItWasFoundIsReported)
{
    runOnSocket(socket, {"new-session", "-d", "-s", kConsoleSession, "exec sleep 30", ";", "set-option", "-w", "-t",
                         QStringLiteral("=Q3 WinConsole:"), "remain-on-exit", "on"});
    ASSERT_TRUE(console->bringInputToForeground());
    const QString pid = runOnSocket(socket, {"display-message", "-p", "-t", "=Q3 WinConsole:", "#{pane_pid}"});
    ASSERT_EQ(::kill(pid.trimmed().toInt(), SIGTERM), 0) << qPrintable(pid);
    ASSERT_TRUE(waitFor([&] {
        return runOnSocket(socket, {"display-message", "-p", "-t", "=Q3 WinConsole:", "#{pane_dead}"}).trimmed() == "1";
    }));
    ASSERT_EQ(player.PlayKeyString("status{ENTER}"), kpOk);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(player.lastProblem(), "the server died while the keys were typed (signal 15); the pane of the server "
                                    "console \"Q3 WinConsole\" is dead");
}

TEST_F(TmuxKeyInjectorTest, ConsoleThatWentAwayEndsThePlayback)
{
    startRecordingConsole();
    killSession(socket, kConsoleSession);
    EXPECT_EQ(player.PlayKeyString("lost{ENTER}"), kpOk);
    EXPECT_TRUE(waitUntilIdle());
    EXPECT_EQ(player.lastProblem(), "the server console \"Q3 WinConsole\" went away while the keys were typed");
}

} // namespace
