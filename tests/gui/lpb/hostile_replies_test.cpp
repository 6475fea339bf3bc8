// Whatever arrives at the watcher's port, from the server or from anyone else: no crash, no action on a
// forged or malformed row, and the window keeps answering.

#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/spin_edit.h"
#include "gui/lpb/fake_rcon_server.h"
#include "gui/lpb/lpb_page.h"
#include "gui/lpb/status_form.h"
#include "net/rcon_endpoint.h"
#include "support/gui_fixture.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTextEdit>
#include <QTimer>

using namespace varno;
using namespace varno::test;

namespace {

LpbPage& page()
{
    return *forms().Form1->lpbPage;
}

// How long a 1 ms timer takes to fire: how long the window was deaf.
qint64 responsivenessMs()
{
    QElapsedTimer clock;
    clock.start();
    bool fired = false;
    QTimer::singleShot(1, [&] { fired = true; });
    waitFor([&] { return fired; });
    return clock.elapsed();
}

QByteArray printed(const QByteArray& text)
{
    return QByteArray("\xff\xff\xff\xffprint\n") + text;
}

} // namespace

class HostileRepliesTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        createWindows(false, false);
        page().SpinMinPing->setValue(100);
        page().LPBPortSpin->setValue(server.port());
        page().LPBRcon->setText(QStringLiteral("secret"));
        page().LpbButton->click();
        ASSERT_TRUE(server.waitForCount(1));
        dialogs::takeMessages();
    }

    // Sends one datagram from the server and waits until the page has seen it go by.
    void arrive(const QByteArray& payload)
    {
        server.answer({payload});
        waitFor([] { return false; }, std::chrono::milliseconds(150)); // past the reply-joining window
        EXPECT_LT(responsivenessMs(), 500);
    }

    // What the page sent after the start announcement, without the rcon prefix.
    std::vector<QByteArray> sentSince()
    {
        auto commands = server.commands("secret");
        commands.erase(commands.begin());
        return commands;
    }

    FakeRconServer server;
};

TEST_F(HostileRepliesTest, GarbageOfEverySizeIsShownAndNeverActedUpon)
{
    QRandomGenerator random(20261208);
    QByteArray noise(65507, '\0');
    for (char& c : noise)
        c = char(random.bounded(256));
    static const char zeros[] = "\xff\xff\xff\xffprint\nmap: q3dm1\n\0\0\0  3     0   40 Bob";
    const QByteArray withZeros(zeros, sizeof zeros - 1);
    for (const QByteArray& payload : {QByteArray(), QByteArray(1, 'x'), QByteArray(65507, '\xff'), noise, withZeros,
                                      QByteArray(65507, '\n'), printed(QByteArray(5000, ' '))})
        arrive(payload);
    EXPECT_TRUE(sentSince().empty());
    EXPECT_EQ(page().LPBcnt->text(), QStringLiteral("0"));
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
}

TEST_F(HostileRepliesTest, MalformedRowsAreNeverKicked)
{
    static const char kZeroRow[] = "\0  5     0   40 Zero^7                0 10.0.0.5:27960     5 25000";
    const QByteArray longName(500, 'N');
    const std::vector<QByteArray> rows{
        classicRow(1, "40", longName, "10.0.0.1:27960"),             // a name no server prints
        QByteArray("  2     0   40 Half^7"),                          // cut before its address
        QByteArray("  3     0   40"),                                 // only the numbers
        QByteArray("  4     0   40 Bob^7                 0 "),       // no address
        QByteArray::fromRawData(kZeroRow, sizeof kZeroRow - 1),
    };
    arrive(classicStatusReply(rows));
    EXPECT_TRUE(sentSince().empty()) << sentSince().front().constData();
    EXPECT_EQ(page().LPBcnt->text(), QStringLiteral("0"));
}

TEST_F(HostileRepliesTest, AThousandRowsKeepTheWindowAnswering)
{
    std::vector<QByteArray> rows;
    for (int i = 0; i < 1000; ++i)
        rows.push_back(classicRow(i % 64, "999", "Player" + QByteArray::number(i), "10.0.0.1:27960"));
    // A thousand rows do not fit one datagram; they come as the server would send them, 1008 bytes at a time.
    const QByteArray reply = classicStatusReply(rows);
    std::vector<QByteArray> datagrams;
    const QByteArray prefix("\xff\xff\xff\xffprint\n");
    for (qsizetype at = prefix.size(); at < reply.size(); at += 1008)
        datagrams.push_back(prefix + reply.mid(at, 1008));
    QElapsedTimer clock;
    clock.start();
    server.answer(datagrams);
    ASSERT_TRUE(waitFor([] { return forms().StatusForm->RichStatus->toPlainText().contains("Player999"); },
                        std::chrono::seconds(10)));
    EXPECT_LT(responsivenessMs(), 500);
    EXPECT_TRUE(sentSince().empty());
}
