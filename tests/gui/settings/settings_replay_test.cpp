// One operator's session replayed through the windows: the settings file it leaves must stay byte for byte the
// same from one build to the next, whatever moves behind the controls.

#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/launch/map_rotation_page.h"
#include "gui/launch/press_list_widget.h"
#include "gui/lpb/lpb_page.h"
#include "gui/settings/advanced_page.h"
#include "gui/settings/cmd_line_form.h"
#include "gui/settings/prop_form.h"
#include "gui/settings/remote_access_page.h"
#include "gui/settings/startup_page.h"
#include "support/gui_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using namespace varno;
using namespace varno::test;

namespace {

// What an earlier run left behind: the loader reads it and writes it back through the controls.
const char* const kEarlierRun = "[General]\n"
                                "RestoreFlags=2\n"
                                "[ServerSettings]\n"
                                "ServerName=Old Name\n"
                                "MaxPlayers=12\n"
                                "[MapSettings]\n"
                                "MapRotation=q3dm1,q3dm7\n"
                                "[AdvancedSettings]\n"
                                "Gravity=700\n"
                                "BanIPList=10.1.1.1,10.2.*\n"
                                "[ServerTools]\n"
                                "LPBMinPing=90\n"
                                "LPBRCon=old\n"
                                "[ProgramSettings]\n"
                                "QuakeDir=@GAME@\n";

void toggle(QCheckBox* box)
{
    box->setChecked(!box->isChecked());
}

} // namespace

class SettingsReplayTest : public GuiTest {};

TEST_F(SettingsReplayTest, AnEditSessionLeavesTheSameSettingsFile)
{
    const QString game = settings->path(QStringLiteral("game"));
    ASSERT_TRUE(QDir().mkpath(game + QStringLiteral("/baseq3")));
    ASSERT_TRUE(QDir().mkpath(game + QStringLiteral("/mymod")));
    {
        QFile file(settings->file());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(kEarlierRun).replace("@GAME@", game.toUtf8()));
    }
    createWindows(true, true);
    ASSERT_TRUE(waitFor([] { return forms().Form1->StatusBar1->text() == QLatin1String("Varno Loaded Successfully."); }));

    StartupPage& startup = *forms().Form1->startupPage;
    typeInto(startup.ServerNameEdit, QStringLiteral(" X"));
    startup.MotdEdit->setText(QStringLiteral("Welcome"));
    startup.GameTypeBox->setCurrentIndex(4);
    startup.ServerTypeBox->setCurrentIndex(0);
    startup.memtouse->setValue(128);
    startup.MaxPlayers->setValue(16);
    startup.TimeLimit->setValue(30);
    startup.Fraglimit->setValue(50);
    startup.BotListBox1->item(2)->setCheckState(Qt::Checked);
    startup.SpinBotMin->setValue(3);
    click(startup.BotRB2);
    startup.SpinBotLevel->setValue(2);
    toggle(startup.BotChatBox);
    startup.NetPort->setValue(29876);
    startup.GameDirCombo->setEditText(QStringLiteral("mymod"));

    MapRotationPage& maps = *forms().Form1->mapRotationPage;
    maps.MapsListBox->item(3)->setSelected(true);
    maps.SpeedButton2Click();
    maps.CustMapAddEdit->setText(QStringLiteral("mymap"));
    maps.Button5Click();

    AdvancedPage& advanced = *forms().Form1->advancedPage;
    advanced.SrvPWEdit->setText(QStringLiteral("pw"));
    advanced.SpinMaxRate->setValue(25000);
    advanced.SpinQuad->setValue(4);
    advanced.SpinGravity->setValue(600);
    for (QCheckBox* box : {advanced.PureCB, advanced.downloadsCB, advanced.adrCB, advanced.ebCB})
        toggle(box);
    advanced.AddBanEdit->setText(QStringLiteral("10.6.*"));
    advanced.AddBanClick();
    advanced.BanListBox->setCurrentRow(0);
    advanced.Button4Click();

    RemoteAccessPage& remote = *forms().Form1->remoteAccessPage;
    remote.RCONEdit->setText(QStringLiteral("rc"));
    toggle(remote.AllowRCON_CB);

    LpbPage& lpb = *forms().Form1->lpbPage;
    click(lpb.LPBRadio2);
    lpb.LPBServerEdit->setText(QStringLiteral("example.org"));
    lpb.LPBPortSpin->setValue(27961);
    lpb.LPBPort2->setValue(27962);
    lpb.SpinMinPing->setValue(80);
    lpb.SpinCheckLPB->setValue(5);
    lpb.msg1->setText(QStringLiteral("Hey "));
    lpb.LPBRcon->setText(QStringLiteral("rc"));
    for (QCheckBox* box : {lpb.LPBMsg, lpb.KickCB, lpb.BanIPCB, lpb.KickBannedCB, lpb.LogLPBsCB})
        toggle(box);
    click(lpb.LPBRadio1);

    TPropForm& properties = *forms().PropForm;
    toggle(properties.RelaunchServerBox);
    toggle(properties.ConsoleTerminalBox);
    properties.Q3DirEdit->setText(game + QStringLiteral("/"));
    properties.Button1Click();

    forms().CmdLineForm->AddCmdLine->setText(QStringLiteral("+set sv_fps 30"));
    forms().CmdLineForm->Button1Click();

    forms().Form1->SaveSettings1->trigger();

    QByteArray written = settings->contents();
    written.replace(settings->dir().toUtf8(), "<dir>");
    const QString expectedPath = QStringLiteral(VARNO_TEST_DATA "/settings/edit-session.ini");
    if (qEnvironmentVariableIsSet("VARNO_WRITE_EXPECTED")) {
        QFile out(expectedPath);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(written);
    }
    QFile expected(expectedPath);
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly)) << qPrintable(expectedPath);
    EXPECT_EQ(written.toStdString(), expected.readAll().toStdString());
}
