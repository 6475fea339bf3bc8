#pragma once

#include "cli/cli_context.h"
#include "core/settings/server_model.h"
#include "drive/launch_driver.h"

#include <string>
#include <vector>

namespace varno::cli {

// The values a launch reads, as the panel's start-up loader puts them in effect from the stored settings; what the
// loader would have complained of is warned of on standard error.
ServerModel launchModel(const Context& context);

// Throws CliError for a launch that stopped before its server ran.
void refuseStoppedLaunch(const LaunchReport& report);

// Prints a stop's message and the console's last lines on standard error, "varno: " first.
void printServerLines(const Context& context, const std::string& message, const std::vector<std::string>& lines);

} // namespace varno::cli
