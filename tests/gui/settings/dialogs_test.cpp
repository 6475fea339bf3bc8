#include "core/settings/schema.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/status_line.h"
#include "gui/settings/cmd_line_form.h"
#include "gui/settings/prop_form.h"
#include "gui/settings/startup_page.h"
#include "support/gui_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest/QTest>

using namespace varno;
using namespace varno::test;

class DialogsTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        createWindows();
    }
    std::string stored(const SettingKey& key) { return settings->read(key.section, key.name); }
};

TEST_F(DialogsTest, PropertiesOkStoresFoldersAndOptionsThenSaysSaved)
{
    TPropForm* form = forms().PropForm;
    form->show();
    typeInto(form->Q3DirEdit, QStringLiteral("/games/quake3"));
    form->MapsDirEdit->setText(QStringLiteral("/games/maps"));
    click(form->SystrayCB);
    click(form->Button1);
    EXPECT_EQ(stored(kQuakeDir), "/games/quake3");
    EXPECT_EQ(stored(kMapsDir), "/games/maps");
    EXPECT_EQ(stored(kShowMap), "1");
    EXPECT_EQ(stored(kSystray), "0");
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Button2->isEnabled());

    // Shown again: Cancel is back and the status bar still says so.
    form->show();
    EXPECT_TRUE(form->Button2->isEnabled());
    EXPECT_EQ(form->StatusBar1->text(), QStringLiteral("Settings Saved!"));
}

TEST_F(DialogsTest, ProgramCheckBoxesStartTickedAndAreStoredAtOnceWithoutOk)
{
    const struct {
        const char* objectName;
        const char* text;
        SettingKey key;
    } boxes[] = {
        {"ConsoleTerminalBox", "Open the server console in a terminal window", kOpenConsoleTerminal},
        {"RelaunchServerBox", "Relaunch the server when it stops unexpectedly", kRelaunchServer},
    };
    TPropForm* form = forms().PropForm;
    form->show();
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.objectName);
        auto* box = control<QCheckBox>(QString::fromLatin1(b.objectName));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QString::fromLatin1(b.text));
        EXPECT_TRUE(box->isChecked());
        click(box);
        EXPECT_EQ(stored(b.key), "0");
        click(box);
        EXPECT_EQ(stored(b.key), "1");
        EXPECT_TRUE(form->isVisible());
    }
}

TEST_F(DialogsTest, PropertiesOkNeverStoresAShownFallbackOverAChosenMapsFolder)
{
    const struct {
        const char* stored;   // MapsDir before
        bool typed;           // the operator typed the fallback's text over it
        std::string after;
    } cases[] = {
        {"/srv/maps", false, "/srv/maps"},
        {"/srv/maps", true, "/opt/varno/Maps"},
        {".", false, "/opt/varno/Maps"},
    };
    TPropForm* form = forms().PropForm;
    for (const auto& c : cases) {
        settings->write(kSectionProgram, "MapsDir", c.stored);
        form->showMapsFolderFallback(QStringLiteral("/opt/varno/Maps"));
        form->show();
        if (c.typed) {
            clearField(form->MapsDirEdit);
            typeInto(form->MapsDirEdit, QStringLiteral("/opt/varno/Maps"));
        }
        click(form->Button1);
        EXPECT_EQ(stored(kMapsDir), c.after) << c.stored << " " << c.typed;
    }
}

TEST_F(DialogsTest, PropertiesCancelKeepsTypedTextUnstored)
{
    TPropForm* form = forms().PropForm;
    form->show();
    typeInto(form->Q3DirEdit, QStringLiteral("/typed"));
    click(form->Button2);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->Q3DirEdit->text(), QStringLiteral("/typed"));
    EXPECT_EQ(stored(kQuakeDir), "<missing>");
}

