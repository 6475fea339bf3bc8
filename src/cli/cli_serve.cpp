#include "cli/cli_launch.h"
#include "platform/server_supervisor.h"
#include "platform/services.h"

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <csignal>

namespace varno::cli {

namespace {

// How long a server gets to follow quit before its process is ended.
constexpr std::chrono::seconds kStopGrace{10};
constexpr int kSignalCheckMs = 100;
constexpr std::string_view kNotStarted = "The server could not be started";

std::atomic<bool> g_stopAsked{false};

extern "C" void onStopSignal(int)
{
    g_stopAsked = true;
}

} // namespace

int serveCommand(Context& context)
{
    refuseUnknownOptions(context.arguments);
    if (!context.arguments.isEmpty())
        throw CliError("serve takes no arguments", 2);
    ServerModel model = launchModel(context);
    ServerSupervisor supervisor(createProcessLauncher());
    int status = 0;
    supervisor.setOnEvent([&](const SupervisorEvent& event) {
        printServerLines(context, event.message, event.consoleLines);
        if (!event.crashLog.empty())
            std::fprintf(context.err, "varno: the console's last lines are kept in %s\n", event.crashLog.c_str());
        if (!event.problem.empty())
            std::fprintf(context.err, "varno: %s\n", event.problem.c_str());
        if (event.kind == SupervisorEvent::Kind::Stopped) {
            status = event.failed ? 1 : 0;
            QCoreApplication::quit();
        }
    });

    g_stopAsked = false;
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    const LaunchReport launch = launchSupervised(model, supervisor, kNotStarted);
    refuseStoppedLaunch(launch);
    std::fprintf(context.err, "varno: serving the server in console '%s' until SIGTERM or SIGINT\n",
                 launch.consoleName.c_str());
    std::fflush(context.err);

    QTimer signalCheck;
    bool stopping = false;
    QObject::connect(&signalCheck, &QTimer::timeout, [&] {
        if (!g_stopAsked || stopping)
            return;
        stopping = true;
        std::fprintf(context.err, "varno: stopping the server\n");
        // The supervisor reports the end it sees, which ends the loop.
        if (!supervisor.stop(kStopGrace)) {
            std::fprintf(context.err, "varno: the server could not be ended\n");
            status = 1;
            QCoreApplication::quit();
        }
    });
    signalCheck.start(kSignalCheckMs);
    QCoreApplication::exec();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    return status;
}

int stopCommand(Context& context)
{
    refuseUnknownOptions(context.arguments);
    if (!context.arguments.isEmpty())
        throw CliError("stop takes no arguments", 2);
    const auto launcher = createProcessLauncher();
    if (!launcher->adopt())
        throw CliError("No server is running in a console of varno launch or varno serve");
    if (!launcher->stop(kStopGrace))
        throw CliError("The server could not be ended");
    const ServerState state = launcher->poll();
    std::fprintf(context.err, "varno: Server ended (%s)\n",
                 state.kind == ServerState::Kind::Ended ? describeEnd(state.end).c_str() : "its console closed");
    return 0;
}

} // namespace varno::cli
