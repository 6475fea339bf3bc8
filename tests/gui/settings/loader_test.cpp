#include "core/settings/schema.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/launch/map_rotation_page.h"
#include "gui/settings/advanced_page.h"
#include "gui/settings/cmd_line_form.h"
#include "gui/settings/opening_form.h"
#include "gui/settings/prop_form.h"
#include "gui/settings/remote_access_page.h"
#include "gui/settings/settings_commands.h"
#include "gui/settings/startup_page.h"
#include "support/gui_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QProcess>
#include <QTabWidget>

using namespace varno;
using namespace varno::test;

class LoaderTest : public GuiTest {
protected:
    // Starts the windows with the loader running and waits until it has finished.
    void load()
    {
        createWindows(true, true);
        QObject::connect(forms().OpeningForm->ProgressBar1, &QProgressBar::valueChanged,
                         [this](int value) { progress.push_back(value); });
        ASSERT_TRUE(waitFor([] { return forms().Form1->StatusBar1->text() == QLatin1String("Varno Loaded Successfully."); }));
    }

    std::string stored(const SettingKey& key) { return settings->read(key.section, key.name); }
    StartupPage& startup() { return *forms().Form1->startupPage; }
    AdvancedPage& advanced() { return *forms().Form1->advancedPage; }

    std::vector<int> progress;
};

TEST_F(LoaderTest, FreshStoreLeavesEveryControlAtItsFirstStateAndStoresNothingNew)
{
    load();
    EXPECT_EQ(forms().OpeningForm->LoadLabel->text(), QStringLiteral("Loading Advanced Setup..."));
    EXPECT_FALSE(forms().OpeningForm->isVisible());
    // The program's data folder stands in for the installation folder.
    const QString dataFolder = settings->path(QStringLiteral("data/varno-server"));
    EXPECT_EQ(forms().PropForm->MapsDirEdit->text(), dataFolder + QDir::separator() + "Maps");
    EXPECT_EQ(startup().ServerNameEdit->text(), QStringLiteral("Varno - Beastly Server"));
    EXPECT_EQ(startup().GameTypeBox->currentText(), QStringLiteral("Free for All - DM"));
    EXPECT_EQ(startup().memtouse->text(), QStringLiteral("56"));
    EXPECT_EQ(startup().SpinBotMin->text(), QStringLiteral("0"));
    EXPECT_TRUE(startup().BotRB1->isChecked());
    EXPECT_FALSE(startup().BotChatBox->isChecked());
    for (bool checked : startup().botChecks())
        EXPECT_FALSE(checked);
    EXPECT_EQ(advanced().SpinGravity->text(), QStringLiteral("800"));
    EXPECT_TRUE(advanced().ebCB->isChecked());
    EXPECT_EQ(forms().Form1->mapRotationPage->RotateMapListBox->count(), 0);
    // The Startup stage found no restore flag and wrote nothing; nothing changed, so no handler ran.
    EXPECT_EQ(stored(kInstallDir), dataFolder.toStdString());
    EXPECT_TRUE(QDir(dataFolder + QStringLiteral("/Maps")).exists());
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
    EXPECT_EQ(stored(kRestoreFlags), "<missing>");
    EXPECT_EQ(stored(kServerName), "<missing>");
    EXPECT_EQ(stored(kMemory), "<missing>");
}

TEST_F(LoaderTest, StartupStageShowsInitializingWhenTheFlagIsNotSet)
{
    // Only a file of an earlier build holds a Startup value without the flag: storing one now sets it.
    QFile file(settings->file());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[ServerSettings]\nServerName=Not loaded\n");
    file.close();
    createWindows(true, true);
    ASSERT_TRUE(waitFor([] { return forms().OpeningForm->LoadLabel->text() == QLatin1String("Initlizing Registry..."); }));
    ASSERT_TRUE(waitFor([] { return forms().Form1->StatusBar1->text() == QLatin1String("Varno Loaded Successfully."); }));
    EXPECT_EQ(startup().ServerNameEdit->text(), QStringLiteral("Varno - Beastly Server"));
}

TEST_F(LoaderTest, ProgressMovesThroughItsPositions)
{
    settings->write(kSectionGeneral, "RestoreFlags", "2");
    load();
    EXPECT_EQ(progress, (std::vector<int>{10, 20, 40, 41, 60, 61, 80, 100}));
}

