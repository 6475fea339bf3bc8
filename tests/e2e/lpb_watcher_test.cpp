// The ZOZ Idaroz against the stand-in game server over loopback.

#include "core/settings/comma_list.h"
#include "core/settings/schema.h"
#include "core/settings/server_model.h"
#include "e2e/lpb_standin.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/lpb/lpb_page.h"
#include "net/rcon_endpoint.h"
#include "gui/lpb/status_form.h"
#include "gui/settings/advanced_page.h"
#include "support/blind_targets.h"
#include "support/gui_fixture.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableWidget>

using namespace varno;
using namespace varno::test;

namespace {

LpbPage& page()
{
    return *forms().Form1->lpbPage;
}

QStringList startingWith(const QStringList& commands, const QString& word)
{
    QStringList found;
    for (const QString& command : commands) {
        if (command.startsWith(word + QLatin1Char(' ')))
            found << command;
    }
    return found;
}

} // namespace

class LpbWatcherTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        createWindows(false, false);
        dialogs::takeMessages();
    }

    // Main port, password, a one-second check rate, then "Enable".
    void enableAgainst(const LpbStandin& standin)
    {
        page().LPBPortSpin->setValue(standin.port());
        page().LPBRcon->setText(QString::fromLatin1(LpbStandin::kPassword));
        page().SpinCheckLPB->setValue(1);
        page().LpbButton->click();
        ASSERT_TRUE(page().isRunning());
    }

    // Six low-ping players appearing at once under the engine's rcon limit, polled every second: 19 commands and the
    // polls go through a limit of one a second after a burst of ten (ioquake3), or one each half second (classic).
    void removeSixAtOnce(const char* engine)
    {
        QStringList crowd{"bot Sarge", "High 300 10.2.2.2:27960"};
        for (int i = 1; i <= 6; ++i)
            crowd << QStringLiteral("Low%1 30 10.7.0.%1:27960").arg(i);
        {
            LpbStandin standin;
            ASSERT_TRUE(standin.start({"standin_status", engine, "standin_rcon_throttle", engine}, crowd))
                << qPrintable(standin.output());
            page().BanIPCB->setChecked(true);
            enableAgainst(standin);

            // 19 commands and the polls through a limit of one a second after a burst of ten, or one each half second.
            ASSERT_TRUE(waitFor([&] { return standin.countOf("addip") == 6; }, std::chrono::seconds(20)))
                << qPrintable(standin.loggedCommands().join(QLatin1Char('\n')));
            const int polls = standin.countOf("status");
            ASSERT_TRUE(waitFor([&] { return standin.countOf("status") > polls; }, std::chrono::seconds(5)));

            const QStringList commands = standin.loggedCommands();
            EXPECT_EQ(standin.countOf("standin_dropped"), 0) << "the server dropped datagrams:\n"
                                                              << qPrintable(commands.join(QLatin1Char('\n')));
            QStringList kicks = startingWith(commands, "clientkick");
            kicks.sort();
            EXPECT_EQ(kicks, (QStringList{"clientkick 2", "clientkick 3", "clientkick 4", "clientkick 5", "clientkick 6",
                                          "clientkick 7"}));
            for (int i = 1; i <= 6; ++i)
                EXPECT_EQ(commands.filter(QRegularExpression(QStringLiteral("Player Low%1(\\^7)? ").arg(i))).size(), 1)
                    << "Low" << i;
            const QString status = standin.rcon(QStringLiteral("status"));
            EXPECT_FALSE(status.contains(QLatin1String("Low"))) << qPrintable(status);
            EXPECT_TRUE(status.contains(QLatin1String("High"))) << qPrintable(status);
            EXPECT_EQ(page().LPBcnt->text().toInt(), 6);
        }
    }
};

// Two bots, a high-ping filler in slot 2, the low-ping client in slot 3 and a high-ping player called "3".
const QStringList kCrowd{"bot Sarge", "bot Xaero", "Carl 200 10.1.1.1:27960", "Low 40 192.168.0.7:27960",
                         "3 300 10.9.9.9:27960"};

