#include "core/console/key_player.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/console/console_page.h"
#include "gui/console/console_sessions.h"
#include "support/gui_fixture.h"
#include "support/tmux_socket.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <optional>

using namespace varno;
using namespace varno::test;

namespace {

const QString kWaiting = QStringLiteral("Waiting for Quake III Dedicated Console to Spawn...");
const QString kFound = QStringLiteral("Q3 Dedicated Server Found!");
const QString kReady = QStringLiteral("Server is Ready");
const QString kGreetingTyped = QStringLiteral("echo Varno Interface Complete!");
const QString kNotTyped = QStringLiteral("Not typed into the console, ");
const QString kBadName = QStringLiteral("a braced key name is not known or not closed");

class ConsolePageTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        typedPath = folder.filePath(QStringLiteral("typed.txt"));
        // Shown, so that the page is laid out and clicks land where a user's would.
        createWindows(false, true);
        page = forms().Form1->consolePage;
        forms().Form1->showPage(QStringLiteral("Enhanced Console"));
    }

    // A console that records what is typed into it, found and greeted as by a timer tick.
    void startFoundConsole()
    {
        startSession(tmux, kConsoleSession, recordTypedLines(typedPath));
        page->LookforServerTimerTimer();
        ASSERT_TRUE(waitFor([&] { return fileLines(typedPath) == QStringList{kGreetingTyped}; }))
            << qPrintable(fileLines(typedPath).join('|'));
        ASSERT_TRUE(waitUntilIdle());
    }

    bool waitUntilIdle()
    {
        return waitFor([&] { return !page->keyPlayer().isPlaying(); });
    }

    bool waitForTypedLines(int count)
    {
        return waitFor([&] { return fileLines(typedPath).size() >= count; });
    }

    void chooseCommand(const QString& command)
    {
        clearField(page->CmdBox);
        typeInto(page->CmdBox, command);
    }

    void enterValue(const QString& value)
    {
        clearField(page->ValueEdit);
        typeInto(page->ValueEdit, value);
    }

    void setTicked(QCheckBox* box, bool ticked)
    {
        if (box->isChecked() != ticked)
            click(box);
    }

    TmuxSocket tmux;
    QTemporaryDir folder;
    QString typedPath;
    ConsolePage* page = nullptr;
};

