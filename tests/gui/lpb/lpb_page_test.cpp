// The page as the operator uses it: stored settings, hints, enabling, the timer, and the log commands.

#include "core/settings/comma_list.h"
#include "core/settings/schema.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/lpb/fake_rcon_server.h"
#include "gui/lpb/lpb_page.h"
#include "gui/settings/opening_form.h"
#include "gui/settings/advanced_page.h"
#include "platform/settings_factory.h"
#include "support/gui_fixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEnterEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest/QTest>

using namespace varno;
using namespace varno::test;

namespace {

LpbPage& page()
{
    return *forms().Form1->lpbPage;
}

QString statusText()
{
    return forms().Form1->StatusBar1->text();
}

// Radio buttons answer clicks on their circle and caption, not on the whole cell they are laid out in.
void clickRadio(QRadioButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void hover(QWidget* widget)
{
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(widget, &enter);
}

// A classic status reply with two players below any sensible threshold.
QByteArray twoLowPingPlayers()
{
    return classicStatusReply(
        {classicRow(0, "20", "Quick", "10.0.0.1:27960"), classicRow(4, "30", "Quicker", "10.0.0.2:27961")});
}

} // namespace

class LpbPageTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        settings->write(kSectionProgram, "InstallDir", "/opt/varno");
        createWindows(false, true);
        forms().Form1->showPage(QStringLiteral("ZOZ Idaroz"));
        forms().Form1->activateWindow();
        ASSERT_TRUE(waitFor([] { return forms().Form1->isActiveWindow(); }));
        dialogs::takeMessages();
    }

    std::string stored(const SettingKey& key) { return settings->read(key.section, key.name); }

    // Logs two players without sending anything.
    void logTwoPlayers()
    {
        page().LPBMsg->setChecked(false);
        page().KickCB->setChecked(false);
        page().handleReply(twoLowPingPlayers().toStdString());
        ASSERT_EQ(page().LPBGrid->rowCount(), 3);
    }
};

TEST_F(LpbPageTest, EveryControlStoresItsValueAtOnce)
{
    clickRadio(page().LPBRadio2);
    const struct {
        QWidget* control;
        SettingKey key;
        const char* typed;
    } typedCases[] = {{page().LPBServerEdit, kRemoteHostAddress, "game.example.org"},
                      {page().LPBPortSpin, kLPBRemotePort, "27961"},
                      {page().LPBPort2, kLPBPort2, "27962"},
                      {page().LPBPort3, kLPBPort3, "27963"},
                      {page().LPBPort4, kLPBPort4, "27964"},
                      {page().SpinMinPing, kLPBMinPing, "55"},
                      {page().SpinCheckLPB, kLPBCheckRate, "7"},
                      {page().msg1, kLPBMsg1, "Hey "},
                      {page().msg2, kLPBMsg2, " go"},
                      {page().LPBRcon, kLPBRCon, "s3cret"}};
    for (const auto& c : typedCases) {
        clearField(c.control);
        typeInto(c.control, QString::fromLatin1(c.typed));
        EXPECT_EQ(stored(c.key), c.typed) << c.key.name;
    }

    const struct {
        QCheckBox* box;
        SettingKey key;
    } flagCases[] = {
        {page().LPBMsg, kLPBMsg}, {page().KickCB, kKickLPB}, {page().BanIPCB, kBanIP},
        {page().KickBannedCB, kKickBanned}, {page().LogLPBsCB, kLogLPBs}};
    for (const auto& c : flagCases) {
        const bool before = c.box->isChecked();
        click(c.box);
        EXPECT_EQ(stored(c.key), before ? "0" : "1") << c.key.name;
        click(c.box);
        EXPECT_EQ(stored(c.key), before ? "1" : "0") << c.key.name;
    }
}

TEST_F(LpbPageTest, TheThresholdIsShownOnTheStatusLineAsItChanges)
{
    clearField(page().SpinMinPing);
    typeInto(page().SpinMinPing, QStringLiteral("55"));
    EXPECT_EQ(statusText(), QStringLiteral("Anyone with a ping lower than 55 will be kicked."));
}

TEST_F(LpbPageTest, TheRemoteChoiceStoresItAndBringsBackTheStoredHost)
{
    settings->write(kRemoteHostAddress.section, kRemoteHostAddress.name, "q3.example.net");
    clickRadio(page().LPBRadio2);
    EXPECT_EQ(stored(kLocalHost), "0");
    EXPECT_EQ(stored(kRemoteHost), "1");
    EXPECT_EQ(page().LPBServerEdit->text(), QStringLiteral("q3.example.net"));
    EXPECT_TRUE(page().LPBServerEdit->isEnabled());

    clickRadio(page().LPBRadio1);
    EXPECT_EQ(stored(kLocalHost), "1");
    EXPECT_EQ(stored(kRemoteHost), "0");
    EXPECT_FALSE(page().LPBServerEdit->isEnabled());
    EXPECT_EQ(page().LPBServerEdit->palette().color(QPalette::Base),
              QApplication::palette(page().LPBServerEdit).color(QPalette::Window));
}

