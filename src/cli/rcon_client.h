#pragma once

#include <QString>

#include <string>
#include <vector>

namespace varno::cli {

struct RconTarget {
    QString host;
    int port = 27960;
    std::string password;
    int waitMs = 500;
};

// Sends one rcon command (its text begins with a blank) and returns every datagram that came back from
// the target within the wait, in arrival order. Throws CliError when the host cannot be found or the
// datagram cannot be sent.
std::vector<std::string> exchangeRcon(const RconTarget& target, const std::string& commandText);

} // namespace varno::cli
