#pragma once

#include "core/console/console_window.h"

namespace varno {

// Shows a console's tmux session in a terminal window of its own: x-terminal-emulator, the program TERMINAL
// names, or xterm, started with "-e tmux -L socket attach -t =NAME". Each console gets its own window.
class TerminalOpener : public ConsoleWindowOpener {
public:
    Opening open(const std::string& consoleName) override;
    // A tmux client shows the session.
    bool attached(const std::string& consoleName) override;
    std::string attachCommand(const std::string& consoleName) const override;
};

} // namespace varno
