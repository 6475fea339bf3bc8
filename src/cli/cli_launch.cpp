#include "cli/cli_launch.h"
#include "core/app/varno_error.h"
#include "core/console/console_output.h"
#include "core/launch/game_address.h"
#include "core/launch/watchdog.h"
#include "core/launch/stored_launch_state.h"
#include "platform/file_writer.h"
#include "platform/qt_text.h"
#include "platform/services.h"
#include "platform/settings_factory.h"

#include <QDir>
#include <QNetworkDatagram>
#include <QThread>
#include <QUdpSocket>

#include <chrono>
#include <filesystem>

namespace varno::cli {

namespace {

constexpr const char* kGameNotFound =
    "Error: Quake3.exe not found!  In Properties, be sure to specify your Quake 3 Directory.";

constexpr std::chrono::milliseconds kAnswerWait{10000};
constexpr int kAnswerPollMs = 250;
constexpr std::size_t kReportedLines = 10;

StoredLaunchState storedState(const Context& context)
{
    StoredLaunchState state = launchStateFromStore(*createSettingsStore());
    for (const auto& problem : state.problems)
        std::fprintf(context.err, "varno: warning: %s\n", problem.c_str());
    return state;
}

} // namespace

int scriptCommand(Context& context)
{
    refuseUnknownOptions(context.arguments);
    const StoredLaunchState state = storedState(context);
    context.printRaw(buildServerScript(state.script));
    if (const std::string notice = banListNotice(state.script); !notice.empty())
        std::fprintf(context.err, "varno: %s\n", notice.c_str());
    return 0;
}

int cmdlineCommand(Context& context)
{
    refuseUnknownOptions(context.arguments);
    StoredLaunchState state = storedState(context);
    state.commandLine.program =
        createProcessLauncher()->gameProgram(state.gameFolder).value_or(std::string(kWindowsGameProgram));
    context.printRaw(buildCommandLine(state.commandLine) + "\n");
    return 0;
}

PreparedLaunch prepareLaunch(Context& context)
{
    StoredLaunchState state = storedState(context);
    if (state.script.rotation.empty())
        throw CliError("You musts first select at least one map to use.");
    std::error_code error;
    std::filesystem::current_path(state.gameFolder, error);
    if (error)
        throw CliError(state.gameFolder + ": " + error.message());
    const std::string folder = std::filesystem::current_path().string();
    const std::string script = buildServerScript(state.script);
    auto launcher = createProcessLauncher();
    const auto program = launcher->gameProgram(folder);
    state.commandLine.program = program.value_or(std::string(kWindowsGameProgram));
    const std::string line = buildCommandLine(state.commandLine);
    writeFileAtomically(QDir(toQ(folder)).filePath(QStringLiteral("baseq3/vrn2data.cfg")),
                        QByteArray::fromStdString(script), FileAccess::OwnerOnly);
    if (!program)
        throw CliError(kGameNotFound);
    return PreparedLaunch{folder, line, std::move(launcher)};
}

void printServerLines(const Context& context, const std::string& message, const std::vector<std::string>& lines)
{
    std::fprintf(context.err, "varno: %s\n", message.c_str());
    for (const std::string& line : lines)
        std::fprintf(context.err, "  %s\n", line.c_str());
    std::fflush(context.err);
}

int launchCommand(Context& context)
{
    refuseUnknownOptions(context.arguments);
    PreparedLaunch launch = prepareLaunch(context);
    Watchdog watchdog;
    auto startedAt = std::chrono::steady_clock::now();
    const auto sinceStart = [&] {
        return std::chrono::duration_cast<Watchdog::Time>(std::chrono::steady_clock::now() - startedAt);
    };
    // An answer from a server that held the port before proves nothing about the new one.
    const GameAddress address = gameAddressOf(launch.commandLine);
    QUdpSocket socket;
    socket.bind(QHostAddress(QHostAddress::AnyIPv4), 0);
    const QHostAddress server(toQ(address.reachableIp()));
    const QByteArray query("\xff\xff\xff\xffgetstatus");
    const auto answered = [&](int waitMs) {
        socket.writeDatagram(query, server, quint16(address.port));
        if (!socket.waitForReadyRead(waitMs))
            return false;
        bool status = false;
        while (socket.hasPendingDatagrams())
            status = status || socket.receiveDatagram().data().startsWith("\xff\xff\xff\xffstatusResponse");
        return status;
    };
    const bool portTaken = answered(kAnswerPollMs);
    startedAt = std::chrono::steady_clock::now();
    watchdog.launched(Watchdog::Time(0));
    const LaunchOutcome outcome = launch.launcher->start(launch.folder, launch.commandLine);
    if (outcome.exitCode < 0)
        throw CliError(outcome.problem.empty() ? kGameNotFound : outcome.problem);
    context.printRaw(outcome.consoleName + "\n");
    std::fflush(context.out);

    // Started is not yet up: it must answer on its game port, or have said why not.
    while (sinceStart() < kAnswerWait) {
        const ServerState state = launch.launcher->poll();
        if (state.kind != ServerState::Kind::Running) {
            const ServerEnd end = state.kind == ServerState::Kind::Ended ? state.end : ServerEnd{};
            std::string message = watchdog.ended(end, sinceStart(), false).message;
            if (state.kind != ServerState::Kind::Ended)
                message = "Server console closed before the server answered";
            printServerLines(context, message, lastLines(launch.launcher->consoleText(), kReportedLines));
            return 1;
        }
        if (portTaken)
            QThread::msleep(kAnswerPollMs);
        else if (answered(kAnswerPollMs))
            return 0;
    }
    const std::string where = address.reachableIp() + ":" + std::to_string(address.port);
    printServerLines(context,
                     portTaken ? "Another server answers on " + where + " already; the new one runs but not there"
                               : "The server runs but did not answer on " + where + " within " +
                                     std::to_string(kAnswerWait.count() / 1000) + " s",
                     lastLines(launch.launcher->consoleText(), kReportedLines));
    return 1;
}

} // namespace varno::cli
