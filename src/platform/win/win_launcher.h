#pragma once

#include "core/launch/engine_names.h"
#include "core/launch/process_launcher.h"

namespace varno {

// Starts the game with CreateProcessA in a new console window of its own.
class WinLauncher : public ProcessLauncher {
public:
    std::optional<std::string> gameProgram(const std::string& gameFolder) const override;
    LaunchOutcome start(const std::string& gameFolder, const std::string& commandLine) override;
};

} // namespace varno
