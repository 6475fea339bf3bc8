#pragma once

#include <string>
#include <string_view>

namespace varno {

// Where the started server will listen, as its command line says: the last "+set net_port" and "+set net_ip"
// (the operator's extra text comes after the panel's own port, and the engine takes the last). Without them the
// engine's defaults: port 27960 on every address.
struct GameAddress {
    std::string ip;
    int port = 27960;
    // The address a local client reaches it at: loopback when it listens on every address.
    std::string reachableIp() const;
};

GameAddress gameAddressOf(std::string_view commandLine);

} // namespace varno
