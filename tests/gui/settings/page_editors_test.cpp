#include "core/settings/schema.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/settings/advanced_page.h"
#include "gui/settings/startup_page.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"
#include "support/gui_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>

using namespace varno;
using namespace varno::test;

namespace {

QString statusText()
{
    return forms().Form1->StatusBar1->text();
}

} // namespace

class PageEditorsTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        createWindows(false, true);
        forms().Form1->activateWindow();
        ASSERT_TRUE(waitFor([] { return forms().Form1->isActiveWindow(); }));
        dialogs::takeMessages();
    }

    std::string stored(const SettingKey& key) { return settings->read(key.section, key.name); }
};

TEST_F(PageEditorsTest, EveryKeystrokeOfAnEditStoresTheWholeText)
{
    auto* edit = control<QLineEdit>(QStringLiteral("ServerNameEdit"));
    clearField(edit);
    EXPECT_EQ(stored(kServerName), "");
    std::vector<std::string> seen;
    for (const QChar c : QStringLiteral("123")) {
        QTest::keyClick(edit, c.toLatin1());
        seen.push_back(stored(kServerName));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "12", "123"}));
}

TEST_F(PageEditorsTest, TextControlsStoreUnderTheirValues)
{
    const struct {
        const char* control;
        SettingKey key;
    } cases[] = {{"MotdEdit", kMotd}, {"SrvPWEdit", kPassword}, {"RCONEdit", kRConPW}};
    for (const auto& c : cases) {
        auto* edit = control<QLineEdit>(QString::fromLatin1(c.control));
        clearField(edit);
        typeInto(edit, QStringLiteral("x y"));
        EXPECT_EQ(stored(c.key), "x y") << c.control;
    }
}

TEST_F(PageEditorsTest, NumberFieldsStoreTheirValueWithEmptyTextAsTheMinimum)
{
    const struct {
        const char* control;
        SettingKey key;
        const char* typed;
        const char* whenCleared;
    } cases[] = {
        {"memtouse", kMemory, "128", "16"},        {"MaxPlayers", kMaxPlayers, "12", "0"},
        {"TimeLimit", kTimeLimit, "15", "0"},      {"Fraglimit", kFragLimit, "-5", "0"},
        {"SpinBotMin", kMinBots, "3", "0"},        {"SpinBotLevel", kBotlevel, "2", "0"},
        {"SpinMaxRate", kMaxRate, "25000", "1"},   {"SpinQuad", kQuadFactor, "4", "0"},
        {"SpinForRespawn", kForceRespawn, "9", "0"}, {"SpinWepRespawn", kWeaponRespawn, "1", "0"},
        {"SpinGravity", kGravity, "400", "0"},     {"SpinSpeed", kSpeed, "300", "0"},
        {"SpinKnockback", kKnockback, "999", "0"},
    };
    for (const auto& c : cases) {
        auto* spin = control<SpinEdit>(QString::fromLatin1(c.control));
        ASSERT_NE(spin, nullptr) << c.control;
        clearField(spin);
        EXPECT_EQ(stored(c.key), c.whenCleared) << c.control;
        typeInto(spin, QString::fromLatin1(c.typed));
        EXPECT_EQ(stored(c.key), c.typed) << c.control;
    }
}

TEST_F(PageEditorsTest, TypedValueOutsideTheRangeIsStoredThenClampedWhenFocusLeaves)
{
    auto* memory = control<SpinEdit>(QStringLiteral("memtouse"));
    clearField(memory);
    typeInto(memory, QStringLiteral("4096"));
    EXPECT_EQ(stored(kMemory), "4096");
    control<QLineEdit>(QStringLiteral("ServerNameEdit"))->setFocus();
    ASSERT_TRUE(waitFor([&] { return memory->text() == QLatin1String("1024"); }));
    EXPECT_EQ(stored(kMemory), "1024");

    // Digits only, and no more than the field holds.
    clearField(memory);
    typeInto(memory, QStringLiteral("12a34567"));
    EXPECT_EQ(memory->text(), QStringLiteral("1234"));
}

TEST_F(PageEditorsTest, StatusLineReportsLimitsAndSkill)
{
    auto* timeLimit = control<SpinEdit>(QStringLiteral("TimeLimit"));
    clearField(timeLimit);
    typeInto(timeLimit, QStringLiteral("15"));
    EXPECT_EQ(statusText(), QStringLiteral("TimeLimit: 15"));
    auto* fragLimit = control<SpinEdit>(QStringLiteral("Fraglimit"));
    clearField(fragLimit);
    typeInto(fragLimit, QStringLiteral("30"));
    EXPECT_EQ(statusText(), QStringLiteral("FragLimit: 30"));
    auto* maxPlayers = control<SpinEdit>(QStringLiteral("MaxPlayers"));
    clearField(maxPlayers);
    typeInto(maxPlayers, QStringLiteral("8"));
    EXPECT_EQ(statusText(), QStringLiteral("Max players allowed is: 8"));

    auto* skill = control<SpinEdit>(QStringLiteral("SpinBotLevel"));
    skill->setValue(3);
    EXPECT_EQ(statusText(), QStringLiteral("Bot skill level: 3 - Hurt me plenty"));
    skill->stepBy(1);
    EXPECT_EQ(statusText(), QStringLiteral("Bot skill level: 4 - Hardcore"));
    skill->stepBy(5);
    EXPECT_EQ(statusText(), QStringLiteral("Bot skill level: 5 - (Nightmare!)"));
    skill->setValue(0);
    EXPECT_EQ(statusText(), QStringLiteral("Bot skill level: 0 - "));
    EXPECT_EQ(stored(kBotlevel), "0");
}

