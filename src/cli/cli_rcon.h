#pragma once

#include "cli/cli_context.h"
#include "core/lpb/rcon_pacer.h"

#include <string>
#include <string_view>
#include <vector>

namespace varno::cli {

inline constexpr int kDefaultWaitMs = 500;
// The exit code when nothing answered: the server may be down, or the command prints nothing.
inline constexpr int kNoReplyExitCode = 3;

// Where one rcon command goes, with its password, and how long its replies are waited for.
struct RconRequest {
    RconTarget target;
    std::string password;
    int waitMs = kDefaultWaitMs;
};

// Host, port and password from --host, --port, --password and --wait, or as the ZOZ Idaroz page stored them.
RconRequest rconRequest(QStringList& arguments);

// Sends one rcon command through the watcher's session and gives the replies that came back from the target
// within the wait, each joined from its datagrams.
std::vector<std::string> exchangeRcon(const RconRequest& request, std::string_view commandText);

// A reply's console text, without the four 0xFF bytes and "print".
std::string withoutPrintPrefix(const std::string& datagram);

} // namespace varno::cli