TEST_F(LoaderTest, RestoreFlagLoadsTheWholeStartupPage)
{
    const struct {
        const char* name;
        const char* text;
    } values[] = {{"ServerName", "Frag Palace"}, {"MOTD", "hi there"},  {"GameTypeText", "Capture the Flag - CTF"},
                  {"GameType", "4"},           {"ServerType", "Listen"}, {"Memory", "4096"},
                  {"StartMap", "q3dm17"},      {"MaxPlayers", "12"},     {"TimeLimit", "15"},
                  {"FragLimit", "30"},         {"PureServer", "1"},      {"RConPW", "secret"},
                  {"VarnoClients", "1"},       {"NetPort", "29876"},     {"GameDir", "mymod"}};
    for (const auto& v : values)
        settings->write(kSectionServer, v.name, v.text);
    settings->write(kSectionGeneral, "RestoreFlags", "2");
    load();
    EXPECT_EQ(startup().ServerNameEdit->text(), QStringLiteral("Frag Palace"));
    EXPECT_EQ(startup().MotdEdit->text(), QStringLiteral("hi there"));
    EXPECT_EQ(startup().GameTypeBox->currentIndex(), 4);
    EXPECT_EQ(startup().GameTypeBox->currentText(), QStringLiteral("Capture the Flag - CTF"));
    EXPECT_EQ(startup().ServerTypeBox->currentText(), QStringLiteral("Listen"));
    EXPECT_EQ(startup().StartMapBox->currentText(), QStringLiteral("q3dm17"));
    EXPECT_EQ(startup().MaxPlayers->value(), 12);
    EXPECT_EQ(startup().TimeLimit->value(), 15);
    EXPECT_EQ(startup().Fraglimit->value(), 30);
    EXPECT_EQ(startup().NetPort->value(), 29876);
    EXPECT_EQ(startup().GameDirCombo->currentText(), QStringLiteral("mymod"));
    EXPECT_TRUE(advanced().PureCB->isChecked());
    EXPECT_EQ(forms().Form1->remoteAccessPage->RCONEdit->text(), QStringLiteral("secret"));
    EXPECT_TRUE(forms().Form1->remoteAccessPage->VarnoClientCheckBox->isChecked());
    // An out-of-range value shows as the range limit, which the change handler writes back.
    EXPECT_EQ(startup().memtouse->text(), QStringLiteral("1024"));
    EXPECT_EQ(stored(kMemory), "1024");
    // The pure server box's handler stored PS at once.
    EXPECT_EQ(stored(kPS), "1");
    EXPECT_EQ(stored(kRestoreFlags), "2");
}

TEST_F(LoaderTest, PropertiesStageLoadsFoldersBotsAndCommandLine)
{
    QDir(settings->dir()).mkpath(QStringLiteral("q3/baseq3"));
    settings->write(kSectionProgram, "QuakeDir", qPrintable(settings->path(QStringLiteral("q3"))));
    settings->write(kSectionProgram, "MapsDir", "x");
    settings->write(kSectionProgram, "InstallDir", "/opt/varno");
    settings->write(kSectionBots, "BotList", "1001");
    settings->write(kSectionBots, "MinBots", "3");
    settings->write(kSectionBots, "AutoKick", "0");
    settings->write(kSectionBots, "KeepBots", "1");
    settings->write(kSectionBots, "Botlevel", "9");
    settings->write(kSectionBots, "NoBotChat", "1");
    settings->write(kSectionCmdLine, "CmdLine", "+set g_log 1");
    settings->write(kSectionProgram, "OpenConsoleTerminal", "0");
    settings->write(kSectionProgram, "RelaunchServer", "0");
    load();
    EXPECT_FALSE(forms().PropForm->ConsoleTerminalBox->isChecked());
    EXPECT_EQ(forms().PropForm->Q3DirEdit->text(), settings->path(QStringLiteral("q3")));
    EXPECT_FALSE(forms().PropForm->RelaunchServerBox->isChecked());
    EXPECT_EQ(forms().PropForm->MapsDirEdit->text(), QStringLiteral("/opt/varno/Maps"));
    EXPECT_EQ(startup().GameDirCombo->count(), 1);
    EXPECT_EQ(startup().GameDirCombo->currentText(), QStringLiteral("baseq3"));
    std::vector<bool> expected(31, false);
    expected[0] = expected[3] = true;
    EXPECT_EQ(startup().botChecks(), expected);
    EXPECT_EQ(startup().SpinBotMin->value(), 3);
    EXPECT_TRUE(startup().BotRB2->isChecked());
    EXPECT_FALSE(startup().BotRB1->isChecked());
    EXPECT_EQ(startup().SpinBotLevel->value(), 5); // clamped to its range, and written back
    EXPECT_EQ(stored(kBotlevel), "5");
    EXPECT_TRUE(startup().BotChatBox->isChecked());
    EXPECT_EQ(forms().CmdLineForm->AddCmdLine->text(), QStringLiteral("+set g_log 1"));
}