TEST_F(DialogsTest, BrowsingPutsTheProgramsFolderIntoTheField)
{
    TPropForm* form = forms().PropForm;
    dialogs::queueOpenFileName(settings->path(QStringLiteral("q3/ioq3ded")));
    click(form->SpeedButton1);
    EXPECT_EQ(form->Q3DirEdit->text(), QDir::toNativeSeparators(settings->path(QStringLiteral("q3"))));
    // A cancelled dialog changes nothing.
    click(form->SpeedButton1);
    EXPECT_EQ(form->Q3DirEdit->text(), QDir::toNativeSeparators(settings->path(QStringLiteral("q3"))));
    EXPECT_EQ(stored(kQuakeDir), "<missing>");
    EXPECT_TRUE(TPropForm::gameProgramFilter().contains(QStringLiteral("ioq3ded")));
}

TEST_F(DialogsTest, PropertiesStartsWithItsControlsInPlace)
{
    TPropForm* form = forms().PropForm;
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Properties"));
    EXPECT_TRUE(form->MapPrevCB->isChecked());
    EXPECT_TRUE(form->SystrayCB->isChecked());
    EXPECT_FALSE(form->SpeedButton2->isEnabled());
    EXPECT_FALSE(form->GroupBox3->isEnabled());
    for (QCheckBox* box : {form->ASstartup, form->ASmap, form->ASremote, form->ASserver, form->ASadvanced})
        EXPECT_TRUE(box->isChecked() && !box->isEnabled());
    // The disabled Auto-Save boxes still store their flag when changed.
    form->ASmap->setChecked(false);
    EXPECT_EQ(settings->read(kSectionAutoSave, "MapRotation"), "0");
}

TEST_F(DialogsTest, CommandLineAcceptsTwoHundredCharactersAndOkStoresThem)
{
    TCmdLineForm* form = forms().CmdLineForm;
    form->show();
    typeInto(form->AddCmdLine, QString(201, QLatin1Char('x')));
    EXPECT_EQ(form->AddCmdLine->text().size(), 200);
    click(form->Button1);
    EXPECT_EQ(stored(kCmdLine), std::string(200, 'x'));
    EXPECT_FALSE(form->isVisible());

    // Closed by its title-bar button: hidden, text kept, nothing stored.
    form->show();
    clearField(form->AddCmdLine);
    typeInto(form->AddCmdLine, QStringLiteral("+set g_log 1"));
    form->close();
    EXPECT_EQ(form->AddCmdLine->text(), QStringLiteral("+set g_log 1"));
    EXPECT_EQ(stored(kCmdLine), std::string(200, 'x'));
}

TEST_F(DialogsTest, GameDirectoryListsTheImmediateSubFoldersOnce)
{
    QDir root(settings->dir());
    for (const char* folder : {"q3/baseq3", "q3/missionpack", "q3/Arena", "q3/baseq3/deep"})
        ASSERT_TRUE(root.mkpath(QString::fromLatin1(folder)));
    QFile(settings->path(QStringLiteral("q3/readme.txt"))).open(QIODevice::WriteOnly);
    forms().PropForm->Q3DirEdit->setText(settings->path(QStringLiteral("q3")));
    auto* box = forms().Form1->startupPage->GameDirCombo;
    forms().Form1->startupPage->FillGameDirList();
    QStringList entries;
    for (int i = 0; i < box->count(); ++i)
        entries << box->itemText(i);
    EXPECT_EQ(entries, (QStringList{"Arena", "baseq3", "missionpack"}));
    EXPECT_EQ(box->currentText(), QStringLiteral("baseq3"));

    // Choosing an entry refills without duplicates and makes it the text.
    box->setCurrentIndex(2);
    emit box->activated(2);
    EXPECT_EQ(box->count(), 3);
    EXPECT_EQ(box->currentText(), QStringLiteral("missionpack"));

    // An empty or missing folder lists nothing.
    forms().PropForm->Q3DirEdit->setText(settings->path(QStringLiteral("nowhere")));
    box->clear();
    forms().Form1->startupPage->FillGameDirList();
    EXPECT_EQ(box->count(), 0);
}