TEST_F(LpbWatcherTest, OnlyTheLowPingClientIsKickedBySlotBannedAtOnceAndCounted)
{
    const struct {
        const char* layout;
        const char* throttle;
        const char* name;          // the name field as the layout prints it, without its closing blank
        const char* storedAddress; // as the layout prints it
    } cases[] = {{"classic", "classic", "Low^7", "192.168.0.7:27960"},
                 {"ioq3", "ioq3", "Low", "192.168.0.7"},
                 {"quake3e", "", "Low", "192.168.0.7"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        if (page().isRunning())
            page().LpbButton->click();
        page().ClearAll1Click();
        forms().Form1->model().holdList(kBanIPList, {});
        const QString countBefore = page().LPBcnt->text();
        LpbStandin standin;
        ASSERT_TRUE(standin.start({"standin_status", c.layout, "standin_rcon_throttle", c.throttle}, kCrowd))
            << qPrintable(standin.output());
        page().BanIPCB->setChecked(true);
        enableAgainst(standin);

        ASSERT_TRUE(waitFor([&] { return standin.countOf("addip") == 1; }, std::chrono::seconds(10)));
        // Two more polls answered without the player: everybody else stays.
        const int polls = standin.countOf("status");
        ASSERT_TRUE(waitFor([&] { return standin.countOf("status") >= polls + 2; }, std::chrono::seconds(10)));
        ASSERT_TRUE(waitFor([] { return forms().StatusForm->StatusGrid->rowCount() == 5; }));

        const QStringList commands = standin.loggedCommands();
        EXPECT_EQ(startingWith(commands, "clientkick"), QStringList{"clientkick 3"});
        EXPECT_EQ(standin.countOf("kick"), 0);
        EXPECT_EQ(startingWith(commands, "say"),
                  (QStringList{"say ^2V^4a^2r^4n^2o Server: ZOZ Idaroz Started Successfully!^7",
                               QStringLiteral("say ^2V^4a^2r^4n^2o^7: Warning: Player %1 ^7is an LPB and will be removed.")
                                   .arg(QLatin1String(c.name))}));
        EXPECT_EQ(startingWith(commands, "addip"), QStringList{"addip 192.168.0.7"});
        EXPECT_TRUE(standin.rcon(QStringLiteral("g_banIPs")).contains(QLatin1String("is:\"192.168.0.7 ")));
        EXPECT_EQ(page().LPBcnt->text().toInt(), countBefore.toInt() + 1);
        ASSERT_EQ(page().logLines().size(), 1u);
        EXPECT_TRUE(page().logLines()[0].starts_with(std::string("Name:") + c.name + " "));
        EXPECT_EQ(forms().Form1->advancedPage->banList(), std::vector<std::string>{c.storedAddress});
        EXPECT_EQ(FromCommaList(settings->read(kBanIPList.section, kBanIPList.name)),
                  std::vector<std::string>{c.storedAddress});
        EXPECT_TRUE(page().LPBHealth->text().contains(QLatin1String("answering"))) << qPrintable(page().LPBHealth->text());
        EXPECT_TRUE(dialogs::takeMessages().isEmpty());
    }
}

TEST_F(LpbWatcherTest, SixLowPingPlayersAtOnceAreAllRemovedWithinTheIoquake3Bucket)
{
    removeSixAtOnce("ioq3");
}

TEST_F(LpbWatcherTest, SixLowPingPlayersAtOnceAreAllRemovedWithinTheClassicLimit)
{
    removeSixAtOnce("classic");
}

TEST_F(LpbWatcherTest, PlayersFromBannedAddressesAreRemovedOnSightAndAgainWhenTheyReturn)
{
    LpbStandin standin;
    // The server's own filter admits them: its g_banIPs is empty.
    ASSERT_TRUE(standin.start({"standin_status", "ioq3", "standin_rcon_throttle", "ioq3"},
                              {"bot Sarge", "Exact 200 10.9.0.5:27960", "Star 200 10.8.4.4:27960",
                               "Prefix 200 10.7.1.2:27960", "Near 200 10.1.1.10:27960"}))
        << qPrintable(standin.output());
    AdvancedPage& advanced = *forms().Form1->advancedPage;
    forms().Form1->model().holdList(kBanIPList, {});
    for (const char* entry : {"10.9.0.5", "10.8.*", "10.7", "10.1.1.1"})
        advanced.appendBan(QString::fromLatin1(entry));
    page().KickCB->setChecked(false);
    enableAgainst(standin);

    ASSERT_TRUE(waitFor([&] { return standin.countOf("clientkick") == 3; }, std::chrono::seconds(5)))
        << qPrintable(standin.loggedCommands().join(QLatin1Char('\n')));
    QStringList kicks = startingWith(standin.loggedCommands(), "clientkick");
    kicks.sort();
    EXPECT_EQ(kicks, (QStringList{"clientkick 1", "clientkick 2", "clientkick 3"}));

    // Gone, as a poll after the kicks shows; back again: removed again within a poll, and announced again.
    ASSERT_TRUE(waitFor([&] { return page().BannedCnt->text() == QLatin1String("3"); }));
    const int polls = standin.countOf("status");
    ASSERT_TRUE(waitFor([&] { return standin.countOf("status") > polls; }, std::chrono::seconds(3)));
    standin.rcon(QStringLiteral("addclient Exact 200 10.9.0.5:27960"));
    ASSERT_TRUE(waitFor([&] { return standin.countOf("clientkick") == 4; }, std::chrono::seconds(3)));
    ASSERT_TRUE(waitFor([&] { return page().BannedCnt->text() == QLatin1String("4"); }));
    EXPECT_EQ(standin.loggedCommands().filter(QStringLiteral("say ^2V^4a^2r^4n^2o^7: Exact ^7is banned from this server."))
                  .size(),
              2);
    const QString status = standin.rcon(QStringLiteral("status"));
    EXPECT_TRUE(status.contains(QLatin1String("Near"))) << qPrintable(status);
    EXPECT_TRUE(status.contains(QLatin1String("Sarge"))) << qPrintable(status);
    EXPECT_EQ(page().LPBcnt->text(), QStringLiteral("0"));
}

TEST_F(LpbWatcherTest, ABlindWatcherSaysSoWithinThreePolls)
{
    LpbStandin standin;
    ASSERT_TRUE(standin.start({}, {})) << qPrintable(standin.output());
    const test::BlindTargets blind;
    ASSERT_TRUE(blind.bound());
    for (const BlindCase& c : blindCases(blind, quint16(standin.port()))) {
        SCOPED_TRACE(c.what);
        if (page().isRunning())
            page().LpbButton->click();
        if (c.host.isEmpty()) {
            page().LPBRadio1->setChecked(true);
        } else {
            page().LPBRadio2->setChecked(true);
            page().LPBServerEdit->setText(c.host);
        }
        page().LPBPortSpin->setValue(c.port);
        page().LPBRcon->setText(QString::fromLatin1(c.password));
        page().SpinCheckLPB->setValue(1);
        page().LpbButton->click();
        ASSERT_TRUE(page().isRunning());
        // Three polls at one a second.
        EXPECT_TRUE(waitFor([&] { return page().LPBHealth->text().contains(c.says); }, std::chrono::milliseconds(3500)))
            << qPrintable(page().LPBHealth->text());
        EXPECT_TRUE(forms().Form1->StatusBar1->text().contains(c.says))
            << qPrintable(forms().Form1->StatusBar1->text());
        dialogs::takeMessages();
    }
    page().LpbButton->click();
}

TEST_F(LpbWatcherTest, TheSavedLogReadsBackInARealRtfReaderAsOneParagraphPerLine)
{
    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty())
        GTEST_SKIP() << "unrtf (Debian package unrtf) is not installed, so the saved RTF log cannot be read back";

    LpbStandin standin;
    ASSERT_TRUE(standin.start({"standin_status", "ioq3"}, {"Bob 40 192.168.0.7:27960", "Carl 20 10.1.1.1:27961"}))
        << qPrintable(standin.output());
    // Nothing is sent back, so the unchanged replies that follow are not parsed again.
    page().KickCB->setChecked(false);
    page().LPBMsg->setChecked(false);
    enableAgainst(standin);
    ASSERT_TRUE(waitFor([] { return page().logLines().size() >= 2; }, std::chrono::seconds(10)));
    page().LpbButton->click();

    const QString path = settings->path(QStringLiteral("Varnolpb.log"));
    dialogs::queueSaveAnswer({true, path, 0});
    page().Button9->click();
    QProcess reader;
    reader.start(unrtf, {QStringLiteral("--text"), path});
    ASSERT_TRUE(reader.waitForFinished(10000));
    ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().constData();

    // unrtf's text output opens with "###" comments and a dashed rule, and folds runs of blanks into one.
    QStringList paragraphs;
    for (const QString& line : QString::fromLatin1(reader.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && !line.startsWith(QLatin1String("###")) && !line.startsWith(QLatin1String("-----")))
            paragraphs << line;
    }
    QStringList expected;
    for (const std::string& line : page().logLines())
        expected << QString::fromStdString(line).replace(QRegularExpression(QStringLiteral(" +")), QStringLiteral(" "));
    EXPECT_EQ(paragraphs, expected);
    EXPECT_EQ(expected, (QStringList{"Name:Bob Ping:40 IP:192.168.0.7", "Name:Carl Ping:20 IP:10.1.1.1"}));
}

