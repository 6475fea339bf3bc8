#include "udp_socket.h"

#include "native_address.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace varno::standin {

const std::string_view kClassicBindFailure = "ERROR: UDP_OpenSocket: bind: ";

namespace {

constexpr std::size_t kMaxDatagramSize = 65536;

std::runtime_error socketError(const std::string& what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}

} // namespace

UdpSocket::UdpSocket(const std::string& ip, int port)
{
    const SocketAddress wanted = bindAddress(ip, port);
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw socketError("socket");
    const sockaddr_in address = toSockaddr(wanted);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const std::runtime_error error = socketError("bind " + addressText(wanted, true));
        ::close(fd);
        throw error;
    }
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
    m_bound = fromSockaddr(bound);
    m_socket = fd;
    m_waitHandle = fd;
}

UdpSocket::~UdpSocket()
{
    if (m_socket >= 0)
        ::close(static_cast<int>(m_socket));
}

std::optional<Datagram> UdpSocket::receive()
{
    Datagram datagram;
    datagram.payload.resize(kMaxDatagramSize);
    sockaddr_in sender{};
    socklen_t length = sizeof sender;
    const ssize_t received = ::recvfrom(static_cast<int>(m_socket), datagram.payload.data(), datagram.payload.size(), 0,
                                        reinterpret_cast<sockaddr*>(&sender), &length);
    if (received < 0)
        return std::nullopt;
    datagram.payload.resize(static_cast<std::size_t>(received));
    datagram.sender = fromSockaddr(sender);
    return datagram;
}

void UdpSocket::send(const SocketAddress& to, std::string_view payload)
{
    // A reply that cannot be sent is lost, as any UDP reply may be.
    const sockaddr_in address = toSockaddr(to);
    ::sendto(static_cast<int>(m_socket), payload.data(), payload.size(), 0, reinterpret_cast<const sockaddr*>(&address),
             sizeof address);
}

} // namespace varno::standin
