#include "gui/settings/opening_form.h"

#include "core/settings/comma_list.h"
#include "core/settings/bot_flags.h"
#include "core/settings/integer_text.h"
#include "core/settings/maps_folder.h"
#include "core/settings/schema.h"
#include "gui/app/artwork.h"
#include "gui/app/error_report.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/app/widget_helpers.h"
#include "gui/launch/map_rotation_page.h"
#include "gui/lpb/lpb_page.h"
#include "gui/settings/advanced_page.h"
#include "gui/settings/cmd_line_form.h"
#include "gui/settings/loaded_values.h"
#include "gui/settings/prop_form.h"
#include "gui/settings/remote_access_page.h"
#include "gui/settings/startup_page.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>

namespace varno {

namespace {

constexpr QSize kClientSize(492, 193);

} // namespace

TOpeningForm::TOpeningForm(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("OpeningForm"));
    setWindowTitle(QStringLiteral("Varno  v2.5 - More Beastlier than Ever!!!"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setFixedSize(kClientSize);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);

    Image1 = makeControl<QLabel>(this, "Image1");
    Image1->setGeometry(0, 0, 491, 192);
    Image1->setPixmap(artwork::splashPicture(QSize(491, 192)));

    QPalette white = palette();
    white.setColor(QPalette::WindowText, Qt::white);
    Label1 = makeControl<QLabel>(this, "Label1", QStringLiteral("Version 2.5"));
    QFont serif(QStringLiteral("Serif"));
    serif.setStyleHint(QFont::Serif);
    serif.setPointSize(11);
    serif.setBold(true);
    Label1->setFont(serif);
    Label1->setPalette(white);
    Label1->adjustSize();
    Label1->move(kClientSize.width() - Label1->width() - 14, 112);

    LoadLabel = makeControl<QLabel>(this, "LoadLabel", QStringLiteral("Loading..."));
    LoadLabel->setPalette(white);
    LoadLabel->setAlignment(Qt::AlignCenter);
    LoadLabel->setGeometry(0, 136, kClientSize.width(), LoadLabel->sizeHint().height());

    ProgressBar1 = makeControl<QProgressBar>(this, "ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(16, 164, kClientSize.width() - 32, 14);

    // All stages count from the window's creation; their intervals alone fix their order.
    Properties = makeTimer("Properties", 10, false, &TOpeningForm::PropertiesTimer);
    Startup = makeTimer("Startup", 50, false, &TOpeningForm::StartupTimer);
    Map = makeTimer("Map", 100, false, &TOpeningForm::MapTimer);
    ValueLoader = makeTimer("ValueLoader", 175, true, &TOpeningForm::ValueLoaderTimer);
    EnhConsole = makeTimer("EnhConsole", 200, false, &TOpeningForm::EnhConsoleTimer);
    RemAccess = makeTimer("RemAccess", 400, false, &TOpeningForm::RemAccessTimer);
    Advanced = makeTimer("Advanced", 500, false, &TOpeningForm::AdvancedTimer);
    HideTimer = makeTimer("HideTimer", 700, false, &TOpeningForm::HideTimerTimer);
    SafeTimer = makeTimer("SafeTimer", 2000, true, &TOpeningForm::SafeTimerTimer);
}

QTimer* TOpeningForm::makeTimer(const char* name, int interval, bool repeating, void (TOpeningForm::*handler)())
{
    auto* timer = new QTimer(this);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(interval);
    timer->setSingleShot(false); // a stage stops its own timer, as the repeating ones do not
    onEvent(timer, &QTimer::timeout, this, handler);
    (void)repeating;
    timer->start();
    return timer;
}

void TOpeningForm::stopAllTimers()
{
    for (QTimer* timer : {Properties, Startup, Map, ValueLoader, EnhConsole, RemAccess, Advanced, HideTimer, SafeTimer})
        timer->stop();
}

void TOpeningForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
}

void TOpeningForm::PropertiesTimer()
{
    Properties->stop();
    LoadLabel->setText(QStringLiteral("Loading Properties..."));
    TPropForm& properties = *forms().PropForm;
    StartupPage& startup = *forms().Form1->startupPage;
    {
        const auto store = createSettingsStore();
        properties.Q3DirEdit->setText(toQ(store->ReadString(kQuakeDir)));
        const std::string mapsDir = store->ReadString(kMapsDir);
        if (isMapsFolderUnset(mapsDir))
            properties.showMapsFolderFallback(
                toQ(shownMapsFolder(mapsDir, store->ReadString(kInstallDir), QDir::separator().toLatin1())));
        else
            properties.MapsDirEdit->setText(toQ(mapsDir));
        properties.RelaunchServerBox->setChecked(store->ReadBool(kRelaunchServer));
        startup.FillGameDirList();
        properties.ConsoleTerminalBox->setChecked(store->ReadBool(kOpenConsoleTerminal));
    }
    ProgressBar1->setValue(10);
    LoadLabel->setText(QStringLiteral("Loading Properties...Bot Info..."));

    const auto store = createSettingsStore();
    startup.setBotChecksQuietly(fromBotFlagString(store->ReadString(kBotList), stockBotNames().size()));
    // Read as text: an empty value counts as 0, and a text that is not a number ends the stage.
    const std::string minBots = store->ReadString(kMinBots);
    startup.SpinBotMin->setValue(minBots.empty() ? 0 : toIntegerOrThrow(minBots));
    setRadioLoaded(startup.BotRB1, store->ReadBool(kAutoKick));
    setRadioLoaded(startup.BotRB2, store->ReadBool(kKeepBots));
    // An empty level leaves the field as it is.
    if (const std::string level = store->ReadString(kBotlevel); !level.empty())
        startup.SpinBotLevel->setValue(toIntegerOrThrow(level));
    startup.BotChatBox->setChecked(store->ReadBool(kNoBotChat));
    forms().CmdLineForm->AddCmdLine->setText(toQ(store->ReadString(kCmdLine)));
}

void TOpeningForm::StartupTimer()
{
    Startup->stop();
    LoadLabel->setText(QStringLiteral("Loading Startup..."));
    const auto store = createSettingsStore();
    if (store->ReadInteger(kRestoreFlags) != kStartupStageArmed) {
        InitlizeDefaults();
        return;
    }
    StartupPage& startup = *forms().Form1->startupPage;
    AdvancedPage& advanced = *forms().Form1->advancedPage;
    RemoteAccessPage& remote = *forms().Form1->remoteAccessPage;
    loadText(*store, kServerName, startup.ServerNameEdit);
    loadText(*store, kMotd, startup.MotdEdit);
    startup.GameTypeBox->setEditText(toQ(store->ReadString(kGameTypeText)));
    selectComboIndexQuietly(startup.GameTypeBox, store->ReadInteger(kGameType));
    loadText(*store, kServerType, startup.ServerTypeBox);
    loadNumber(*store, kMemory, startup.memtouse);
    loadText(*store, kStartMap, startup.StartMapBox);
    loadNumber(*store, kMaxPlayers, startup.MaxPlayers);
    loadNumber(*store, kTimeLimit, startup.TimeLimit);
    loadNumber(*store, kFragLimit, startup.Fraglimit);
    loadFlag(*store, kPureServer, advanced.PureCB);
    loadText(*store, kRConPW, remote.RCONEdit);
    loadFlag(*store, kVarnoClients, remote.VarnoClientCheckBox);
    store->WriteInteger(kRestoreFlags, kStartupStageArmed);
    ProgressBar1->setValue(20);
}

void TOpeningForm::InitlizeDefaults()
{
    Startup->stop();
    LoadLabel->setText(QStringLiteral("Initlizing Registry..."));
}

void TOpeningForm::MapTimer()
{
    Map->stop();
    LoadLabel->setText(QStringLiteral("Loading Maps..."));
    forms().Form1->mapRotationPage->setRotation(FromCommaList(createSettingsStore()->ReadString(kMapRotation)));
    ProgressBar1->setValue(40);
}

void TOpeningForm::ValueLoaderTimer()
{
    ProgressBar1->setValue(ProgressBar1->value() + 1);
}

void TOpeningForm::EnhConsoleTimer()
{
    EnhConsole->stop();
    LoadLabel->setText(QStringLiteral("Loading Console..."));
    ProgressBar1->setValue(60);
}

void TOpeningForm::RemAccessTimer()
{
    ValueLoader->stop();
    RemAccess->stop();
    LoadLabel->setText(QStringLiteral("Loading Remote Access Security..."));
    ProgressBar1->setValue(80);
    const auto store = createSettingsStore();
    forms().Form1->remoteAccessPage->AllowRCON_CB->setChecked(store->ReadBool(kAllowRCon));
    forms().Form1->lpbPage->loadStoredSettings(*store);
}

void TOpeningForm::AdvancedTimer()
{
    Advanced->stop();
    LoadLabel->setText(QStringLiteral("Loading Advanced Setup..."));
    AdvancedPage& advanced = *forms().Form1->advancedPage;
    const auto store = createSettingsStore();
    loadText(*store, kPassword, advanced.SrvPWEdit);
    loadNumber(*store, kMaxRate, advanced.SpinMaxRate);
    loadNumber(*store, kQuadFactor, advanced.SpinQuad);
    loadNumber(*store, kForceRespawn, advanced.SpinForRespawn);
    loadNumber(*store, kWeaponRespawn, advanced.SpinWepRespawn);
    loadNumber(*store, kGravity, advanced.SpinGravity);
    loadNumber(*store, kSpeed, advanced.SpinSpeed);
    loadNumber(*store, kKnockback, advanced.SpinKnockback);
    loadFlag(*store, kPS, advanced.PureCB);
    loadFlag(*store, kCD, advanced.ConDB);
    loadFlag(*store, kDownloads, advanced.downloadsCB);
    loadFlag(*store, kFA, advanced.faCB);
    loadFlag(*store, kFB, advanced.fbCB);
    loadFlag(*store, kAV, advanced.avCB);
    loadFlag(*store, kADR, advanced.adrCB);
    loadFlag(*store, kEC, advanced.ecCB);
    loadFlag(*store, kEB, advanced.ebCB);
    advanced.BanListBox->clear();
    for (const auto& entry : FromCommaList(store->ReadString(kBanIPList)))
        advanced.BanListBox->addItem(toQ(entry));
    ProgressBar1->setValue(100);
}

void TOpeningForm::HideTimerTimer()
{
    HideTimer->stop();
    hide();
    SafeTimer->stop();
    forms().Form1->StatusBar1->setText(QStringLiteral("Varno Loaded Successfully."));
    emit loadFinished();
}

void TOpeningForm::SafeTimerTimer()
{
    Properties->start();
    Startup->start();
}

} // namespace varno
