// The watcher against a stand-in rcon port on loopback: what it sends, where, when, and what it does with replies.

#include "core/settings/schema.h"
#include "core/settings/server_model.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/lpb/fake_rcon_server.h"
#include "gui/lpb/lpb_page.h"
#include "net/rcon_endpoint.h"
#include "gui/lpb/status_form.h"
#include "gui/settings/advanced_page.h"
#include "support/gui_fixture.h"

#include <algorithm>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

using namespace varno;
using namespace varno::test;

namespace {

const QByteArray kTestPassword = "secret";
const QByteArray kStartAnnouncement = " say ^2V^4a^2r^4n^2o Server: ZOZ Idaroz Started Successfully!^7";
const QByteArray kStatus = " status";

LpbPage& page()
{
    return *forms().Form1->lpbPage;
}

TStatusForm& statusForm()
{
    return *forms().StatusForm;
}

QString lpbCount()
{
    return page().LPBcnt->text();
}

QStringList gridColumn(const QTableWidget* grid, int column)
{
    QStringList texts;
    for (int row = 0; row < grid->rowCount(); ++row) {
        const QTableWidgetItem* item = grid->item(row, column);
        texts << (item ? item->text() : QString());
    }
    return texts;
}

} // namespace

class LpbExchangeTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        createWindows(false, false);
        dialogs::takeMessages();
    }

    // Aims the page's main port at the server, sets the password and presses "Enable"; the start announcement is
    // the server's first datagram.
    void enableAgainst(FakeRconServer& server)
    {
        page().LPBPortSpin->setValue(server.port());
        page().LPBRcon->setText(QString::fromLatin1(kTestPassword));
        page().LpbButton->click();
        ASSERT_TRUE(server.waitForCount(1));
    }

    // Hands the page a reply and waits until the raw view shows it.
    void reply(FakeRconServer& server, const std::vector<QByteArray>& datagrams, const QString& shownText)
    {
        server.answer(datagrams);
        ASSERT_TRUE(waitFor([&] { return statusForm().RichStatus->toPlainText().contains(shownText); }))
            << qPrintable(shownText);
    }

    std::vector<QByteArray> commands(const FakeRconServer& server) { return server.commands(kTestPassword); }
};

TEST_F(LpbExchangeTest, EnablingSendsTheStartAnnouncementByteForByteAndPollsOnlyAfterAPeriod)
{
    FakeRconServer server;
    page().LPBPortSpin->setValue(server.port());
    page().LPBRcon->setText(QStringLiteral("pw x"));
    page().LpbButton->click();
    ASSERT_TRUE(server.waitForCount(1));
    EXPECT_EQ(server.received().front().payload,
              QByteArray("\xff\xff\xff\xffrcon pw x say ^2V^4a^2r^4n^2o Server: ZOZ Idaroz Started Successfully!^7"));
    EXPECT_EQ(page().LpbButton->text(), QStringLiteral("Disable"));
    EXPECT_TRUE(page().LPBTimer->isActive());
    EXPECT_EQ(page().LPBTimer->interval(), 15000);

    page().LPBTimerTimer();
    ASSERT_TRUE(server.waitForCount(2));
    EXPECT_EQ(server.received().back().payload, QByteArray("\xff\xff\xff\xffrcon pw x status"));
}

TEST_F(LpbExchangeTest, PollsCycleThroughFiveStepsAndOnlyPollsAdvanceTheCycle)
{
    FakeRconServer main;
    FakeRconServer second;
    FakeRconServer third;
    FakeRconServer fourth;
    page().LPBPortSpin->setValue(main.port());
    page().LPBPort2->setValue(second.port());
    page().LPBPort4->setValue(fourth.port());
    page().LPBRcon->setText(QString::fromLatin1(kTestPassword));

    // Main, main, port 2, main (port 3 is off), port 4, and round again.
    FakeRconServer* expected[] = {&main, &main, &second, &main, &fourth, &main};
    for (FakeRconServer* server : expected) {
        const std::size_t before = server->received().size();
        page().LPBTimerTimer();
        ASSERT_TRUE(server->waitForCount(before + 1));
        EXPECT_EQ(commands(*server).back(), kStatus);
    }
    EXPECT_EQ(page().portCycle().value(), 1);

    // With the counter at 3, enabling announces on port 3 and leaves the counter alone; so do stopping and
    // starting again.
    page().LPBPort3->setValue(third.port());
    page().LPBTimerTimer();
    page().LPBTimerTimer();
    ASSERT_EQ(page().portCycle().value(), 3);
    page().LpbButton->click();
    ASSERT_TRUE(third.waitForCount(1));
    page().LpbButton->click();
    page().LpbButton->click();
    ASSERT_TRUE(third.waitForCount(2));
    EXPECT_EQ(commands(third), (std::vector<QByteArray>{kStartAnnouncement, kStartAnnouncement}));
    EXPECT_EQ(page().portCycle().value(), 3);
}