TEST_F(LpbPageTest, TheRemoteChoiceStopsTheWatcherOnlyWhenNoHostIsTyped)
{
    const struct {
        const char* host;
        bool keepsRunning;
    } cases[] = {{"", false}, {"q3.example.net", true}};
    for (const auto& c : cases) {
        FakeRconServer server;
        clickRadio(page().LPBRadio1);
        page().LPBServerEdit->setText(QString::fromLatin1(c.host));
        page().LPBPortSpin->setValue(server.port());
        page().LPBRcon->setText(QStringLiteral("pw"));
        click(page().LpbButton);
        ASSERT_TRUE(page().isRunning());
        clickRadio(page().LPBRadio2);
        EXPECT_EQ(page().isRunning(), c.keepsRunning) << c.host;
        EXPECT_EQ(page().LPBTimer->isActive(), c.keepsRunning) << c.host;
        if (page().isRunning())
            click(page().LpbButton);
    }
}

TEST_F(LpbPageTest, HintsShowOnMouseOverForTheirControlsOnly)
{
    const QString extraPorts =
        QStringLiteral("Set port value greater than 0 to scan multiple ports.  Set value to 0 to disable.");
    const struct {
        QWidget* control;
        QString hint;
    } cases[] = {
        {page().LPBRadio1, QStringLiteral("Select to have the ZOZ Idaroz connect to ports on this computer.")},
        {page().LPBRadio2, QStringLiteral("Select to have the ZOZ Idaroz connect to ports on a remote computer.")},
        {page().LPBServerEdit, QStringLiteral("Specify the remote server to scan.")},
        {page().LPBPortSpin, QStringLiteral("Main port to scan for LPBs.")},
        {page().LPBPort2, extraPorts},
        {page().LPBPort3, extraPorts},
        {page().LPBPort4, extraPorts},
        {page().SpinMinPing, QStringLiteral("Anyone with a ping lower than 100 will be kicked.")},
        {page().SpinCheckLPB, QStringLiteral("Scans each port at N intervals.  To do all 4 ports, at 20 second "
                                             "intervals each, choose 5 as your check rate.")},
        {page().LPBRcon, QStringLiteral("Specify the servers RCon password here")},
        {page().LPBMsg, QStringLiteral("Enables/Disables the message announced just before kicking an LPB")},
        {page().msg1, QStringLiteral("Prefix to LPB kicking message.")},
        {page().msg2, QStringLiteral("Sufix to LPB kicking message")},
        {page().KickCB, QStringLiteral("Enables/Disables the kicking of LPBs")},
        {page().LogLPBsCB, QStringLiteral("Enables/Disables the logging of LPBs Name, Ping, and IP")},
        {page().BanIPCB, QString()},
        {page().LpbButton, QString()},
        {page().Button10, QString()},
        {page().LPBGrid, QString()},
        {page().Button9, QString()},
    };
    for (const auto& c : cases) {
        forms().Form1->StatusBar1->setText(QString());
        hover(c.control);
        EXPECT_EQ(statusText(), c.hint) << qPrintable(c.control->objectName());
    }

    // The threshold's hint names its current value.
    page().SpinMinPing->setValue(42);
    forms().Form1->StatusBar1->setText(QString());
    hover(page().SpinMinPing);
    EXPECT_EQ(statusText(), QStringLiteral("Anyone with a ping lower than 42 will be kicked."));
}

TEST_F(LpbPageTest, TheCheckRateSetsTheTimerPeriodAndZeroStopsTheTicks)
{
    FakeRconServer server;
    clearField(page().SpinCheckLPB);
    typeInto(page().SpinCheckLPB, QStringLiteral("30"));
    EXPECT_EQ(page().LPBTimer->interval(), 30000);
    EXPECT_FALSE(page().LPBTimer->isActive());

    page().LPBPortSpin->setValue(server.port());
    page().LPBRcon->setText(QStringLiteral("pw"));
    click(page().LpbButton);
    EXPECT_TRUE(page().LPBTimer->isActive());
    EXPECT_EQ(page().LPBTimer->interval(), 30000);

    clearField(page().SpinCheckLPB);
    typeInto(page().SpinCheckLPB, QStringLiteral("0"));
    EXPECT_EQ(page().LPBTimer->interval(), 0);
    EXPECT_FALSE(page().LPBTimer->isActive());
    EXPECT_EQ(page().LpbButton->text(), QStringLiteral("Disable"));

    clearField(page().SpinCheckLPB);
    typeInto(page().SpinCheckLPB, QStringLiteral("5"));
    EXPECT_TRUE(page().LPBTimer->isActive());
    EXPECT_EQ(page().LPBTimer->interval(), 5000);
}

