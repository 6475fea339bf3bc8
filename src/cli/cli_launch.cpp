#include "cli/cli_context.h"
#include "core/app/varno_error.h"
#include "core/launch/stored_launch_state.h"
#include "platform/file_writer.h"
#include "platform/qt_text.h"
#include "platform/services.h"
#include "platform/settings_factory.h"

#include <QDir>

#include <filesystem>

namespace varno::cli {

namespace {

constexpr const char* kGameNotFound =
    "Error: Quake3.exe not found!  In Properties, be sure to specify your Quake 3 Directory.";

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

int launchCommand(Context& context)
{
    refuseUnknownOptions(context.arguments);
    StoredLaunchState state = storedState(context);
    if (state.script.rotation.empty())
        throw CliError("You musts first select at least one map to use.");
    std::error_code error;
    std::filesystem::current_path(state.gameFolder, error);
    if (error)
        throw CliError(state.gameFolder + ": " + error.message());
    const std::string folder = std::filesystem::current_path().string();
    const std::string script = buildServerScript(state.script);
    const auto launcher = createProcessLauncher();
    const auto program = launcher->gameProgram(folder);
    state.commandLine.program = program.value_or(std::string(kWindowsGameProgram));
    const std::string line = buildCommandLine(state.commandLine);
    writeFileAtomically(QDir(toQ(folder)).filePath(QStringLiteral("baseq3/vrn2data.cfg")),
                        QByteArray::fromStdString(script), FileAccess::OwnerOnly);
    if (!program)
        throw CliError(kGameNotFound);
    const LaunchOutcome outcome = launcher->start(folder, line);
    if (outcome.exitCode < 0)
        throw CliError(outcome.problem.empty() ? kGameNotFound : outcome.problem);
    context.printRaw(outcome.consoleName + "\n");
    return 0;
}

} // namespace varno::cli
