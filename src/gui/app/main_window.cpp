#include "gui/app/main_window.h"

#include "drive/server_fleet.h"

#include "gui/settings/model_bindings.h"

#include "core/settings/maps_folder.h"
#include "core/settings/schema.h"
#include "gui/app/about_form.h"
#include "gui/app/artwork.h"
#include "gui/app/dialogs.h"
#include "gui/app/error_report.h"
#include "gui/app/forms.h"
#include "gui/app/servers_page.h"
#include "gui/app/status_line.h"
#include "gui/app/tray_icon.h"
#include "gui/app/widget_helpers.h"
#include "gui/console/console_page.h"
#include "gui/launch/map_rotation_page.h"
#include "gui/launch/server_launch.h"
#include "gui/lpb/lpb_page.h"
#include "gui/settings/advanced_page.h"
#include "gui/settings/cmd_line_form.h"
#include "gui/settings/opening_form.h"
#include "gui/settings/prop_form.h"
#include "gui/settings/remote_access_page.h"
#include "gui/settings/settings_commands.h"
#include "gui/settings/startup_page.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace varno {

namespace {

constexpr const char* kCaption = "Varno Server v2.5B Standard Edition";
constexpr const char* kMissingInstallDir = "Please select your Quake 3 Maps Directory in Settings | Properties.";

QToolButton* makeToolButton(QToolBar* bar, const char* name, const QIcon& icon, const QString& hint, bool enabled)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(icon);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setEnabled(enabled);
    bar->addWidget(button);
    return button;
}

QAction* makeAction(QObject* parent, const char* name, const QString& text, bool enabled = true)
{
    auto* action = new QAction(text, parent);
    action->setObjectName(QString::fromLatin1(name));
    action->setEnabled(enabled);
    return action;
}

} // namespace

TForm1::TForm1(ModelBindings& bindings, ServerFleet& fleet, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint)
    , m_bindings(bindings)
    , m_fleet(fleet)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(artwork::applicationIcon());

    StatusBar1 = new StatusLine(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);

    buildToolBar();
    buildMenus();
    buildPages();

    LoadTimer = new QTimer(this);
    LoadTimer->setObjectName(QStringLiteral("LoadTimer"));
    LoadTimer->setInterval(5);
    onEvent(LoadTimer, &QTimer::timeout, this, &TForm1::LoadTimerTimer);
    LoadTimer->start();

    TrayIcon1 = new TTrayIcon(this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->setIcon(artwork::applicationIcon());
    TrayIcon1->OnClick = [this](TTrayIcon*) { TrayIcon1Click(); };

    // Fixed size, no larger than the pages need.
    adjustSize();
    setFixedSize(sizeHint());
}

void TForm1::buildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(22, 22));
    ToolBar1->toggleViewAction()->setVisible(false);
    addToolBar(ToolBar1);
    setContextMenuPolicy(Qt::NoContextMenu);

    ToolBar1->addSeparator();
    ToolButton2 = makeToolButton(ToolBar1, "ToolButton2", artwork::openIcon(), QStringLiteral("Open"), false);
    ToolButton1 = makeToolButton(ToolBar1, "ToolButton1", artwork::openIcon(), QString(), false);
    ToolBar1->addSeparator();
    ToolButton5 = makeToolButton(ToolBar1, "ToolButton5", artwork::propertiesIcon(), QStringLiteral("Properties..."),
                                 true);
    ToolBar1->addSeparator();
    ToolButton7 = makeToolButton(ToolBar1, "ToolButton7", artwork::launchIcon(),
                                 QStringLiteral("Launch Quake 3 Server"), true);

    onEvent(ToolButton5, &QToolButton::clicked, this, &TForm1::Properties1Click);
    onEvent(ToolButton7, &QToolButton::clicked, this, &TForm1::ToolButton7Click);
}