TEST_F(LpbPageTest, EnablingIsRefusedWithoutPasswordOrWithAThresholdOfZero)
{
    const struct {
        const char* password;
        const char* minPing;
        QString message;
    } cases[] = {{"", "100", QStringLiteral("You must setup an RCon Password before enabling this feature!")},
                 {"pw", "0", QStringLiteral("MinPing 0!?! you better fix that.")}};
    for (const auto& c : cases) {
        page().LPBRcon->setText(QString::fromLatin1(c.password));
        clearField(page().SpinMinPing);
        typeInto(page().SpinMinPing, QString::fromLatin1(c.minPing));
        // As by a keyboard shortcut: the field keeps the focus, so a typed 0 is not yet clamped to the minimum.
        page().LpbButton->click();
        EXPECT_EQ(dialogs::takeMessages(), QStringList{c.message});
        EXPECT_EQ(page().LpbButton->text(), QStringLiteral("Enable"));
        EXPECT_FALSE(page().LPBTimer->isActive());
        EXPECT_FALSE(page().isSending());
    }
}

TEST_F(LpbPageTest, TheCommandLineEnablesLikeTheButtonButNeverStops)
{
    page().enableFromCommandLine();
    EXPECT_EQ(dialogs::takeMessages(),
              QStringList{QStringLiteral("You must setup an RCon Password before enabling this feature!")});
    EXPECT_FALSE(page().isRunning());

    FakeRconServer server;
    page().LPBPortSpin->setValue(server.port());
    page().LPBRcon->setText(QStringLiteral("pw"));
    page().enableFromCommandLine();
    page().enableFromCommandLine();
    EXPECT_TRUE(page().isRunning());
    EXPECT_TRUE(page().LPBTimer->isActive());
    ASSERT_TRUE(server.waitForCount(1));
    EXPECT_EQ(server.commands("pw").front(),
              QByteArray(" say ^2V^4a^2r^4n^2o Server: ZOZ Idaroz Started Successfully!^7"));
}

TEST_F(LpbPageTest, TheLoaderPutsEveryReadValueIntoItsControl)
{
    const struct {
        SettingKey key;
        const char* text;
    } values[] = {{kRemoteHost, "1"},
                  {kLocalHost, "0"},
                  {kRemoteHostAddress, "game.example.org"},
                  {kLPBRemotePort, "27961"},
                  {kLPBMinPing, "70"},
                  {kLPBCheckRate, "30"},
                  {kLPBMsg1, "Hey "},
                  {kLPBMsg2, " bye"},
                  {kLPBRCon, "pw"},
                  {kLPBMsg, "0"},
                  {kKickLPB, "0"},
                  {kBanIP, "1"},
                  {kKickBanned, "0"},
                  {kLogLPBs, "0"},
                  {kLPBPort2, "27962"}};
    for (const auto& v : values)
        settings->write(v.key.section, v.key.name, v.text);

    forms().OpeningForm->RemAccessTimer();

    EXPECT_TRUE(page().LPBRadio2->isChecked());
    EXPECT_FALSE(page().LPBRadio1->isChecked());
    EXPECT_TRUE(page().LPBServerEdit->isEnabled());
    EXPECT_EQ(page().LPBServerEdit->text(), QStringLiteral("game.example.org"));
    EXPECT_EQ(page().LPBPortSpin->value(), 27961);
    EXPECT_EQ(page().SpinMinPing->value(), 70);
    EXPECT_EQ(page().SpinCheckLPB->value(), 30);
    EXPECT_EQ(page().LPBTimer->interval(), 30000);
    EXPECT_FALSE(page().LPBTimer->isActive());
    EXPECT_EQ(page().msg1->text(), QStringLiteral("Hey "));
    EXPECT_EQ(page().msg2->text(), QStringLiteral(" bye"));
    EXPECT_EQ(page().LPBRcon->text(), QStringLiteral("pw"));
    EXPECT_FALSE(page().LPBMsg->isChecked());
    EXPECT_FALSE(page().KickCB->isChecked());
    EXPECT_TRUE(page().BanIPCB->isChecked());
    EXPECT_FALSE(page().KickBannedCB->isChecked());
    EXPECT_FALSE(page().LogLPBsCB->isChecked());
    // The extra ports are never read back.
    EXPECT_EQ(page().LPBPort2->value(), 0);
    EXPECT_FALSE(page().isRunning());
}

