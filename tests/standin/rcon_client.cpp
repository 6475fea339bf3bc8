#include "standin/rcon_client.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace varno::test {

namespace {

constexpr std::string_view kHeader = "\xff\xff\xff\xff";
constexpr std::string_view kPrintHeader = "\xff\xff\xff\xffprint\n";

sockaddr_in loopbackAddress(const std::string& ip, int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (inet_pton(AF_INET, ip.c_str(), &address.sin_addr) != 1)
        throw std::runtime_error("not an IPv4 address: " + ip);
    return address;
}

} // namespace

std::string rconPayload(std::string_view password, std::string_view command)
{
    return std::string(kHeader) + "rcon " + std::string(password) + std::string(command);
}

std::string printText(const std::vector<std::string>& datagrams)
{
    std::string text;
    for (const std::string& datagram : datagrams) {
        if (datagram.compare(0, kPrintHeader.size(), kPrintHeader) == 0)
            text += datagram.substr(kPrintHeader.size());
    }
    return text;
}

RconClient::RconClient(int serverPort, const std::string& localAddress)
    : m_server(loopbackAddress("127.0.0.1", serverPort))
{
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    const sockaddr_in local = loopbackAddress(localAddress, 0);
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        const std::string reason = std::strerror(errno);
        ::close(m_fd);
        throw std::runtime_error("bind " + localAddress + ": " + reason);
    }
}

RconClient::~RconClient()
{
    ::close(m_fd);
}

void RconClient::send(std::string_view payload)
{
    if (::sendto(m_fd, payload.data(), payload.size(), 0, reinterpret_cast<const sockaddr*>(&m_server),
                 sizeof m_server) != static_cast<ssize_t>(payload.size()))
        throw std::runtime_error(std::string("sendto: ") + std::strerror(errno));
}

std::vector<std::string> RconClient::collect(std::chrono::milliseconds firstWait, std::chrono::milliseconds gap)
{
    std::vector<std::string> datagrams;
    std::chrono::milliseconds wait = firstWait;
    while (true) {
        pollfd fd{m_fd, POLLIN, 0};
        const int ready = ::poll(&fd, 1, static_cast<int>(wait.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return datagrams;
        std::string datagram(65536, '\0');
        const ssize_t size = ::recv(m_fd, datagram.data(), datagram.size(), 0);
        if (size < 0)
            return datagrams;
        datagram.resize(static_cast<std::size_t>(size));
        datagrams.push_back(std::move(datagram));
        wait = gap;
    }
}

std::vector<std::string> RconClient::exchange(std::string_view payload, std::chrono::milliseconds firstWait)
{
    send(payload);
    return collect(firstWait);
}

std::string RconClient::rcon(std::string_view password, std::string_view command)
{
    return printText(exchange(rconPayload(password, command)));
}

} // namespace varno::test
