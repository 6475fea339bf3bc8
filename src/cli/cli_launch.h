#pragma once

#include "cli/cli_context.h"
#include "core/launch/process_launcher.h"

#include <memory>
#include <string>

namespace varno::cli {

// A launch made ready from the stored settings: the script written, the command line built.
struct PreparedLaunch {
    std::string folder;
    std::string commandLine;
    std::unique_ptr<ProcessLauncher> launcher;
};

// Checks the stored settings, writes the server script and builds the command line, as the panel's launch does.
// Throws CliError for what stops the launch.
PreparedLaunch prepareLaunch(Context& context);

// Prints a stop's message and the console's last lines on standard error, "varno: " first.
void printServerLines(const Context& context, const std::string& message, const std::vector<std::string>& lines);

} // namespace varno::cli