TEST_F(LpbExchangeTest, AHostNameIsLookedUpWithoutBlockingAndItsServerIsReached)
{
    FakeRconServer server;
    page().LPBRadio2->click();
    page().LPBServerEdit->setText(QStringLiteral("localhost"));
    enableAgainst(server);
    EXPECT_EQ(commands(server), std::vector<QByteArray>{kStartAnnouncement});
    EXPECT_FALSE(page().isSending());
}

TEST_F(LpbExchangeTest, AnEmptyRemoteHostIsPassedOnAndItsFailureReported)
{
    page().LPBRadio2->click();
    page().LPBServerEdit->clear();
    page().LPBRcon->setText(QString::fromLatin1(kTestPassword));
    page().LpbButton->click();
    ASSERT_TRUE(waitFor([] { return !page().isSending(); }));
    EXPECT_EQ(dialogs::takeMessages(), QStringList{QStringLiteral("Host not found: ")});
    EXPECT_TRUE(page().isRunning());
}

TEST_F(LpbExchangeTest, AFixtureReplyFillsTheStatusWindowAndActsOnPlayersStrictlyBelowTheThreshold)
{
    FakeRconServer server;
    page().SpinMinPing->setValue(46);
    enableAgainst(server);
    reply(server, fixtureDatagrams(QStringLiteral("classic-q3dm17")), QStringLiteral("map: q3dm17"));

    // Connecting and zombie clients stay out of the table; the bot at 0 is listed but left alone, the player at 45
    // is the LPB. Names are the name fields, with their closing blank.
    const QTableWidget* grid = statusForm().StatusGrid;
    EXPECT_EQ(gridColumn(grid, 0), (QStringList{"Sarge^7 ", "Player^7 ", "Big Bob^7 ", "^1Red^7Dwarf^7 ", ""}));
    EXPECT_EQ(gridColumn(grid, 1), (QStringList{"0", "45", "120", "99", ""}));
    EXPECT_EQ(gridColumn(grid, 2), (QStringList{"bot", "192.168.0.7:27960", "10.1.2.3:27960", "172.16.5.4:27961", ""}));
    EXPECT_EQ(gridColumn(page().LPBGrid, 0), (QStringList{"Player^7 ", ""}));
    EXPECT_EQ(forms().Form1->StatusBar1->text(), QStringLiteral("ZMBI: Zombie Detected, flushing..."));
    EXPECT_EQ(lpbCount(), QStringLiteral("0")) << "counted once the kick has left";

    ASSERT_TRUE(server.waitForCount(3));
    EXPECT_EQ(commands(server),
              (std::vector<QByteArray>{
                  kStartAnnouncement,
                  " say ^2V^4a^2r^4n^2o^7: Warning: Player Player^7  ^7is an LPB and will be removed.",
                  " clientkick 1"}));
    ASSERT_TRUE(waitFor([] { return lpbCount() == QStringLiteral("1"); }));
}

TEST_F(LpbExchangeTest, ZombieAndConnectingRowsOnlyShowTheirNotice)
{
    const struct {
        QByteArray marker;
        QString notice;
    } cases[] = {{"ZMBI", QStringLiteral("ZMBI: Zombie Detected, flushing...")},
                 {"CNCT", QStringLiteral("CNCT: Client Connect Detected, ignoring...")}};
    FakeRconServer server;
    page().SpinMinPing->setValue(9999);
    enableAgainst(server);
    for (const auto& c : cases) {
        forms().Form1->StatusBar1->setText(QString());
        const QByteArray map = "map" + c.marker;
        reply(server, {classicStatusReply({classicRow(3, c.marker, "Ghost", "10.0.0.3:27960")}, map)},
              QString::fromLatin1(map));
        EXPECT_EQ(forms().Form1->StatusBar1->text(), c.notice);
        EXPECT_EQ(statusForm().StatusGrid->rowCount(), 1) << c.marker.constData();
        EXPECT_EQ(lpbCount(), QStringLiteral("0"));
    }
}

