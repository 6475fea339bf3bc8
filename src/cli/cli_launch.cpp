#include "cli/cli_launch.h"
#include "core/lpb/server_info.h"
#include "core/console/console_output.h"
#include "core/launch/game_address.h"
#include "core/launch/launch_input.h"
#include "core/launch/stored_launch_state.h"
#include "core/launch/watchdog.h"
#include "platform/qt_text.h"
#include "platform/services.h"
#include "platform/settings_factory.h"

#include <QNetworkDatagram>
#include <QThread>
#include <QUdpSocket>

#include <chrono>

namespace varno::cli {

namespace {

constexpr std::chrono::milliseconds kAnswerWait{10000};
constexpr int kAnswerPollMs = 250;
constexpr std::size_t kReportedLines = 10;

} // namespace

ServerModel launchModel(const Context& context)
{
    ServerModel model(createSettingsStore);
    for (const std::string& problem : holdStartUpValues(model, *createSettingsStore()))
        std::fprintf(context.err, "varno: warning: %s\n", problem.c_str());
    return model;
}

void refuseStoppedLaunch(const LaunchReport& report)
{
    switch (report.outcome) {
    case LaunchReport::Outcome::Ready:
    case LaunchReport::Outcome::Started:
        return;
    case LaunchReport::Outcome::NoGameFolder:
        throw CliError(report.gameFolder + ": " + report.message);
    case LaunchReport::Outcome::Running:
    case LaunchReport::Outcome::NoMaps:
    case LaunchReport::Outcome::NotStarted:
        throw CliError(report.message);
    }
}

int scriptCommand(Context& context)
{
    refuseUnknownOptions(context.arguments);
    const ServerScriptInput input = scriptInputFrom(launchModel(context));
    context.printRaw(buildServerScript(input));
    if (const std::string notice = banListNotice(input); !notice.empty())
        std::fprintf(context.err, "varno: %s\n", notice.c_str());
    return 0;
}

int cmdlineCommand(Context& context)
{
    refuseUnknownOptions(context.arguments);
    const ServerModel model = launchModel(context);
    context.printRaw(launchCommandLine(model, *createProcessLauncher()) + "\n");
    return 0;
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
    ServerModel model = launchModel(context);
    const auto launcher = createProcessLauncher();
    LaunchReport launch = prepareLaunch(model, *launcher);
    refuseStoppedLaunch(launch);
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
    const QByteArray query(kGetStatusQuery.data(), qsizetype(kGetStatusQuery.size()));
    const auto answered = [&](int waitMs) {
        socket.writeDatagram(query, server, quint16(address.port));
        if (!socket.waitForReadyRead(waitMs))
            return false;
        bool status = false;
        while (socket.hasPendingDatagrams())
            status = status || isStatusResponse(socket.receiveDatagram().data().toStdString());
        return status;
    };
    const bool portTaken = answered(kAnswerPollMs);
    startedAt = std::chrono::steady_clock::now();
    watchdog.launched(Watchdog::Time(0));
    startLaunch(launch, [&](const std::string& folder, const std::string& commandLine) {
        return launcher->start(folder, commandLine);
    });
    refuseStoppedLaunch(launch);
    context.printRaw(launch.consoleName + "\n");
    std::fflush(context.out);

    // Started is not yet up: it must answer on its game port, or have said why not.
    while (sinceStart() < kAnswerWait) {
        const ServerState state = launcher->poll();
        if (state.kind != ServerState::Kind::Running) {
            const ServerEnd end = state.kind == ServerState::Kind::Ended ? state.end : ServerEnd{};
            std::string message = watchdog.ended(end, sinceStart(), false).message;
            if (state.kind != ServerState::Kind::Ended)
                message = "Server console closed before the server answered";
            printServerLines(context, message, lastLines(launcher->consoleText(), kReportedLines));
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
                     lastLines(launcher->consoleText(), kReportedLines));
    return 1;
}

} // namespace varno::cli
