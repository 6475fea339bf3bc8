#pragma once

#include <functional>
#include <optional>
#include <string>

namespace varno {

// Puts a launched server's console in front of the operator. On Windows the game opens its own console
// window; on Linux the console is a detached tmux session, shown in a terminal window attached to it.
class ConsoleWindowOpener {
public:
    virtual ~ConsoleWindowOpener() = default;

    struct Opening {
        bool started = false; // a window was started; whether it shows the console is asked with attached
        std::string message;  // for the status line: what the operator can do instead, or why it failed
    };
    virtual Opening open(const std::string& consoleName) = 0;
    // Whether a window shows the console now.
    virtual bool attached(const std::string& consoleName) = 0;
    // The command an operator types to see the console.
    virtual std::string attachCommand(const std::string& consoleName) const = 0;
};

// The terminal program to open, the first found of x-terminal-emulator, the one the TERMINAL variable names and
// xterm; none without a display (DISPLAY or WAYLAND_DISPLAY set).
std::optional<std::string> chooseTerminal(bool hasDisplay, const std::string& terminalVariable,
                                          const std::function<bool(const std::string&)>& isInstalled);

// "tmux -L socket attach -t NAME", with the name quoted for a shell when it needs it.
std::string tmuxAttachCommand(const std::string& socket, const std::string& session);

} // namespace varno