TEST_F(LpbExchangeTest, AMultiDatagramReplyIsJoinedAndARepeatedReplyCountsNobodyTwice)
{
    FakeRconServer server;
    page().SpinMinPing->setValue(100);
    page().KickCB->setChecked(false);
    page().LPBMsg->setChecked(false);
    enableAgainst(server);
    const auto datagrams = fixtureDatagrams(QStringLiteral("ioq3-oa_dm1-24players"));
    ASSERT_EQ(datagrams.size(), 3u);
    reply(server, datagrams, QStringLiteral("map: oa_dm1"));
    ASSERT_TRUE(waitFor([] { return statusForm().StatusGrid->rowCount() == 25; }));
    // Pings 10 to 95 are below 100; Gamer18's 100 is not.
    EXPECT_EQ(lpbCount(), QStringLiteral("18"));
    EXPECT_EQ(page().LPBGrid->rowCount(), 19);

    server.answer(datagrams);
    reply(server, {classicStatusReply({}, "after")}, QStringLiteral("map: after"));
    EXPECT_EQ(lpbCount(), QStringLiteral("18"));
}

TEST_F(LpbExchangeTest, APlayerStillListedAfterItsKickIsKickedAgainAtEveryPollAndReportedOnce)
{
    FakeRconServer server;
    page().SpinMinPing->setValue(100);
    page().LPBMsg->setChecked(false);
    page().SpinCheckLPB->setValue(1);
    enableAgainst(server);
    // The server ignores the kicks: every poll gets the same table.
    const QByteArray table = classicStatusReply({classicRow(3, "40", "Stubborn^7", "10.5.5.5:27960")});
    QStringList statusLines;
    std::size_t answered = 0;
    const auto kicks = [&] {
        const auto sent = commands(server);
        return std::count(sent.begin(), sent.end(), QByteArray(" clientkick 3"));
    };
    ASSERT_TRUE(waitFor([&] {
        const auto sent = commands(server);
        if (!sent.empty() && sent.back() == kStatus && answered < sent.size()) {
            answered = sent.size();
            server.answer({table});
        }
        const QString line = forms().Form1->StatusBar1->text();
        if (statusLines.isEmpty() || statusLines.back() != line)
            statusLines << line;
        return kicks() >= 3;
    }, std::chrono::seconds(8)));
    EXPECT_EQ(statusLines.filter(QStringLiteral("kick did not take effect")).size(), 1) << qPrintable(statusLines.join('|'));
    EXPECT_EQ(lpbCount(), QStringLiteral("1"));
}

TEST_F(LpbExchangeTest, BanListEditsReachAnAnsweringServerAtOnce)
{
    AdvancedPage& advanced = *forms().Form1->advancedPage;
    const auto edit = [&](bool add, const QString& entry) {
        if (add) {
            advanced.AddBanEdit->setText(entry);
            advanced.AddBanClick();
        } else {
            advanced.BanListBox->setCurrentItem(advanced.BanListBox->findItems(entry, Qt::MatchExactly).front());
            advanced.Button4Click();
        }
    };
    // No watcher: stored only.
    FakeRconServer server;
    edit(true, QStringLiteral("10.5.5.5"));
    EXPECT_TRUE(forms().Form1->StatusBar1->text().contains(QLatin1String("next launch")));

    page().SpinCheckLPB->setValue(1);
    enableAgainst(server);
    ASSERT_TRUE(waitFor([&] { return commands(server).size() >= 2; }, std::chrono::seconds(3)));
    reply(server, {classicStatusReply({})}, QStringLiteral("map: q3dm17"));
    edit(true, QStringLiteral("10.6.*"));
    edit(false, QStringLiteral("10.5.5.5"));
    ASSERT_TRUE(waitFor([&] {
        const auto sent = commands(server);
        return std::count(sent.begin(), sent.end(), QByteArray(" removeip 10.5.5.5")) == 1;
    }));
    const auto sent = commands(server);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), QByteArray(" addip 10.6.*")), 1);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), QByteArray(" addip 10.5.5.5")), 0) << "added before the watcher ran";
}

