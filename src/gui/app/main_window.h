#pragma once

#include <QMainWindow>

#include <string>

class QAction;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;

namespace varno {

class ModelBindings;
class ServerFleet;
class ServerModel;

class AdvancedPage;
class ConsolePage;
class LpbPage;
class MapRotationPage;
class RemoteAccessPage;
class ServersPage;
class StartupPage;
class StatusLine;
class TTrayIcon;

// The main window: toolbar, menus, the seven tabbed pages and the status line.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    TForm1(ModelBindings& bindings, ServerFleet& fleet, QWidget* parent = nullptr);

    QToolBar* ToolBar1;
    QToolButton* ToolButton2;
    QToolButton* ToolButton1;
    QToolButton* ToolButton5;
    QToolButton* ToolButton7;
    QTabWidget* TabbedNotebook1;
    StatusLine* StatusBar1;
    QTimer* LoadTimer;
    TTrayIcon* TrayIcon1;

    QAction* RevertSettings1;
    QAction* Open1;
    QAction* SaveSettings1;
    QAction* Exit1;
    QAction* RestoreDefaults1;
    QAction* Tothispageonly1;
    QAction* ToAllVarnoValues1;
    QAction* Generate1;
    QAction* BatchFile1;
    QAction* ScriptFile1;
    QAction* CommandLine1;
    QAction* Properties1;
    QAction* About1;

    StartupPage* startupPage;
    MapRotationPage* mapRotationPage;
    AdvancedPage* advancedPage;
    RemoteAccessPage* remoteAccessPage;
    LpbPage* lpbPage;
    ConsolePage* consolePage;
    ServersPage* serversPage;

    void FormShow();
    // The installation's maps folder in effect while none is chosen.
    void fallBackToInstalledMaps(const std::string& mapsDir, const std::string& installDir);
    void LoadTimerTimer();
    void Properties1Click();
    void CommandLine1Click();
    void About1Click();
    void Exit1Click();
    void TabbedNotebook1Change();
    void ToolButton7Click();
    void AppHide();
    void TrayIcon1Click();
    void SaveSettings1Click();
    void Tothispageonly1Click();
    void ToAllVarnoValues1Click();

    // What the command line asked for once the stored settings are in (--launch, --lpb).
    // The loader has put the stored values in: said on the status line, then the command line's requests run.
    void loaderFinished();
    void runStartOptions();

    // The server's values as the windows show them.
    ServerModel& model() const;
    // Every server, and the one the pages show.
    ServerFleet& fleet() const { return m_fleet; }
    // The title and the status line name the server the pages show, once there are several.
    void nameManagedServer();

    // The caption of the page on top.
    QString activePageCaption() const;
    // Shows the page with this caption.
    void showPage(const QString& caption);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    ModelBindings& m_bindings;
    ServerFleet& m_fleet;
    bool m_centred = false;
    void buildToolBar();
    void buildMenus();
    void buildPages();
};

} // namespace varno