void TForm1::buildMenus()
{
    RevertSettings1 = makeAction(this, "RevertSettings1", QStringLiteral("Revert Settings"));
    Open1 = makeAction(this, "Open1", QStringLiteral("Open..."));
    SaveSettings1 = makeAction(this, "SaveSettings1", QStringLiteral("Save Settings"), false);
    Exit1 = makeAction(this, "Exit1", QStringLiteral("E&xit"));
    RestoreDefaults1 = makeAction(this, "RestoreDefaults1", QStringLiteral("Restore Defaults"));
    Tothispageonly1 = makeAction(this, "Tothispageonly1", QStringLiteral("To this page only"));
    ToAllVarnoValues1 = makeAction(this, "ToAllVarnoValues1", QStringLiteral("To all values on all pages"));
    Generate1 = makeAction(this, "Generate1", QStringLiteral("Generate"), false);
    BatchFile1 = makeAction(this, "BatchFile1", QStringLiteral("Batch File (.bat)"));
    ScriptFile1 = makeAction(this, "ScriptFile1", QStringLiteral("Script File (.cfg)"));
    CommandLine1 = makeAction(this, "CommandLine1", QStringLiteral("Command Line..."));
    Properties1 = makeAction(this, "Properties1", QStringLiteral("Properties..."));
    About1 = makeAction(this, "About1", QStringLiteral("About"));

    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("File1"));
    file->addAction(RevertSettings1);
    file->addAction(Open1);
    file->addAction(SaveSettings1);
    file->addSeparator();
    file->addAction(Exit1);

    QMenu* settings = menuBar()->addMenu(QStringLiteral("Settings"));
    settings->setObjectName(QStringLiteral("Settings1"));
    auto* restore = new QMenu(QStringLiteral("Restore Defaults"), settings);
    restore->setObjectName(QStringLiteral("RestoreDefaultsMenu"));
    restore->addAction(Tothispageonly1);
    restore->addAction(ToAllVarnoValues1);
    RestoreDefaults1->setMenu(restore);
    settings->addAction(RestoreDefaults1);
    settings->addSeparator();
    auto* generate = new QMenu(QStringLiteral("Generate"), settings);
    generate->setObjectName(QStringLiteral("GenerateMenu"));
    generate->addAction(BatchFile1);
    generate->addAction(ScriptFile1);
    Generate1->setMenu(generate);
    settings->addAction(Generate1);
    settings->addAction(CommandLine1);
    settings->addSeparator();
    settings->addAction(Properties1);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("Help1"));
    help->addAction(About1);

    onEvent(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
    onEvent(SaveSettings1, &QAction::triggered, this, &TForm1::SaveSettings1Click);
    onEvent(Tothispageonly1, &QAction::triggered, this, &TForm1::Tothispageonly1Click);
    onEvent(ToAllVarnoValues1, &QAction::triggered, this, &TForm1::ToAllVarnoValues1Click);
    onEvent(CommandLine1, &QAction::triggered, this, &TForm1::CommandLine1Click);
    onEvent(Properties1, &QAction::triggered, this, &TForm1::Properties1Click);
    onEvent(About1, &QAction::triggered, this, &TForm1::About1Click);
}

void TForm1::buildPages()
{
    TabbedNotebook1 = new QTabWidget(this);
    TabbedNotebook1->setObjectName(QStringLiteral("TabbedNotebook1"));
    startupPage = new StartupPage(m_bindings, StatusBar1, TabbedNotebook1);
    mapRotationPage = new MapRotationPage(m_bindings, StatusBar1, TabbedNotebook1);
    advancedPage = new AdvancedPage(m_bindings, TabbedNotebook1);
    remoteAccessPage = new RemoteAccessPage(m_bindings, TabbedNotebook1);
    lpbPage = new LpbPage(m_bindings, m_fleet.managed(), StatusBar1, TabbedNotebook1);
    consolePage = new ConsolePage(m_bindings, StatusBar1, TabbedNotebook1);
    serversPage = new ServersPage(*this, m_fleet, TabbedNotebook1);
    connect(advancedPage, &AdvancedPage::banListEdited, lpbPage, &LpbPage::sendBanListEdit);
    TabbedNotebook1->addTab(startupPage, QStringLiteral("Startup"));
    TabbedNotebook1->addTab(mapRotationPage, QStringLiteral("Map Rotation"));
    TabbedNotebook1->addTab(advancedPage, QStringLiteral("Advanced"));
    TabbedNotebook1->addTab(remoteAccessPage, QStringLiteral("Remote Access"));
    TabbedNotebook1->addTab(lpbPage, QStringLiteral("ZOZ Idaroz"));
    TabbedNotebook1->addTab(consolePage, QStringLiteral("Enhanced Console"));
    TabbedNotebook1->addTab(serversPage, QStringLiteral("Servers"));
    setCentralWidget(TabbedNotebook1);
    onEvent(TabbedNotebook1, &QTabWidget::currentChanged, this, &TForm1::TabbedNotebook1Change);
}

