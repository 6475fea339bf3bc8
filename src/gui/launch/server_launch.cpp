#include "gui/launch/server_launch.h"

#include "core/app/varno_error.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/console/console_page.h"
#include "gui/app/widget_helpers.h"
#include "gui/console/console_in_view.h"
#include "gui/launch/map_rotation_page.h"
#include "gui/settings/advanced_page.h"
#include "gui/settings/cmd_line_form.h"
#include "gui/settings/prop_form.h"
#include "gui/settings/remote_access_page.h"
#include "gui/settings/startup_page.h"
#include "platform/file_writer.h"
#include "platform/qt_text.h"
#include "platform/server_supervisor.h"
#include "platform/services.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <filesystem>

namespace varno {

namespace {

constexpr const char* kNoMaps = "You musts first select at least one map to use.";
constexpr const char* kGameNotFound =
    "Error: Quake3.exe not found!  In Properties, be sure to specify your Quake 3 Directory.";

WatchdogConfig& watchdogConfig()
{
    static WatchdogConfig config;
    return config;
}

// The panel's one supervisor of the server it launched; it lives as long as the main window.
class ServerWatch : public QObject {
public:
    explicit ServerWatch(TForm1* form)
        : QObject(form)
        , supervisor(createProcessLauncher(), watchdogConfig())
    {
        setObjectName(QStringLiteral("ServerWatch"));
        supervisor.setOnEvent([form](const SupervisorEvent& event) { showServerEvent(*form, event); });
    }

