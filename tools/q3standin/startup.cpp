#include "startup.h"

#include <stdexcept>

namespace varno::standin {

namespace {

constexpr std::string_view kBanner = "q3standin: Quake 3 dedicated server stand-in\n";
constexpr std::string_view kNoPortError = "Couldn't allocate IP port";

bool classicEngine(const Server& server)
{
    const std::string layout = server.cvars().value("standin_status");
    return layout != "ioq3" && layout != "quake3e";
}

// Like the engines, a taken port is not the end: the next nine are tried, so that several servers can start with
// one net_port. When all ten are taken, the classic server stops with a fatal error; ioquake3 and Quake3e warn
// and run on without a game port.
std::unique_ptr<UdpSocket> openGamePort(Server& server)
{
    const bool classic = classicEngine(server);
    const int port = server.cvars().integer("net_port");
    const int tries = port == 0 ? 1 : 10;
    for (int i = 0; i < tries; ++i) {
        try {
            return std::make_unique<UdpSocket>(server.cvars().value("net_ip"), port + i);
        } catch (const std::runtime_error& error) {
            // The engines print the system's reason alone.
            std::string reason = error.what();
            if (const std::size_t colon = reason.rfind(": "); colon != std::string::npos)
                reason.erase(0, colon + 2);
            server.print(std::string(classic ? kClassicBindFailure : "WARNING: NET_IPSocket: bind: ") + reason + '\n');
        }
    }
    if (!classic)
        server.print("WARNING: Couldn't bind to a v4 ip address.\n");
    return nullptr;
}

} // namespace

StartedServer startServer(Server& server, const std::vector<std::string>& commands)
{
    server.print(kBanner);
    server.applyStartupSettings(commands);

    StartedServer started;
    started.socket = openGamePort(server);
    if (started.socket) {
        const SocketAddress& bound = started.socket->boundAddress();
        server.setListenAddress(addressText(bound, false), bound.port);
    } else if (classicEngine(server)) {
        started.fatalError = kNoPortError;
        return started;
    }
    server.queueStartupCommands(commands);
    return started;
}

void serveWaitingDatagrams(Server& server, UdpSocket& socket)
{
    while (const std::optional<Datagram> datagram = socket.receive()) {
        const SocketAddress sender = datagram->sender;
        server.handlePacket(datagram->payload, addressText(sender, false), addressText(sender, true),
                            [&socket, &sender](std::string_view reply) { socket.send(sender, reply); });
        server.runCommandBuffer();
        if (server.quitRequested())
            break;
    }
}

} // namespace varno::standin