TEST_F(LoaderTest, AChosenMapsFolderSurvivesAStartWithoutInstallDirAndPropertiesOk)
{
    settings->write(kSectionProgram, "MapsDir", "/srv/maps");
    load();
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
    EXPECT_EQ(stored(kInstallDir), settings->path(QStringLiteral("data/varno-server")).toStdString());
    EXPECT_EQ(forms().PropForm->MapsDirEdit->text(), QStringLiteral("/srv/maps"));
    forms().PropForm->show();
    click(forms().PropForm->Button1);
    EXPECT_EQ(stored(kMapsDir), "/srv/maps");
}

TEST_F(LoaderTest, HandEditedValuesShowAsWritten)
{
    QFile file(settings->file());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nRestoreFlags=2\n[ServerSettings]\nServerName=Frag, Palace\nMOTD=say \"hi\" there\n"
               "[AdvancedSettings]\nBanIPList=10.0.0.1,\"my host\"\n");
    file.close();
    load();
    EXPECT_EQ(startup().ServerNameEdit->text(), QStringLiteral("Frag, Palace"));
    EXPECT_EQ(startup().MotdEdit->text(), QStringLiteral("say \"hi\" there"));
    ASSERT_EQ(advanced().BanListBox->count(), 2);
    EXPECT_EQ(advanced().BanListBox->item(1)->text(), QStringLiteral("my host"));
}

TEST_F(LoaderTest, BadBotNumberEndsOnlyItsStageWithTheConversionMessage)
{
    settings->write(kSectionBots, "MinBots", "lots");
    settings->write(kSectionBots, "NoBotChat", "1");
    settings->write(kSectionCmdLine, "CmdLine", "+set g_log 1");
    settings->write(kSectionAdvanced, "Gravity", "600");
    load();
    EXPECT_EQ(dialogs::takeMessages().filter(QStringLiteral("valid")),
              QStringList{"'lots' is not a valid integer value"});
    EXPECT_FALSE(startup().BotChatBox->isChecked());
    EXPECT_TRUE(forms().CmdLineForm->AddCmdLine->text().isEmpty());
    EXPECT_EQ(advanced().SpinGravity->value(), 600); // later stages still ran
}

TEST_F(LoaderTest, AdvancedStageLoadsRulesAndTheBanList)
{
    settings->write(kSectionAdvanced, "Password", "pw");
    settings->write(kSectionAdvanced, "Knockback", "123");
    settings->write(kSectionAdvanced, "EB", "0");
    settings->write(kSectionAdvanced, "CD", "1");
    settings->write(kSectionAdvanced, "BanIPList", "10.0.0.1,\"my host\"");
    settings->write(kSectionMaps, "MapRotation", "q3dm1,q3dm7");
    settings->write(kSectionServer, "AllowRCon", "0");
    load();
    EXPECT_EQ(advanced().SrvPWEdit->text(), QStringLiteral("pw"));
    EXPECT_EQ(advanced().SpinKnockback->value(), 123);
    EXPECT_FALSE(advanced().ebCB->isChecked());
    EXPECT_TRUE(advanced().ConDB->isChecked());
    ASSERT_EQ(advanced().BanListBox->count(), 2);
    EXPECT_EQ(advanced().BanListBox->item(1)->text(), QStringLiteral("my host"));
    EXPECT_EQ(forms().Form1->mapRotationPage->rotation(), (std::vector<std::string>{"q3dm1", "q3dm7"}));
    EXPECT_FALSE(forms().Form1->remoteAccessPage->AllowRCON_CB->isChecked());
}

class SettingsCommandsTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        createWindows();
        setProgramStarter([this](const QString& program, const QStringList& arguments) {
            started.push_back(program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')));
            return true;
        });
        for (const auto section : {kSectionGeneral, kSectionServer, kSectionBots, kSectionMaps, kSectionAdvanced,
                                   kSectionServerTools, kSectionProgram, kSectionAutoSave, kSectionCmdLine})
            settings->write(section, "Marker", "kept");
    }
    void TearDown() override
    {
        setProgramStarter({});
        GuiTest::TearDown();
    }

    QStringList surviving()
    {
        QStringList sections;
        for (const auto section : {kSectionGeneral, kSectionServer, kSectionBots, kSectionMaps, kSectionAdvanced,
                                   kSectionServerTools, kSectionProgram, kSectionAutoSave, kSectionCmdLine}) {
            if (settings->read(section, "Marker") == "kept")
                sections << QString::fromLatin1(section.data(), qsizetype(section.size()));
        }
        return sections;
    }

    StartupPage& startup() { return *forms().Form1->startupPage; }
    std::vector<QString> started;
};

TEST_F(SettingsCommandsTest, SaveSettingsStoresTheStartupPageAndArmsItsLoading)
{
    startup().ServerNameEdit->setText(QStringLiteral("Saved"));
    forms().Form1->SaveSettings1Click();
    EXPECT_EQ(settings->read(kSectionGeneral, "RestoreFlags"), "2");
    EXPECT_EQ(settings->read(kSectionServer, "PureServer"), "0");
    EXPECT_EQ(settings->read(kSectionServer, "GameType"), "2");
    EXPECT_EQ(settings->read(kSectionServer, "VarnoClients"), "0");
    EXPECT_EQ(forms().Form1->StatusBar1->text(), QStringLiteral("Settings Saved!"));
    EXPECT_FALSE(forms().Form1->SaveSettings1->isEnabled());
}

TEST_F(SettingsCommandsTest, ThisPageOnlyErasesTheActivePagesSections)
{
    const struct {
        const char* page;
        QStringList erased;
    } cases[] = {
        {"Startup", {"ServerSettings", "BotSettings"}},
        {"Map Rotation", {"MapSettings"}},
        {"Advanced", {"AdvancedSettings"}},
        {"ZOZ Idaroz", {"ServerTools"}},
        {"Remote Access", {}},
        {"Enhanced Console", {}},
        {"Servers", {}},
    };
    const QStringList all{"General", "ServerSettings", "BotSettings", "MapSettings", "AdvancedSettings",
                          "ServerTools", "ProgramSettings", "AutoSave", "SrvCmdLine"};
    for (const auto& c : cases) {
        for (const auto section : {kSectionServer, kSectionBots, kSectionMaps, kSectionAdvanced, kSectionServerTools})
            settings->write(section, "Marker", "kept");
        started.clear();
        forms().Form1->showPage(QString::fromLatin1(c.page));
        forms().Form1->Tothispageonly1Click();
        QStringList expected = all;
        for (const QString& erased : c.erased)
            expected.removeAll(erased);
        EXPECT_EQ(surviving(), expected) << c.page;
        EXPECT_EQ(dialogs::takeMessages(), QStringList{"Click OK to reload Varno Server."}) << c.page;
        ASSERT_EQ(started.size(), 1u) << c.page;
        EXPECT_EQ(started.front(),
                  QCoreApplication::applicationFilePath() + QStringLiteral(" --settings ") + settings->file());
    }
}

TEST_F(SettingsCommandsTest, AllPagesErasesTheFiveSectionsAndKeepsTheRest)
{
    forms().Form1->ToAllVarnoValues1Click();
    EXPECT_EQ(surviving(), (QStringList{"General", "ProgramSettings", "AutoSave", "SrvCmdLine"}));
    EXPECT_EQ(dialogs::takeMessages(), QStringList{"Click OK to reload Varno Server."});
    EXPECT_EQ(started.size(), 1u);
}