TEST_F(LpbPageTest, TheLoaderKeepsTheLocalChoiceOnAFreshStore)
{
    forms().OpeningForm->RemAccessTimer();
    EXPECT_TRUE(page().LPBRadio1->isChecked());
    EXPECT_FALSE(page().LPBServerEdit->isEnabled());
    EXPECT_EQ(page().LPBPortSpin->value(), 27960);
    EXPECT_EQ(page().SpinMinPing->value(), 100);
    EXPECT_EQ(page().LPBTimer->interval(), 4000); // the check rate did not change, so its handler did not run
}

TEST_F(LpbPageTest, EachLoggedPlayerGetsALogLineAndATableRow)
{
    logTwoPlayers();
    EXPECT_EQ(page().logLines(), (std::vector<std::string>{"Name:Quick^7    Ping:20   IP:10.0.0.1:27960",
                                                           "Name:Quicker^7    Ping:30   IP:10.0.0.2:27961"}));
    EXPECT_EQ(
        page().LPBListBox->toPlainText(),
        QStringLiteral("Name:Quick^7    Ping:20   IP:10.0.0.1:27960\nName:Quicker^7    Ping:30   IP:10.0.0.2:27961"));
    EXPECT_EQ(page().LPBGrid->item(1, 0)->text(), QStringLiteral("Quicker^7 "));
    EXPECT_EQ(page().LPBGrid->item(1, 1)->text(), QStringLiteral("30"));
    EXPECT_EQ(page().LPBGrid->item(1, 2)->text(), QStringLiteral("10.0.0.2:27961"));
    EXPECT_EQ(page().LPBGrid->item(2, 0), nullptr);
    EXPECT_EQ(page().LPBcnt->text(), QStringLiteral("2"));
}

TEST_F(LpbPageTest, BanIpAddsTheSelectedRowsAddressAndStoresTheList)
{
    const QList<QAction*> items = page().RulesPopupMenu->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0], page().BanIP1);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Ban IP"));
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2], page().ClearAll1);
    EXPECT_EQ(items[2]->text(), QStringLiteral("Clear All"));

    // Nothing logged: the empty row's empty address.
    page().BanIP1->trigger();
    EXPECT_EQ(statusText(), QStringLiteral("IP:  was added to the Banned IP List!"));

    logTwoPlayers();
    page().LPBGrid->setCurrentCell(1, 0);
    page().BanIP1->trigger();
    EXPECT_EQ(statusText(), QStringLiteral("IP: 10.0.0.2:27961 was added to the Banned IP List!"));
    EXPECT_EQ(forms().Form1->advancedPage->banList(), (std::vector<std::string>{"", "10.0.0.2:27961"}));
    EXPECT_EQ(FromCommaList(stored(kBanIPList)), (std::vector<std::string>{"", "10.0.0.2:27961"}));
}

TEST_F(LpbPageTest, ClearAllEmptiesTheLogAndTableButKeepsTheCount)
{
    logTwoPlayers();
    page().ClearAll1->trigger();
    EXPECT_TRUE(page().logLines().empty());
    EXPECT_TRUE(page().LPBListBox->toPlainText().isEmpty());
    EXPECT_EQ(page().LPBGrid->rowCount(), 1);
    EXPECT_EQ(page().LPBGrid->item(0, 0), nullptr);
    EXPECT_EQ(page().LPBcnt->text(), QStringLiteral("2"));
}

TEST_F(LpbPageTest, SaveWritesTheLogAsAnRtfDocumentWhateverTheType)
{
    logTwoPlayers();
    const QString path = settings->path(QStringLiteral("chosen.txt"));
    dialogs::queueSaveAnswer({true, path, 1});
    click(page().Button9);
    const dialogs::SaveRequest request = dialogs::lastSaveRequest();
    EXPECT_EQ(request.fileName, QStringLiteral("Varnolpb.log"));
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("log"));
    EXPECT_EQ(request.filters, (QStringList{"Varno Log (*.log)", "Text File (*.txt)", "All Files (*.*)"}));
    EXPECT_EQ(request.filterIndex, 0);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("{\\rtf1")) << text.constData();
    EXPECT_LT(text.indexOf("Name:Quick^7    Ping:20"), text.indexOf("Name:Quicker^7    Ping:30"));
    EXPECT_GE(text.indexOf("Name:Quick^7    Ping:20"), 0);

    // Cancelling writes nothing.
    QFile::remove(path);
    click(page().Button9);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(LpbPageTest, AFileThatCannotBeWrittenIsReported)
{
    const QString path = settings->path(QStringLiteral("missing/folder/Varnolpb.log"));
    dialogs::queueSaveAnswer({true, path, 0});
    click(page().Button9);
    EXPECT_EQ(dialogs::takeMessages(), QStringList{QStringLiteral("Cannot create file ") + path});
}
