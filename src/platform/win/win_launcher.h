#pragma once

#include "core/launch/engine_names.h"
#include "core/launch/process_launcher.h"

#include <memory>

namespace varno {

class WinProcess;

// Starts the game with CreateProcessA in a new console window of its own, and keeps its process handle to learn
// how it ended.
class WinLauncher : public ProcessLauncher {
public:
    WinLauncher();
    ~WinLauncher() override;

    std::optional<std::string> gameProgram(const std::string& gameFolder) const override;
    LaunchOutcome start(const std::string& gameFolder, const std::string& commandLine) override;
    ServerState poll() override;
    std::string consoleText() override;
    bool adopt() override;
    bool stop(std::chrono::milliseconds grace) override;

private:
    std::unique_ptr<WinProcess> m_process;
    bool m_stopRequested = false;
};

} // namespace varno
