#pragma once

#include "core/console/server_console.h"

namespace varno {

// The server console on Windows: the top-level window of class "Q3 WinConsole", whatever its title, and its
// first child of class "Edit" as the input field. Both are looked up again on every call.
class WinConsole : public ServerConsole {
public:
    bool exists() override;
    bool bringInputToForeground() override;
};

} // namespace varno