TEST_F(LpbExchangeTest, AReplyFromAnyOtherPortIsDropped)
{
    FakeRconServer server;
    FakeRconServer forger;
    page().SpinMinPing->setValue(100);
    page().BanIPCB->setChecked(true);
    enableAgainst(server);
    forger.sendTo(classicStatusReply({classicRow(0, "5", "Mallory", "10.6.6.6:27960")}, "forged"),
                  QHostAddress::LocalHost, page().UDP1->localPort());
    reply(server, {classicStatusReply({classicRow(1, "300", "Alice", "10.0.0.1:27960")}, "genuine")},
          QStringLiteral("map: genuine"));
    EXPECT_EQ(lpbCount(), QStringLiteral("0"));
    EXPECT_EQ(gridColumn(statusForm().StatusGrid, 0), (QStringList{"Alice^7 ", ""}));
    EXPECT_EQ(commands(server), std::vector<QByteArray>{kStartAnnouncement});
    EXPECT_FALSE(statusForm().RichStatus->toPlainText().contains(QStringLiteral("Mallory")));
    EXPECT_EQ(page().LPBGrid->item(0, 0), nullptr);
    EXPECT_TRUE(forms().Form1->advancedPage->banList().empty());
}

TEST_F(LpbExchangeTest, ACommandsOwnReplyKeepsThePlayerTableButShowsInTheRawView)
{
    FakeRconServer server;
    enableAgainst(server);
    reply(server, {classicStatusReply({classicRow(1, "300", "Alice", "10.0.0.1:27960")}, "table")},
          QStringLiteral("map: table"));
    reply(server, {"\xff\xff\xff\xffprint\nbroadcast: print \"console: hello\\n\"\n"},
          QStringLiteral("console: hello"));
    EXPECT_EQ(gridColumn(statusForm().StatusGrid, 0), (QStringList{"Alice^7 ", ""}));
}

TEST_F(LpbExchangeTest, APingThatIsNoNumberStopsTheReplyAfterTheRowsBeforeIt)
{
    FakeRconServer server;
    page().SpinMinPing->setValue(100);
    enableAgainst(server);
    reply(server,
          {classicStatusReply({classicRow(0, "10", "Fast", "10.0.0.1:27960"), classicRow(1, "4x", "Odd", "10.0.0.2:1"),
                               classicRow(2, "20", "Later", "10.0.0.3:27960")},
                              "broken")},
          QStringLiteral("map: broken"));
    EXPECT_EQ(dialogs::takeMessages(), QStringList{QStringLiteral("'4x' is not a valid integer value")});
    EXPECT_EQ(gridColumn(statusForm().StatusGrid, 0), (QStringList{"Fast^7 ", "Odd^7 ", ""}));
    EXPECT_TRUE(waitFor([] { return lpbCount() == QStringLiteral("1"); }));
}

TEST_F(LpbExchangeTest, EachOptionSwitchesItsOwnActionAndEveryLpbIsCounted)
{
    const struct {
        bool log, ban, message, kick;
        int gridRows;
        QStringList bans;
        std::vector<QByteArray> sent;
    } cases[] = {
        {false, false, false, false, 1, {}, {}},
        {true, false, false, false, 2, {}, {}},
        {false, true, false, false, 1, {"203.0.113.9"}, {" addip 203.0.113.9"}},
        {false, false, true, true, 1, {}, {" say ^2V^4a^2r^4n^2o^7: <^4Blue^7Man </7>", " clientkick 1"}},
        {false, false, false, true, 1, {}, {" clientkick 1"}},
    };
    int round = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(round);
        FakeRconServer server;
        if (page().isRunning())
            page().LpbButton->click();
        page().ClearAll1Click();
        forms().Form1->model().holdList(kBanIPList, {});
        page().LogLPBsCB->setChecked(c.log);
        page().BanIPCB->setChecked(c.ban);
        page().LPBMsg->setChecked(c.message);
        page().KickCB->setChecked(c.kick);
        page().msg1->setText(QStringLiteral("<"));
        page().msg2->setText(QStringLiteral("</7>"));
        page().SpinMinPing->setValue(100);
        const QString before = lpbCount();
        enableAgainst(server);
        // The same reply as in the round before would not be parsed again.
        reply(server, {classicStatusReply({}, "between")}, QStringLiteral("map: between"));
        reply(server, fixtureDatagrams(QStringLiteral("ioq3-q3dm7")), QStringLiteral("map: q3dm7"));
        ASSERT_TRUE(waitFor([] { return !page().isSending(); }));
        EXPECT_EQ(lpbCount().toInt(), before.toInt() + 1) << "the bot is no LPB";
        EXPECT_EQ(page().LPBGrid->rowCount(), c.gridRows);
        QStringList bans;
        for (const std::string& entry : forms().Form1->advancedPage->banList())
            bans << QString::fromStdString(entry);
        EXPECT_EQ(bans, c.bans);
        ASSERT_TRUE(server.waitForCount(1 + c.sent.size()));
        std::vector<QByteArray> sent = commands(server);
        sent.erase(sent.begin()); // the start announcement
        EXPECT_EQ(sent, c.sent);
        ++round;
    }
}

