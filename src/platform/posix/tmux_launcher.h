#pragma once

#include "core/launch/process_launcher.h"

#include <QElapsedTimer>
#include <QString>

namespace varno {

// Starts the game in a detached tmux session on the panel's own socket: the session plays the part of
// the game's console window, and the operator watches it with `tmux -L varno attach`.
class TmuxLauncher : public ProcessLauncher {
public:
    std::optional<std::string> gameProgram(const std::string& gameFolder) const override;
    LaunchOutcome start(const std::string& gameFolder, const std::string& commandLine) override;
    ServerState poll() override;
    std::string consoleText() override;
    bool adopt() override;
    bool stop(std::chrono::milliseconds grace) override;

private:
    QString m_session;         // the console of the server started or adopted last
    QElapsedTimer m_deadSince; // since its pane was seen dead without an exit status
};

} // namespace varno
