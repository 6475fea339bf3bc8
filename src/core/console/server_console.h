#pragma once

#include <string>

namespace varno {

// The running game server's console as the console bridge reaches it: a window of class "Q3 WinConsole" on
// Windows, a tmux session of that name elsewhere. Nothing is remembered between calls: every call searches
// again, so a server restarted with a new console is reached as well.
class ServerConsole {
public:
    virtual ~ServerConsole() = default;

    // Whether a server console exists now.
    virtual bool exists() = 0;

    // Finds the console's input field and makes it the target of the keys played next. False when there is
    // no console, it has no input field, or the platform refuses the switch.
    virtual bool bringInputToForeground() = 0;

    // Why there is no console to type into, as the operator should read it: gone, or there but dead.
    virtual std::string unavailableReason() { return "no running server console was found"; }
};

} // namespace varno
