#include "cli/cli_context.h"
#include "core/console/console_output.h"
#include "platform/qt_text.h"
#include "platform/services.h"

#include <QThread>

#include <atomic>
#include <csignal>

namespace varno::cli {

namespace {

// A read a quarter second apart keeps the stream well within a second of the console.
constexpr unsigned long kFollowIntervalMs = 250;

std::atomic<bool> g_stopFollowing{false};

extern "C" void onFollowInterrupt(int)
{
    g_stopFollowing = true;
}

std::vector<std::string> readConsole(ConsoleOutputReader& reader)
{
    const auto lines = reader.recentLines(kConsoleOutputLines);
    if (!lines)
        throw CliError(createServerConsole()->unavailableReason());
    return *lines;
}

} // namespace

int consoleCommand(Context& context)
{
    QStringList& arguments = context.arguments;
    const bool follow = takeFlag(arguments, QStringLiteral("follow"));
    refuseUnknownOptions(arguments);
    if (!arguments.isEmpty())
        throw CliError("console takes no arguments besides --follow", 2);
    const auto reader = createConsoleOutputReader();
    if (!follow) {
        for (const std::string& line : readConsole(*reader))
            context.print(toQ(line));
        return 0;
    }
    g_stopFollowing = false;
    std::signal(SIGINT, onFollowInterrupt);
    std::signal(SIGTERM, onFollowInterrupt);
    ConsoleOutputFollower follower;
    const auto server = createProcessLauncher();
    bool first = true;
    while (!g_stopFollowing) {
        // Asked before the read: once the server has ended, that read holds the last of its output.
        const bool running = server->adopt();
        const auto lines = reader->recentLines(kConsoleOutputLines);
        if (!lines && (first || running))
            throw CliError(createServerConsole()->unavailableReason());
        first = false;
        for (const std::string& line : follower.update(lines.value_or(std::vector<std::string>())))
            context.print(toQ(line));
        std::fflush(context.out);
        if (!running) {
            // Its console shows nothing new from here on: following it further would only repeat the end.
            std::fprintf(context.err, "varno: %s\n", createServerConsole()->unavailableReason().c_str());
            return 0;
        }
        for (unsigned long waited = 0; waited < kFollowIntervalMs && !g_stopFollowing; waited += 50)
            QThread::msleep(50);
    }
    return 0;
}

} // namespace varno::cli
