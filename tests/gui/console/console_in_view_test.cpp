#include "gui/app/status_line.h"
#include "gui/console/console_in_view.h"
#include "gui/console/console_sessions.h"
#include "support/fake_terminal.h"
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

    void setEnv(const char* name, const QByteArray& value) { environment.set(name, value); }

    void installTerminal(const QString& name, bool attaches)
    {
        installFakeTerminal(bin.path(), name, recordPath, attaches);
    }

    QStringList recorded() const { return fileLines(recordPath); }

    QTemporaryDir bin;
    TmuxSocket tmux;
    StatusLine statusLine;
    QString recordPath;
    ScopedEnvironment environment;
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
