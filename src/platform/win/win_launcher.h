#pragma once

#include "core/launch/engine_names.h"
#include "core/launch/process_launcher.h"
#include "platform/win/win_run_record.h"

#include <memory>

namespace varno {

class WinProcess;

// Starts the game with CreateProcessA in a new console window of its own, and keeps its process handle to learn
// how it ended. The game it starts or adopts is recorded as its server's at the place, so that a console bridge or
// a later launcher of that server finds it among other servers' games.
class WinLauncher : public ProcessLauncher {
public:
    explicit WinLauncher(RunRecordPlaceSource place = {});
    ~WinLauncher() override;

    std::optional<std::string> gameProgram(const std::string& gameFolder) const override;
    LaunchOutcome start(const std::string& gameFolder, const std::string& commandLine) override;
    ServerState poll() override;
    std::string consoleText() override;
    bool adopt() override;
    bool stop(std::chrono::milliseconds grace) override;

private:
    RunRecordPlace place() const;
    void record(const WinProcess& process) const;

    RunRecordPlaceSource m_place;
    std::unique_ptr<WinProcess> m_process;
    bool m_stopRequested = false;
};

} // namespace varno