ServerModel& TForm1::model() const
{
    return m_bindings.model();
}

void TForm1::nameManagedServer()
{
    const FleetServer& managed = m_fleet.managed();
    if (m_fleet.servers().size() < 2 && managed.id().empty()) {
        setWindowTitle(QString::fromLatin1(kCaption));
        return;
    }
    const QString name = toQ(managed.name());
    setWindowTitle(QString::fromLatin1(kCaption) + QStringLiteral(" - ") + name);
    StatusBar1->setText(QStringLiteral("Showing server ") + name);
}

QString TForm1::activePageCaption() const
{
    return TabbedNotebook1->tabText(TabbedNotebook1->currentIndex());
}

void TForm1::showPage(const QString& caption)
{
    for (int i = 0; i < TabbedNotebook1->count(); ++i) {
        if (TabbedNotebook1->tabText(i) == caption)
            TabbedNotebook1->setCurrentIndex(i);
    }
}

void TForm1::TabbedNotebook1Change()
{
    // The focus goes to the password when the Remote Access page is entered.
    if (activePageCaption() == QLatin1String("Remote Access"))
        remoteAccessPage->RCONEdit->setFocus();
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return;
    if (!m_centred) {
        centreOnScreen(this);
        m_centred = true;
    }
    // The reminder box is modal; it opens once the window is up.
    QTimer::singleShot(0, this, [this] { runHandler([this] { FormShow(); }); });
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QTimer::singleShot(0, this, [this] { runHandler([this] { AppHide(); }); });
}

void TForm1::AppHide()
{
    // Without a notification area the window would have no way back: it stays an ordinary minimise.
    if (!isVisible() || !isMinimized() || !m_bindings.model().flag(kSystray) || !TrayIcon1->available())
        return;
    TrayIcon1->ShowIcon();
    hide();
}

void TForm1::TrayIcon1Click()
{
    showNormal();
    raise();
    activateWindow();
}

void TForm1::FormShow()
{
    std::string installDir;
    std::string mapsDir;
    {
        const auto store = m_bindings.model().openStore();
        // Without it the maps folder has nothing to fall back on; a failure is shown and the start goes on.
        runHandler([&] { supplyInstallDir(*store); });
        installDir = store->ReadString(kInstallDir);
        mapsDir = store->ReadString(kMapsDir);
    }
    if (needsMapsFolderReminder(mapsDir, installDir))
        dialogs::showMessage(QString::fromLatin1(kMissingInstallDir));
    fallBackToInstalledMaps(mapsDir, installDir);
}

void TForm1::fallBackToInstalledMaps(const std::string& mapsDir, const std::string& installDir)
{
    // Only a maps folder that is not chosen yet gets the installation's: one typed or loaded meanwhile,
    // while the reminder was open, stays.
    if (isMapsFolderUnset(mapsDir))
        m_bindings.model().holdText(kMapsDir, shownMapsFolder(mapsDir, installDir, QDir::separator().toLatin1()));
}

void TForm1::LoadTimerTimer()
{
    LoadTimer->stop();
    if (forms().OpeningForm)
        forms().OpeningForm->show();
}

namespace {

void bringForward(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void TForm1::Properties1Click()
{
    bringForward(forms().PropForm);
}

void TForm1::CommandLine1Click()
{
    bringForward(forms().CmdLineForm);
}

void TForm1::About1Click()
{
    bringForward(forms().AboutForm);
}

void TForm1::ToolButton7Click()
{
    launchServer(*this, m_fleet.managed());
}

void TForm1::SaveSettings1Click()
{
    saveStartupSettings(m_bindings.model());
    StatusBar1->setText(QStringLiteral("Settings Saved!"));
}

void TForm1::Tothispageonly1Click()
{
    restoreDefaults(*this, false);
}

void TForm1::ToAllVarnoValues1Click()
{
    restoreDefaults(*this, true);
}

void TForm1::loaderFinished()
{
    StatusBar1->setText(QStringLiteral("Varno Loaded Successfully."));
    runStartOptions();
}

void TForm1::runStartOptions()
{
    if (forms().options.launchAfterLoad)
        ToolButton7Click();
    if (forms().options.lpbAfterLoad)
        lpbPage->enableFromCommandLine();
}

void TForm1::Exit1Click()
{
    close();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    event->accept();
    // Closing the main window ends the program, whatever other window is open.
    QApplication::quit();
}

} // namespace varno