TEST_F(LpbExchangeTest, DatagramsKeepTheirServersPaceAndTheKickFollowsItsAnnouncement)
{
    const struct {
        const char* fixture;
        const char* map;
        std::size_t datagrams;
        bool classic;
    } cases[] = {{"classic-q3dm17", "map: q3dm17", 5, true}, {"ioq3-q3dm7", "map: q3dm7", 3, false}};
    // Loopback adds no delay of its own; a little slack for when the test loop read each datagram.
    constexpr qint64 slackUs = 2000;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        FakeRconServer server;
        if (page().isRunning())
            page().LpbButton->click();
        page().SpinMinPing->setValue(100);
        enableAgainst(server);
        reply(server, fixtureDatagrams(QString::fromLatin1(c.fixture)), QString::fromLatin1(c.map));
        ASSERT_TRUE(server.waitForCount(c.datagrams, 10'000));
        const auto& received = server.received();
        const auto sent = commands(server);
        for (std::size_t i = 1; i < received.size(); ++i) {
            const qint64 gap = received[i].arrivalUs - received[i - 1].arrivalUs;
            if (c.classic) {
                EXPECT_GE(gap, 500'000 - slackUs) << i;
            } else if (sent[i].startsWith(" clientkick ")) {
                EXPECT_GE(gap, 10'000 - slackUs) << i;
            }
            if (!c.classic && i >= 10) {
                EXPECT_GE(received[i].arrivalUs - received[i - 10].arrivalUs, 1'000'000 - slackUs) << i;
            }
        }
        for (std::size_t i = 1; i < sent.size(); i += 2) {
            EXPECT_TRUE(sent[i].startsWith(" say ")) << sent[i].constData();
            EXPECT_TRUE(sent[i + 1].startsWith(" clientkick ")) << sent[i + 1].constData();
        }
    }
}

TEST_F(LpbExchangeTest, DisablingDropsWhatIsStillQueued)
{
    FakeRconServer server;
    page().SpinMinPing->setValue(100);
    enableAgainst(server);
    // Classic layout: each datagram waits 500 ms behind the one before, so the kicks are still queued.
    reply(server, fixtureDatagrams(QStringLiteral("classic-q3dm17")), QStringLiteral("map: q3dm17"));
    ASSERT_TRUE(server.waitForCount(2));
    page().LpbButton->click();
    EXPECT_FALSE(page().isSending());
    page().LpbButton->click();
    ASSERT_TRUE(server.waitForCount(3));
    EXPECT_EQ(commands(server).back(), kStartAnnouncement);
}

TEST_F(LpbExchangeTest, BanIpFromTheLogReachesTheRunningServerAtOnce)
{
    FakeRconServer server;
    page().SpinMinPing->setValue(100);
    page().LPBMsg->setChecked(false);
    page().KickCB->setChecked(false);
    page().BanIPCB->setChecked(false);
    enableAgainst(server);
    reply(server, fixtureDatagrams(QStringLiteral("ioq3-q3dm7")), QStringLiteral("map: q3dm7"));
    ASSERT_EQ(gridColumn(page().LPBGrid, 2), (QStringList{"203.0.113.9", ""}));

    page().LPBGrid->setCurrentCell(0, 2);
    page().BanIP1->trigger();
    ASSERT_TRUE(server.waitForCount(2));
    EXPECT_EQ(commands(server).back(), QByteArray(" addip 203.0.113.9"));
    EXPECT_EQ(forms().Form1->advancedPage->banList(), std::vector<std::string>{"203.0.113.9"});

    // Stopped, the menu only stores the address.
    page().LpbButton->click();
    page().BanIP1->trigger();
    EXPECT_FALSE(page().isSending());
    EXPECT_EQ(commands(server).size(), 2u);
}

TEST_F(LpbExchangeTest, KickAndBanOnAStatusRowGoToTheServerThatListedThePlayerUntilItLeaves)
{
    FakeRconServer server;
    page().SpinMinPing->setValue(10); // nobody here is a low-ping player
    TStatusForm& form = statusForm();
    // Stopped: nothing to send with.
    form.addPlayerRow({" 2", "200", "Alice ", "10.3.3.3:27960"});
    form.StatusGrid->setCurrentCell(0, 0);
    form.KickPlayer1->trigger();
    EXPECT_TRUE(forms().Form1->StatusBar1->text().startsWith(QLatin1String("Enable the ZOZ Idaroz")));

    enableAgainst(server);
    const auto sent = [&](const QByteArray& command) {
        const auto all = commands(server);
        return std::count(all.begin(), all.end(), command);
    };
    page().LPBTimerTimer();
    ASSERT_TRUE(waitFor([&] { return sent(kStatus) == 1; }));
    reply(server,
          {classicStatusReply({classicRow(2, "200", "Alice^7", "10.3.3.3:27960"),
                               classicRow(5, "150", "Bob^7", "10.4.4.4:1")})},
          QStringLiteral("Bob^7"));

    form.StatusGrid->setCurrentCell(1, 1);
    form.BanPlayer1->trigger();
    form.StatusGrid->setCurrentCell(0, 2);
    form.KickPlayer1->trigger();
    form.StatusGrid->setCurrentCell(2, 0); // the empty row: nobody
    form.KickPlayer1->trigger();
    ASSERT_TRUE(waitFor([&] { return sent(" clientkick 2") == 1; }));
    const auto all = commands(server);
    const auto at = [&](const QByteArray& command) { return std::find(all.begin(), all.end(), command) - all.begin(); };
    EXPECT_LT(at(" clientkick 5"), at(" addip 10.4.4.4")) << "the ban follows the kick";
    EXPECT_EQ(forms().Form1->advancedPage->banList(), std::vector<std::string>{"10.4.4.4:1"});

    // Both gone from the next table: said, and nothing is sent again.
    page().LPBTimerTimer();
    ASSERT_TRUE(waitFor([&] { return sent(kStatus) == 2; }));
    reply(server, {classicStatusReply({}, "after")}, QStringLiteral("map: after"));
    EXPECT_TRUE(forms().Form1->StatusBar1->text().endsWith(QLatin1String("has left the server")));
    EXPECT_EQ(sent(" clientkick 5") + sent(" clientkick 2"), 2);
    EXPECT_EQ(lpbCount(), QStringLiteral("0"));
}

TEST_F(LpbExchangeTest, AStartAnnouncementTheServerDidNotAnswerGoesAgainWithItsFirstTable)
{
    FakeRconServer server;
    server.setAnswerCommands(false); // not listening yet when the watcher starts
    enableAgainst(server);
    server.setAnswerCommands(true);
    page().LPBTimerTimer();
    ASSERT_TRUE(server.waitForCount(2));
    reply(server, {classicStatusReply({})}, QStringLiteral("map: q3dm17"));
    ASSERT_TRUE(server.waitForCount(3));
    EXPECT_EQ(commands(server), (std::vector<QByteArray>{kStartAnnouncement, kStatus, kStartAnnouncement}));

    // Answered now: the next tables bring no more.
    page().LPBTimerTimer();
    ASSERT_TRUE(server.waitForCount(4));
    reply(server, {classicStatusReply({}, "again")}, QStringLiteral("map: again"));
    page().LPBTimerTimer();
    ASSERT_TRUE(server.waitForCount(5));
    EXPECT_EQ(commands(server).back(), kStatus);
}
