#pragma once

#include <netinet/in.h>

#include <optional>
#include <string>
#include <string_view>

namespace varno::standin {

struct Datagram {
    std::string payload;
    sockaddr_in sender{};
};

// "a.b.c.d", or "a.b.c.d:port" with the port.
std::string addressText(const sockaddr_in& address, bool withPort);

// The server's non-blocking IPv4 UDP socket.
class UdpSocket {
public:
    // Binds to the dotted address (empty or "localhost" are taken as in the engine) and port; port 0 picks a free
    // one. Throws std::runtime_error with the reason when that fails.
    UdpSocket(const std::string& ip, int port);
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    int descriptor() const { return m_fd; }
    const sockaddr_in& boundAddress() const { return m_bound; }

    // The next waiting datagram, or nullopt when none waits.
    std::optional<Datagram> receive();
    void send(const sockaddr_in& to, std::string_view payload);

private:
    int m_fd = -1;
    sockaddr_in m_bound{};
};

} // namespace varno::standin
