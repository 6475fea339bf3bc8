#include "gui/app/status_line.h"
#include "gui/console/console_in_view.h"
#include "gui/console/console_sessions.h"
#include "support/gui_fixture.h"
#include "support/tmux_socket.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace varno;
using namespace varno::test;

namespace {

// A desktop whose terminal is a recording fake: it notes its arguments and, unless told to fail, attaches
// the tmux client it was asked for under a pseudo-terminal of its own.
class ConsoleInViewTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        ASSERT_TRUE(bin.isValid());
        recordPath = bin.filePath(QStringLiteral("arguments.txt"));
        savedPath = qgetenv("PATH");
        savedDisplay = qgetenv("DISPLAY");
        savedWayland = qgetenv("WAYLAND_DISPLAY");
        savedTerminal = qgetenv("TERMINAL");
        qputenv("PATH", bin.path().toLocal8Bit() + ":" + savedPath);
        qputenv("DISPLAY", ":99");
        qunsetenv("WAYLAND_DISPLAY");
        qunsetenv("TERMINAL");
        startSession(tmux, kConsoleSession, QStringLiteral("exec sleep 30"));
    }

    void TearDown() override
    {
        qputenv("PATH", savedPath);
        restore("DISPLAY", savedDisplay);
        restore("WAYLAND_DISPLAY", savedWayland);
        restore("TERMINAL", savedTerminal);
        GuiTest::TearDown();
    }

    static void restore(const char* name, const QByteArray& value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    void installTerminal(const QString& name, bool attaches)
    {
        QFile script(bin.filePath(name));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        // After "-e": tmux -L SOCKET attach -t TARGET.
        script.write("#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > '" + recordPath.toLocal8Bit() + "'\n");
        if (attaches)
            script.write("exec script -qec \"tmux -L '$4' attach -t '$7'\" /dev/null\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QStringList recorded() const { return fileLines(recordPath); }

    QTemporaryDir bin;
    TmuxSocket tmux;
    StatusLine statusLine;
    QString recordPath;
    QByteArray savedPath, savedDisplay, savedWayland, savedTerminal;
};

TEST_F(ConsoleInViewTest, TerminalWindowIsOpenedAttachedToTheConsole)
{
    installTerminal(QStringLiteral("xterm"), false);
    installTerminal(QStringLiteral("x-terminal-emulator"), true);
    showConsoleAfterLaunch("Q3 WinConsole", true, &statusLine);
    ASSERT_TRUE(waitFor([&] { return statusLine.text().contains(QLatin1String("is open")); }))
        << qPrintable(statusLine.text());
    EXPECT_EQ(
        statusLine.text(),
        QStringLiteral("The server console \"Q3 WinConsole\" is open in a terminal window (x-terminal-emulator)."));
    EXPECT_EQ(recorded(), (QStringList{bin.filePath("x-terminal-emulator"), "-e", "tmux", "-L", tmux.name(), "attach",
                                       "-t", "=Q3 WinConsole"}));
}

TEST_F(ConsoleInViewTest, StatusLineNamesTheAttachCommandWhenNoWindowOpens)
{
    const QString attach = "tmux -L " + tmux.name() + " attach -t 'Q3 WinConsole'";
    installTerminal(QStringLiteral("x-terminal-emulator"), true);
    // Unticked: no window.
    showConsoleAfterLaunch("Q3 WinConsole", false, &statusLine);
    EXPECT_EQ(statusLine.text(), "To see the server console, run: " + attach);
    EXPECT_FALSE(QFile::exists(recordPath));
    // No display.
    qunsetenv("DISPLAY");
    showConsoleAfterLaunch("Q3 WinConsole", true, &statusLine);
    EXPECT_EQ(statusLine.text(), "There is no display; to see the server console, run: " + attach);
    EXPECT_FALSE(QFile::exists(recordPath));
}

TEST_F(ConsoleInViewTest, TerminalThatNeverShowsTheConsoleIsReported)
{
    installTerminal(QStringLiteral("x-terminal-emulator"), false);
    showConsoleAfterLaunch("Q3 WinConsole", true, &statusLine);
    ASSERT_TRUE(waitFor([&] { return !statusLine.text().isEmpty(); },
                        std::chrono::milliseconds(kConsoleWindowPatienceMs + 2000)));
    EXPECT_EQ(statusLine.text(), "The terminal x-terminal-emulator did not show the server console; to see it, run: "
                                 "tmux -L " +
                                     tmux.name() + " attach -t 'Q3 WinConsole'");
}

} // namespace
