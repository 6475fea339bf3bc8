#include "drive/launch_driver.h"

#include "core/launch/launch_input.h"
#include "core/settings/server_model.h"
#include "platform/file_writer.h"
#include "platform/qt_text.h"
#include "platform/server_supervisor.h"

#include <QDir>

#include <filesystem>

namespace varno {

namespace {

constexpr std::string_view kScriptFolder = "baseq3";

LaunchReport stopped(LaunchReport::Outcome outcome, std::string message)
{
    LaunchReport report;
    report.outcome = outcome;
    report.message = std::move(message);
    return report;
}

} // namespace

std::string launchCommandLine(const ServerModel& model, const ProcessLauncher& launcher)
{
    const std::string folder = gameFolderFrom(model);
    return buildCommandLine(
        commandLineInputFrom(model, launcher.gameProgram(folder).value_or(std::string(kWindowsGameProgram))));
}

LaunchReport prepareLaunch(ServerModel& model, ProcessLauncher& launcher)
{
    // A second server of the same profile is never what the operator meant: it would find the port taken and
    // take another, and the console bridge and the watcher would follow only one of the two.
    if (launcher.poll().kind == ServerState::Kind::Running || launcher.adopt())
        return stopped(LaunchReport::Outcome::Running, std::string(kAlreadyRunningMessage));
    const ServerScriptInput scriptInput = scriptInputFrom(model);
    if (scriptInput.rotation.empty()) {
        LaunchReport report = stopped(LaunchReport::Outcome::NoMaps, std::string(kNoMapsMessage));
        report.pageToShow = kMapRotationPage;
        return report;
    }

    const std::string folder = gameFolderFrom(model);
    std::error_code error;
    std::filesystem::current_path(folder, error);
    if (error) {
        LaunchReport report = stopped(LaunchReport::Outcome::NoGameFolder, error.message());
        report.gameFolder = folder;
        return report;
    }
    LaunchReport report;
    report.gameFolder = std::filesystem::current_path().string();

    const std::string script = buildServerScript(scriptInput);
    const std::optional<std::string> program = launcher.gameProgram(report.gameFolder);
    const CommandLineInput commandLine =
        commandLineInputFrom(model, program.value_or(std::string(kWindowsGameProgram)));
    report.commandLine = buildCommandLine(commandLine);

    const QString scriptPath =
        QDir(toQ(report.gameFolder)).filePath(toQ(kScriptFolder) + QLatin1Char('/') + toQ(kServerScriptFileName));
    writeFileAtomically(QDir::toNativeSeparators(scriptPath), QByteArray::fromStdString(script), FileAccess::OwnerOnly);
    model.holdText(kServerType, serverTypeEntry(commandLine.serverType));
    report.banNotice = banListNotice(scriptInput);
    if (!program) {
        report.outcome = LaunchReport::Outcome::NotStarted;
        report.message = kGameNotFoundMessage;
    }
    return report;
}

void startLaunch(LaunchReport& report, const ServerStart& start, std::string_view unexplained)
{
    if (report.outcome != LaunchReport::Outcome::Ready)
        return;
    const LaunchOutcome outcome = start(report.gameFolder, report.commandLine);
    if (outcome.exitCode < 0) {
        report.outcome = LaunchReport::Outcome::NotStarted;
        report.message = outcome.problem.empty() ? std::string(unexplained) : outcome.problem;
        return;
    }
    report.outcome = LaunchReport::Outcome::Started;
    report.consoleName = outcome.consoleName;
}

LaunchReport launchSupervised(ServerModel& model, ServerSupervisor& supervisor, std::string_view unexplained)
{
    LaunchReport report = prepareLaunch(model, supervisor.launcher());
    startLaunch(
        report,
        [&](const std::string& folder, const std::string& commandLine) {
            return supervisor.launch(folder, commandLine);
        },
        unexplained);
    return report;
}

} // namespace varno
