#include "e2e/console_bridge_fixture.h"
#include "gui/console/console_page.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>

using namespace varno;
using namespace varno::test;

namespace {

TEST_F(StandinConsoleTest, LaunchedServerIsFoundGreetedAndTakesCommandsAndMapChanges)
{
    launch();
    // The page's own timer finds the console.
    ASSERT_TRUE(waitForServerReady()) << qPrintable(page->logLines().join('|'));
    EXPECT_EQ(page->logLines().join('|').toStdString(),
              "Waiting for Quake III Dedicated Console to Spawn...|Q3 Dedicated Server Found!|Server is Ready");
    EXPECT_FALSE(page->LookforServerTimer->isActive());
    ASSERT_TRUE(waitForStandinCommand(QStringLiteral("echo Varno Interface Complete!")))
        << qPrintable(standinCommands().join('|'));

    ASSERT_TRUE(waitUntilIdle());
    sendCommand(QStringLiteral("Fraglimit"), QStringLiteral("30"));
    ASSERT_TRUE(waitForStandinCommand(QStringLiteral("Fraglimit 30"))) << qPrintable(standinCommands().join('|'));

    ASSERT_TRUE(waitUntilIdle());
    changeMap(QStringLiteral("q3dm17"));
    ASSERT_TRUE(waitForStandinCommand(QStringLiteral("map q3dm17"))) << qPrintable(standinCommands().join('|'));

    // Each line is logged once its keys have reached the console.
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(page->logLines().mid(3).join('|').toStdString(), "Fraglimit has changed to 30.|Map changed to: q3dm17");
    const QStringList commands = standinCommands();
    EXPECT_EQ(commands.count(QStringLiteral("echo Varno Interface Complete!")), 1);
    EXPECT_EQ(commands.count(QStringLiteral("Fraglimit 30")), 1);
    EXPECT_EQ(commands.count(QStringLiteral("map q3dm17")), 1);
    // The server script ran first, from the launch, and started the rotation.
    ASSERT_TRUE(commands.contains(QStringLiteral("map q3dm1"))) << qPrintable(commands.join('|'));
    EXPECT_LT(commands.indexOf(QStringLiteral("map q3dm1")), commands.indexOf(QStringLiteral("map q3dm17")));
}

TEST_F(StandinConsoleTest, ConsoleOutputAppearsUnderTheLogWithinASecond)
{
    launch();
    ASSERT_TRUE(waitForServerReady()) << qPrintable(page->logLines().join('|'));
    ASSERT_TRUE(waitForStandinCommand(QStringLiteral("echo Varno Interface Complete!")));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_TRUE(page->ConsoleOutputView->isReadOnly());
    const auto shows = [&](const QString& line) {
        return page->ConsoleOutputView->toPlainText().split(QLatin1Char('\n')).contains(line);
    };
    EXPECT_TRUE(waitFor([&] { return shows(QStringLiteral("Varno Interface Complete!")); }))
        << qPrintable(page->ConsoleOutputView->toPlainText());

    sendCommand(QStringLiteral("echo"), QStringLiteral("marker 1"));
    ASSERT_TRUE(waitForStandinCommand(QStringLiteral("echo marker 1")))
        << qPrintable(standinCommands().join('|'));
    QElapsedTimer printed;
    printed.start();
    ASSERT_TRUE(waitFor([&] { return shows(QStringLiteral("marker 1")); }, std::chrono::seconds(3)))
        << qPrintable(page->ConsoleOutputView->toPlainText());
    EXPECT_LE(printed.elapsed(), 1000);
    // The lines show the typed command behind the console's prompt, and the view keeps the last 500 at most.
    EXPECT_TRUE(shows(QStringLiteral("]echo marker 1")));
    EXPECT_EQ(page->ConsoleOutputView->maximumBlockCount(), 500);
}

} // namespace
