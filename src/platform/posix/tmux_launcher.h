#pragma once

#include "core/launch/process_launcher.h"

namespace varno {

// Starts the game in a detached tmux session on the panel's own socket: the session plays the part of
// the game's console window, and the operator watches it with `tmux -L varno attach`.
class TmuxLauncher : public ProcessLauncher {
public:
    std::optional<std::string> gameProgram(const std::string& gameFolder) const override;
    LaunchOutcome start(const std::string& gameFolder, const std::string& commandLine) override;
};

} // namespace varno
