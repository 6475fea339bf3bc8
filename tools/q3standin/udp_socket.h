#pragma once

#include "socket_address.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varno::standin {

struct Datagram {
    std::string payload;
    SocketAddress sender;
};

// How the classic engine reports a port it cannot bind; the reason the system gives follows it.
extern const std::string_view kClassicBindFailure;

// The server's non-blocking IPv4 UDP socket, one implementation per system.
class UdpSocket {
public:
    // Binds to the dotted address (empty or "localhost" are taken as in the engine) and port; port 0 picks a free
    // one. Throws std::runtime_error when that fails, the system's reason after the last ": ".
    UdpSocket(const std::string& ip, int port);
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // What the main loop waits on for datagrams: the descriptor on POSIX, an event object (HANDLE) on Windows.
    std::intptr_t waitHandle() const { return m_waitHandle; }
    const SocketAddress& boundAddress() const { return m_bound; }

    // The next waiting datagram, or nullopt when none waits.
    std::optional<Datagram> receive();
    void send(const SocketAddress& to, std::string_view payload);

private:
    std::intptr_t m_socket = -1;
    std::intptr_t m_waitHandle = -1;
    SocketAddress m_bound;
};

} // namespace varno::standin