    ServerSupervisor supervisor;

private:
    static void showServerEvent(TForm1& form, const SupervisorEvent& event)
    {
        QStringList lines{toQ(event.message)};
        for (const std::string& line : event.consoleLines)
            lines << QStringLiteral("  ") + toQ(line);
        if (!event.crashLog.empty())
            lines << QStringLiteral("The console's last lines are kept in ") + toQ(event.crashLog);
        if (!event.problem.empty())
            lines << toQ(event.problem);
        form.StatusBar1->setText(toQ(event.message));
        form.consolePage->noteServerEvent(lines, event.kind == SupervisorEvent::Kind::Relaunched);
    }
};

ServerSupervisor& serverSupervisor(TForm1& form)
{
    auto* watch =
        static_cast<ServerWatch*>(form.findChild<QObject*>(QStringLiteral("ServerWatch"), Qt::FindDirectChildrenOnly));
    if (!watch)
        watch = new ServerWatch(&form);
    return watch->supervisor;
}

} // namespace

void setServerWatchdogConfig(const WatchdogConfig& config)
{
    watchdogConfig() = config;
}

ServerScriptInput scriptInputFromWindows()
{
    const TForm1& form = *forms().Form1;
    const StartupPage& startup = *form.startupPage;
    const AdvancedPage& advanced = *form.advancedPage;
    const RemoteAccessPage& remote = *form.remoteAccessPage;
    ServerScriptInput in;
    in.serverName = toStd(startup.ServerNameEdit->text());
    in.motd = toStd(startup.MotdEdit->text());
    in.gameType = comboSelectedIndex(startup.GameTypeBox);
    in.maxPlayers = startup.MaxPlayers->value();
    in.fragLimit = startup.Fraglimit->value();
    in.timeLimit = startup.TimeLimit->value();
    in.pureServer = advanced.PureCB->isChecked();
    in.allowRcon = remote.AllowRCON_CB->isChecked();
    in.rconPassword = toStd(remote.RCONEdit->text());
    in.enableCheats = advanced.ecCB->isChecked();
    in.rotation = form.mapRotationPage->rotation();
    in.startMap = toStd(startup.StartMapBox->currentText());
    in.serverPassword = toStd(advanced.SrvPWEdit->text());
    in.maxRate = advanced.SpinMaxRate->value();
    in.quadFactor = advanced.SpinQuad->value();
    in.forceRespawn = advanced.SpinForRespawn->value();
    in.weaponRespawn = advanced.SpinWepRespawn->value();
    in.gravity = advanced.SpinGravity->value();
    in.speed = advanced.SpinSpeed->value();
    in.knockback = advanced.SpinKnockback->value();
    in.allowDownloads = advanced.downloadsCB->isChecked();
    in.forceAutoJoin = advanced.faCB->isChecked();
    in.forceBalance = advanced.fbCB->isChecked();
    in.allowVote = advanced.avCB->isChecked();
    in.allowDemoRecording = advanced.adrCB->isChecked();
    in.banListEnabled = advanced.ebCB->isChecked();
    in.banList = advanced.banList();
    in.noBotChat = startup.BotChatBox->isChecked();
    const std::vector<bool> checks = startup.botChecks();
    for (std::size_t i = 0; i < checks.size(); ++i) {
        if (checks[i])
            in.bots.push_back(toStd(startup.BotListBox1->item(int(i))->text()));
    }
    in.botSkill = startup.SpinBotLevel->value();
    in.autoKickBots = startup.BotRB1->isChecked();
    in.minBots = startup.SpinBotMin->value();
    return in;
}

CommandLineInput commandLineInputFromWindows(const std::string& program)
{
    const StartupPage& startup = *forms().Form1->startupPage;
    CommandLineInput in;
    in.program = program;
    in.port = toStd(startup.NetPort->text());
    in.gameDir = toStd(startup.GameDirCombo->currentText());
    in.serverType = serverTypeIndex(toStd(startup.ServerTypeBox->currentText()));
    in.memory = startup.memtouse->value();
    in.extra = toStd(forms().CmdLineForm->AddCmdLine->text());
    return in;
}

void launchServer()
{
    TForm1& form = *forms().Form1;
    if (form.mapRotationPage->RotateMapListBox->count() == 0) {
        dialogs::showMessage(QString::fromLatin1(kNoMaps));
        form.showPage(QStringLiteral("Map Rotation"));
        return;
    }

    const std::string gameFolderText = toStd(forms().PropForm->Q3DirEdit->text());
    std::error_code error;
    std::filesystem::current_path(gameFolderText, error);
    if (error)
        throw VarnoError(error.message());
    const std::filesystem::path gameFolder = std::filesystem::current_path();

    // Everything is checked before anything is written.
    const ServerScriptInput scriptInput = scriptInputFromWindows();
    const std::string script = buildServerScript(scriptInput);
    ServerSupervisor& supervisor = serverSupervisor(form);
    const std::optional<std::string> program = supervisor.launcher().gameProgram(gameFolder.string());
    CommandLineInput commandLine = commandLineInputFromWindows(program.value_or(std::string(kWindowsGameProgram)));
    const int serverType = commandLine.serverType;
    const std::string line = buildCommandLine(commandLine);

    const QString scriptPath = QDir(toQ(gameFolder.string())).filePath(QStringLiteral("baseq3/") +
                                                                       toQ(kServerScriptFileName));
    // The script holds the rcon and server passwords.
    writeFileAtomically(QDir::toNativeSeparators(scriptPath), QByteArray::fromStdString(script),
                        FileAccess::OwnerOnly);
    selectComboIndexQuietly(form.startupPage->ServerTypeBox, serverType);
    if (const std::string notice = banListNotice(scriptInput); !notice.empty())
        form.StatusBar1->setText(toQ(notice));

    if (!program) {
        dialogs::showMessage(QString::fromLatin1(kGameNotFound));
        return;
    }
    // The supervisor watches the server from here on and relaunches it after a crash.
    const LaunchOutcome outcome = supervisor.launch(gameFolder.string(), line);
    if (outcome.exitCode < 0)
        dialogs::showMessage(outcome.problem.empty() ? QString::fromLatin1(kGameNotFound) : toQ(outcome.problem));
    else if (!outcome.consoleName.empty())
        showConsoleAfterLaunch(outcome.consoleName, forms().PropForm->ConsoleTerminalBox->isChecked(),
                               form.StatusBar1);
}

} // namespace varno