TEST_F(LpbWatcherTest, BanOnAStatusRowRemovesThePlayerAndTheServerKeepsItsAddress)
{
    LpbStandin standin;
    ASSERT_TRUE(standin.start({"standin_status", "ioq3"}, {"bot Sarge", "High 300 10.2.2.2:27960"}))
        << qPrintable(standin.output());
    forms().Form1->model().holdList(kBanIPList, {});
    enableAgainst(standin);
    TStatusForm& form = *forms().StatusForm;
    ASSERT_TRUE(waitFor([&] {
        const QTableWidgetItem* name = form.StatusGrid->item(1, 0);
        return name && name->text().startsWith(QLatin1String("High"));
    }));
    form.StatusGrid->setCurrentCell(1, 0);
    form.BanPlayer1->trigger();

    ASSERT_TRUE(waitFor([&] {
        return forms().Form1->StatusBar1->text() == QLatin1String("Client 1 High has left the server");
    }, std::chrono::seconds(5))) << qPrintable(forms().Form1->StatusBar1->text());
    EXPECT_TRUE(standin.rcon(QStringLiteral("g_banIPs")).contains(QLatin1String("10.2.2.2")));
    EXPECT_FALSE(standin.rcon(QStringLiteral("status")).contains(QLatin1String("High")));
    EXPECT_EQ(forms().Form1->advancedPage->banList(), std::vector<std::string>{"10.2.2.2"});

    // An entry typed on the Advanced page reaches the running server's list at once, as does its removal.
    AdvancedPage& advanced = *forms().Form1->advancedPage;
    advanced.AddBanEdit->setText(QStringLiteral("10.6.*"));
    advanced.AddBanClick();
    ASSERT_TRUE(waitFor([&] { return standin.rcon(QStringLiteral("g_banIPs")).contains(QLatin1String("10.6.*.*")); }))
        << qPrintable(standin.rcon(QStringLiteral("g_banIPs")));
    advanced.BanListBox->setCurrentRow(0);
    advanced.Button4Click();
    ASSERT_TRUE(waitFor([&] { return !standin.rcon(QStringLiteral("g_banIPs")).contains(QLatin1String("10.2.2.2")); }))
        << qPrintable(standin.rcon(QStringLiteral("g_banIPs")));
}
