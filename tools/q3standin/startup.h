#pragma once

#include "server.h"
#include "udp_socket.h"

#include <memory>
#include <string>
#include <vector>

namespace varno::standin {

struct StartedServer {
    // Null when no port could be bound.
    std::unique_ptr<UdpSocket> socket;
    // The fatal error that stops the server before its loop; empty when it runs.
    std::string fatalError;
};

// What both systems' mains do before their loops: the banner, the command line's "set" commands, the game port
// and then the queue of the command line's other commands.
StartedServer startServer(Server& server, const std::vector<std::string>& commands);

// What both loops do when the game port is ready: every waiting datagram goes to the server, and the commands it
// queued run before the next one is read, until none waits or the server quits.
void serveWaitingDatagrams(Server& server, UdpSocket& socket);

} // namespace varno::standin
