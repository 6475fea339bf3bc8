#pragma once

#include <cstdint>
#include <string>

namespace varno::standin {

// An IPv4 address and port in host byte order, so that no system's socket header leaks into shared code.
struct SocketAddress {
    std::uint32_t ip = 0;
    std::uint16_t port = 0;
};

// "a.b.c.d", or "a.b.c.d:port" with the port.
std::string addressText(const SocketAddress& address, bool withPort);

// The address to bind net_ip and net_port to: empty means any address, "localhost" the loopback one, as in the
// engine. Throws std::runtime_error when the text is no dotted IPv4 address or the port is out of range.
SocketAddress bindAddress(const std::string& ip, int port);

} // namespace varno::standin