QStringList entries(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

TEST_F(ConsolePageTest, StartsWaitingForTheConsole)
{
    EXPECT_EQ(page->consoleGroup->title(), QStringLiteral(" Enhanced Console "));
    EXPECT_EQ(joined(page->logLines()), joined(QStringList{kWaiting}));
    EXPECT_TRUE(page->enhConsole->isReadOnly());
    EXPECT_EQ(page->enhConsole->palette().color(QPalette::Base), QColor(0, 0, 160));
    EXPECT_EQ(page->enhConsole->palette().color(QPalette::Text), QColor(Qt::yellow));

    EXPECT_TRUE(page->CmdBox->isEditable());
    EXPECT_EQ(page->CmdBox->currentText(), QStringLiteral("Server Commands"));
    EXPECT_EQ(entries(page->CmdBox),
              (QStringList{"Kick", "Map", "Fraglimit", "Timelimit", "cmdlist", "cvarlist", "Quit"}));
    EXPECT_EQ(page->OnBox->text(), QStringLiteral("On"));
    EXPECT_FALSE(page->OnBox->isChecked());
    EXPECT_EQ(page->OffBox->text(), QStringLiteral("Off"));
    EXPECT_FALSE(page->OffBox->isChecked());
    EXPECT_TRUE(page->ValueEdit->text().isEmpty());
    EXPECT_EQ(page->SendButton->text(), QStringLiteral("Send Command"));
    EXPECT_FALSE(page->SendButton->isEnabled());

    QStringList maps;
    for (int i = 1; i <= 4; ++i)
        maps << QStringLiteral("q3ctf%1").arg(i);
    for (int i = 1; i <= 19; ++i)
        maps << QStringLiteral("q3dm%1").arg(i);
    for (int i = 1; i <= 7; ++i)
        maps << QStringLiteral("q3tourney%1").arg(i);
    maps << QString();
    EXPECT_TRUE(page->MapBox->isEditable());
    EXPECT_FALSE(page->MapBox->isEnabled());
    EXPECT_EQ(page->MapBox->currentText(), QStringLiteral("Select a Map"));
    EXPECT_EQ(entries(page->MapBox), maps);
    EXPECT_EQ(page->MapBox->maxVisibleItems(), 17);
    EXPECT_EQ(page->MapButton->text(), QStringLiteral("Go"));
    EXPECT_TRUE(page->MapButton->isEnabled());

    EXPECT_TRUE(page->LookforServerTimer->isActive());
    EXPECT_EQ(page->LookforServerTimer->interval(), 1000);
}

TEST_F(ConsolePageTest, GoBeforeAnyServerTypesNothingAndLogsWhy)
{
    click(page->MapButton);
    EXPECT_FALSE(page->keyPlayer().isPlaying());
    EXPECT_EQ(joined(page->logLines()),
              joined((QStringList{kWaiting, kNotTyped + "\"map Select a Map\": the server console is gone: no server "
                                                        "is running in tmux -L " + tmux.name()})));
}

TEST_F(ConsolePageTest, CommandForADeadConsoleLogsThatItsPaneIsDead)
{
    startFoundConsole();
    startDeadSession(tmux, QStringLiteral("Q3 WinConsole 2"));
    killSession(tmux, kConsoleSession);
    chooseCommand(QStringLiteral("Fraglimit"));
    enterValue(QStringLiteral("7"));
    click(page->SendButton);
    EXPECT_EQ(page->logLines().last(),
              kNotTyped + "\"Fraglimit 7\": the pane of the server console \"Q3 WinConsole 2\" is dead: its server "
                          "has ended (exit code 3)");
}

TEST_F(ConsolePageTest, TimerFindsTheConsoleWithinASecondAndGreetsItOnce)
{
    QElapsedTimer elapsed;
    elapsed.start();
    startSession(tmux, kConsoleSession, recordTypedLines(typedPath));
    ASSERT_TRUE(waitFor([&] { return page->logLines().size() > 1; }, std::chrono::milliseconds(2500)));
    const qint64 foundAfterMs = elapsed.elapsed();
    EXPECT_LE(foundAfterMs, 1800);
    EXPECT_EQ(joined(page->logLines()), joined((QStringList{kWaiting, kFound, kReady})));
    EXPECT_FALSE(page->LookforServerTimer->isActive());
    EXPECT_TRUE(page->SendButton->isEnabled());
    EXPECT_TRUE(page->MapBox->isEnabled());
    ASSERT_TRUE(waitForTypedLines(1));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(joined(fileLines(typedPath)), joined(QStringList{kGreetingTyped}));
}

TEST_F(ConsolePageTest, ConsoleWhoseServerHasEndedIsNotAnnounced)
{
    startDeadSession(tmux, kConsoleSession);
    page->LookforServerTimerTimer();
    EXPECT_EQ(joined(page->logLines()), joined(QStringList{kWaiting}));
    EXPECT_TRUE(page->LookforServerTimer->isActive());
    EXPECT_FALSE(page->SendButton->isEnabled());
}

struct SendCase {
    std::optional<QString> command; // none: the box as it starts
    QString value;
    bool on;
    bool off;
    std::optional<QString> typed;   // the line the console receives; none: nothing typed
    std::optional<QString> logLine; // none: no line
};

TEST_F(ConsolePageTest, SendCommandTypesTheCommandAndLogsIt)
{
    const SendCase cases[] = {
        {std::nullopt, "5", false, false, "Server Commands 5", "Server Commands has changed to 5."},
        {"Fraglimit", "30", false, false, "Fraglimit 30", "Fraglimit has changed to 30."},
        {"Timelimit", "abc", true, false, "Timelimit 1", "Timelimit has changed to abc."},
        {"Timelimit", "abc", false, true, "Timelimit 0", "Timelimit has changed to abc."},
        {"Timelimit", "abc", true, true, "Timelimit 0", "Timelimit has changed to abc."},
        {"KICK", "Bob", false, false, "KICK Bob", "Kick request sent for user \"Bob\""},
        {"kIcK", "Bob", true, false, "kIcK 1", "Kick request sent for user \"Bob\""},
        {"Kicks", "Bob", false, false, "Kicks Bob", "Kicks has changed to Bob."},
        {"g_banips", "10.0.0.1,", false, false, "g_banips 10.0.0.1,", std::nullopt},
        {"G_BANIPS", "", false, false, "G_BANIPS ", std::nullopt},
        {"cvarlist", "", false, false, "cvarlist ", "cvarlist has changed to ."},
        {"say", "~hello", false, false, "say Hello", "say has changed to ~hello."},
        {"say", "a{RETURN}", false, false, std::nullopt, kNotTyped + "\"say a{RETURN}\": " + kBadName},
        {"say", "{ENTER", false, false, std::nullopt, kNotTyped + "\"say {ENTER\": " + kBadName},
    };
    startFoundConsole();
    QStringList typed{kGreetingTyped};
    QStringList log = page->logLines();
    for (const SendCase& c : cases) {
        const QString label = c.command.value_or(QStringLiteral("<untouched>")) + QLatin1Char('/') + c.value;
        if (c.command)
            chooseCommand(*c.command);
        enterValue(c.value);
        setTicked(page->OnBox, c.on);
        setTicked(page->OffBox, c.off);
        click(page->SendButton);
        if (c.typed) {
            typed << *c.typed;
            EXPECT_TRUE(waitForTypedLines(int(typed.size()))) << qPrintable(label);
            EXPECT_TRUE(waitUntilIdle()) << qPrintable(label);
        } else {
            EXPECT_FALSE(page->keyPlayer().isPlaying()) << qPrintable(label);
        }
        EXPECT_EQ(joined(fileLines(typedPath)), joined(typed)) << qPrintable(label);
        if (c.logLine)
            log << *c.logLine;
        EXPECT_EQ(joined(page->logLines()), joined(log)) << qPrintable(label);
    }
}

TEST_F(ConsolePageTest, GoTypesTheMapChangeAndLogsItUnlessTheMapIsNone)
{
    struct MapCase {
        QString map;
        bool pick; // chosen from the list, not typed
        QString typed;
        std::optional<QString> logLine;
    };
    const MapCase cases[] = {
        {"q3dm7", true, "map q3dm7", "Map changed to: q3dm7"},
        {"", true, "map ", "Map changed to: "},
        {"<none>", false, "map <none>", std::nullopt},
        {"<None>", false, "map <None>", "Map changed to: <None>"},
        {"mymap", false, "map mymap", "Map changed to: mymap"},
    };
    startFoundConsole();
    QStringList typed{kGreetingTyped};
    QStringList log = page->logLines();
    for (const MapCase& c : cases) {
        if (c.pick) {
            const int index = page->MapBox->findText(c.map, Qt::MatchExactly);
            ASSERT_GE(index, 0) << qPrintable(c.map);
            page->MapBox->setCurrentIndex(index);
        } else {
            clearField(page->MapBox);
            typeInto(page->MapBox, c.map);
        }
        click(page->MapButton);
        typed << c.typed;
        EXPECT_TRUE(waitForTypedLines(int(typed.size()))) << qPrintable(c.map);
        EXPECT_TRUE(waitUntilIdle()) << qPrintable(c.map);
        EXPECT_EQ(joined(fileLines(typedPath)), joined(typed)) << qPrintable(c.map);
        if (c.logLine)
            log << *c.logLine;
        EXPECT_EQ(joined(page->logLines()), joined(log)) << qPrintable(c.map);
    }
}

TEST_F(ConsolePageTest, LaterServerIsReachedWithoutBeingAnnouncedAgain)
{
    startFoundConsole();
    const QString laterPath = folder.filePath(QStringLiteral("later.txt"));
    // Started before the first goes, so that the tmux server is not ending while it starts.
    startSession(tmux, QStringLiteral("Q3 WinConsole 2"), recordTypedLines(laterPath));
    killSession(tmux, kConsoleSession);
    const QStringList logBefore = page->logLines();

    chooseCommand(QStringLiteral("Fraglimit"));
    enterValue(QStringLiteral("7"));
    click(page->SendButton);
    ASSERT_TRUE(waitFor([&] { return !fileLines(laterPath).isEmpty(); }));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(joined(fileLines(laterPath)), joined(QStringList{"Fraglimit 7"}));
    EXPECT_EQ(joined(page->logLines()), joined(logBefore + QStringList{"Fraglimit has changed to 7."}));
}

TEST_F(ConsolePageTest, EnterInAFieldPressesSendCommandWhileItIsEnabled)
{
    enterValue(QStringLiteral("30"));
    QTest::keyClick(page->ValueEdit, Qt::Key_Return);
    EXPECT_EQ(joined(page->logLines()), joined(QStringList{kWaiting}));

    page->SendButton->setEnabled(true);
    chooseCommand(QStringLiteral("Fraglimit"));
    QTest::keyClick(page->ValueEdit, Qt::Key_Return);
    // Without a console nothing is typed, and the log says so.
    ASSERT_EQ(page->logLines().size(), 2);
    EXPECT_TRUE(page->logLines().last().startsWith(kNotTyped + "\"Fraglimit 30\"")) << qPrintable(page->logLines().last());

    // Enter in a list's text sends too, and leaves the list as it was.
    chooseCommand(QStringLiteral("Rate"));
    QTest::keyClick(page->CmdBox->lineEdit(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(page->logLines().last().startsWith(kNotTyped + "\"Rate 30\"")) << qPrintable(page->logLines().last());
    EXPECT_EQ(page->CmdBox->count(), 7);
    page->MapBox->setEnabled(true);
    QTest::keyClick(page->MapBox->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(page->logLines().size(), 4);
}

} // namespace
