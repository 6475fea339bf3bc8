#include "gui/app/status_line.h"
#include "gui/console/console_in_view.h"
#include "gui/console/console_sessions.h"
#include "support/gui_fixture.h"
#include "support/tmux_socket.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

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
        setEnv("PATH", bin.path().toLocal8Bit() + ":" + qgetenv("PATH"));
        setEnv("DISPLAY", ":99");
        setEnv("WAYLAND_DISPLAY", {});
        setEnv("TERMINAL", {});
        startSession(tmux, kConsoleSession, QStringLiteral("exec sleep 30"));
    }

    void TearDown() override
    {
        for (auto it = savedEnv.rbegin(); it != savedEnv.rend(); ++it)
            setEnv(it->first, it->second, false);
        GuiTest::TearDown();
    }

    // Sets a variable, or unsets it for a null value; TearDown puts back what it was.
    void setEnv(const char* name, const QByteArray& value, bool save = true)
    {
        if (save)
            savedEnv.emplace_back(name, qgetenv(name));
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
    std::vector<std::pair<const char*, QByteArray>> savedEnv;
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
    setEnv("DISPLAY", {});
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