TEST_F(PageEditorsTest, GameTypeStoresTextThenTheMatchingIndex)
{
    auto* box = control<QComboBox>(QStringLiteral("GameTypeBox"));
    box->setCurrentIndex(4);
    EXPECT_EQ(stored(kGameTypeText), "Capture the Flag - CTF");
    EXPECT_EQ(stored(kGameType), "4");
    clearField(box);
    typeInto(box, QStringLiteral("Instagib"));
    EXPECT_EQ(stored(kGameTypeText), "Instagib");
    EXPECT_EQ(stored(kGameType), "-1");
    auto* serverType = control<QComboBox>(QStringLiteral("ServerTypeBox"));
    serverType->setCurrentIndex(0);
    EXPECT_EQ(stored(kServerType), "Listen");
}

TEST_F(PageEditorsTest, BotPolicyRadioButtonsStoreBothFlags)
{
    click(control<QRadioButton>(QStringLiteral("BotRB2")));
    EXPECT_EQ(stored(kKeepBots), "1");
    EXPECT_EQ(stored(kAutoKick), "0");
    click(control<QRadioButton>(QStringLiteral("BotRB1")));
    EXPECT_EQ(stored(kAutoKick), "1");
    EXPECT_EQ(stored(kKeepBots), "0");
}

TEST_F(PageEditorsTest, BotListStoresEveryCheckMark)
{
    auto* list = control<QListWidget>(QStringLiteral("BotListBox1"));
    list->item(0)->setCheckState(Qt::Checked);
    list->item(30)->setCheckState(Qt::Checked);
    EXPECT_EQ(stored(kBotList), "1" + std::string(29, '0') + "1");
}

TEST_F(PageEditorsTest, CheckBoxesStoreTheirState)
{
    const struct {
        const char* control;
        SettingKey key;
        bool initially;
    } cases[] = {
        {"PureCB", kPS, false},        {"ConDB", kCD, false},       {"downloadsCB", kDownloads, true},
        {"faCB", kFA, false},          {"fbCB", kFB, false},        {"avCB", kAV, true},
        {"adrCB", kADR, false},        {"ecCB", kEC, false},        {"ebCB", kEB, true},
        {"BotChatBox", kNoBotChat, false}, {"AllowRCON_CB", kAllowRCon, true},
    };
    for (const auto& c : cases) {
        auto* box = control<QCheckBox>(QString::fromLatin1(c.control));
        ASSERT_NE(box, nullptr) << c.control;
        EXPECT_EQ(box->isChecked(), c.initially) << c.control;
        click(box);
        EXPECT_EQ(stored(c.key), c.initially ? "0" : "1") << c.control;
        click(box);
        EXPECT_EQ(stored(c.key), c.initially ? "1" : "0") << c.control;
    }
}

TEST_F(PageEditorsTest, BanListAddsRemovesAndStoresEveryEntry)
{
    forms().Form1->showPage(QStringLiteral("Advanced"));
    auto* edit = control<QLineEdit>(QStringLiteral("AddBanEdit"));
    auto* add = control<QPushButton>(QStringLiteral("AddBan"));
    auto* remove = control<QPushButton>(QStringLiteral("Button4"));
    auto* list = control<QListWidget>(QStringLiteral("BanListBox"));
    EXPECT_FALSE(add->isEnabled());

    typeInto(edit, QStringLiteral("10.0.0.1"));
    EXPECT_TRUE(add->isEnabled());
    QTest::keyClick(edit, Qt::Key_Return); // Enter in the edit presses Add
    EXPECT_EQ(stored(kBanIPList), "10.0.0.1");
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_FALSE(add->isEnabled());
    EXPECT_TRUE(edit->hasFocus());

    typeInto(edit, QStringLiteral("10.0.0.1"));
    click(add);
    typeInto(edit, QStringLiteral("my host"));
    click(add);
    EXPECT_EQ(stored(kBanIPList), "10.0.0.1,10.0.0.1,\"my host\"");

    // Remove with nothing selected changes nothing.
    list->clearSelection();
    click(remove);
    EXPECT_EQ(list->count(), 3);

    list->setCurrentRow(1);
    click(remove);
    EXPECT_EQ(stored(kBanIPList), "10.0.0.1,\"my host\"");
    EXPECT_EQ(edit->text(), QStringLiteral("10.0.0.1"));
    EXPECT_TRUE(edit->hasFocus());

    // Enter with an empty edit adds nothing.
    clearField(edit);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(list->count(), 2);

    // An entry the game would ignore is marked red with the reason; one it reads as written is not.
    EXPECT_TRUE(list->item(0)->toolTip().isEmpty());
    EXPECT_EQ(list->item(1)->toolTip(), QStringLiteral("the game ignores this entry: it is not an address pattern"));
    EXPECT_EQ(list->item(1)->foreground().color(), QColor(Qt::red));
    EXPECT_NE(list->item(0)->foreground().color(), QColor(Qt::red));
}

TEST_F(PageEditorsTest, StoreFailureIsReportedAndTheControlKeepsItsText)
{
    // A settings "file" below a plain file cannot be written.
    settings->write(kSectionServer, "ServerName", "before");
    setSettingsFile(toStd(settings->file() + QStringLiteral("/below-a-file.ini")));
    auto* edit = control<QLineEdit>(QStringLiteral("MotdEdit"));
    clearField(edit);
    const QStringList messages = dialogs::takeMessages();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_EQ(messages.front(), QStringLiteral("Failed to set data for 'MOTD'"));
    EXPECT_TRUE(edit->text().isEmpty());
    setSettingsFile(toStd(settings->file()));
    EXPECT_EQ(stored(kServerName), "before");
}
