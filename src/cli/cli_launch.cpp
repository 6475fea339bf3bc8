#include "cli/cli_context.h"
#include "core/app/varno_error.h"
#include "core/launch/engine_program.h"
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

// The game program for the command line: quake3.exe on Windows, the engine found in the game folder
// elsewhere (nothing when there is none).
std::optional<std::string> gameProgram(const std::string& gameFolder)
{
#ifdef _WIN32
    (void)gameFolder;
    return std::string(kWindowsGameProgram);
#else
    if (const auto found = findEngineProgram(gameFolder))
        return found->filename().string();
    return std::nullopt;
#endif
}

} // namespace

int scriptCommand(Context& context)
{
    refuseUnknownOptions(context.arguments);
    context.printRaw(buildServerScript(storedState(context).script));
    return 0;
}

int cmdlineCommand(Context& context)
{
    refuseUnknownOptions(context.arguments);
    StoredLaunchState state = storedState(context);
    state.commandLine.program = gameProgram(state.gameFolder).value_or(std::string(kWindowsGameProgram));
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
    const auto program = gameProgram(folder);
    state.commandLine.program = program.value_or(std::string(kWindowsGameProgram));
    const std::string line = buildCommandLine(state.commandLine);
    writeFileAtomically(QDir(toQ(folder)).filePath(QStringLiteral("baseq3/vrn2data.cfg")),
                        QByteArray::fromStdString(script));
    if (!program)
        throw CliError(kGameNotFound);
    const LaunchOutcome outcome = createProcessLauncher()->start(folder, line);
    if (outcome.exitCode < 0)
        throw CliError(outcome.problem.empty() ? kGameNotFound : outcome.problem);
    context.printRaw(outcome.consoleName + "\n");
    return 0;
}

} // namespace varno::cli
