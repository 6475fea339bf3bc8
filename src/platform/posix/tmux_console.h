#pragma once

#include "core/console/server_console.h"

namespace varno {

// The server console on Linux: the first tmux session on the panel's socket whose name begins with the
// console class and whose pane still runs a process. A server started by hand in such a session is found
// just as one the panel launched. Its pane is the input field.
class TmuxConsole : public ServerConsole {
public:
    bool exists() override;
    // Makes the live console's session the one the key injector types into.
    bool bringInputToForeground() override;
    // Names a console whose server has ended, whose pane stays until the next launch.
    std::string unavailableReason() override;
};

} // namespace varno
