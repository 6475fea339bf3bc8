#include "udp_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace varno::standin {

namespace {

constexpr std::size_t kMaxDatagramSize = 65536;

std::runtime_error socketError(const std::string& what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}

} // namespace

std::string addressText(const sockaddr_in& address, bool withPort)
{
    char ip[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, ip, sizeof ip);
    std::string text = ip;
    if (withPort)
        text += ':' + std::to_string(ntohs(address.sin_port));
    return text;
}

UdpSocket::UdpSocket(const std::string& ip, int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (ip.empty() || ip == "localhost") {
        address.sin_addr.s_addr = htonl(ip.empty() ? INADDR_ANY : INADDR_LOOPBACK);
    } else if (inet_pton(AF_INET, ip.c_str(), &address.sin_addr) != 1) {
        throw std::runtime_error("net_ip is not an IPv4 address: " + ip);
    }
    if (port < 0 || port > 65535)
        throw std::runtime_error("net_port is out of range: " + std::to_string(port));

    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        throw socketError("socket");
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const std::runtime_error error = socketError("bind " + addressText(address, true));
        ::close(m_fd);
        throw error;
    }
    socklen_t length = sizeof m_bound;
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&m_bound), &length);
}

UdpSocket::~UdpSocket()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::optional<Datagram> UdpSocket::receive()
{
    Datagram datagram;
    datagram.payload.resize(kMaxDatagramSize);
    socklen_t length = sizeof datagram.sender;
    const ssize_t received = ::recvfrom(m_fd, datagram.payload.data(), datagram.payload.size(), 0,
                                        reinterpret_cast<sockaddr*>(&datagram.sender), &length);
    if (received < 0)
        return std::nullopt;
    datagram.payload.resize(static_cast<std::size_t>(received));
    return datagram;
}

void UdpSocket::send(const sockaddr_in& to, std::string_view payload)
{
    // A reply that cannot be sent is lost, as any UDP reply may be.
    ::sendto(m_fd, payload.data(), payload.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

} // namespace varno::standin
