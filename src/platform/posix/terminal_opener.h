#pragma once

#include "core/console/console_window.h"

#include <QString>

namespace varno {

// Shows a console's tmux session in a terminal window of its own: x-terminal-emulator, the program TERMINAL
// names, or xterm, started with "-e tmux -L socket attach -t =NAME". Each console gets its own window.
class TerminalOpener : public ConsoleWindowOpener {
public:
    // For the consoles of the server selected now, whichever is selected when they are shown.
    TerminalOpener();
    Opening open(const std::string& consoleName) override;
    // A tmux client shows the session.
    bool attached(const std::string& consoleName) override;
    std::string attachCommand(const std::string& consoleName) const override;

private:
    QString m_socket;
};

} // namespace varno
