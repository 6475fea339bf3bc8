#include "socket_address.h"

#include <optional>
#include <stdexcept>

namespace varno::standin {

namespace {

constexpr std::uint32_t kAnyAddress = 0;
constexpr std::uint32_t kLoopbackAddress = 0x7F000001;

// Four decimal parts of 0 to 255 without leading zeros, as inet_pton takes them.
std::optional<std::uint32_t> parseDottedQuad(const std::string& text)
{
    std::uint32_t address = 0;
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && (at >= text.size() || text[at++] != '.'))
            return std::nullopt;
        const std::size_t start = at;
        unsigned value = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 3)
            value = value * 10 + static_cast<unsigned>(text[at++] - '0');
        const std::size_t digits = at - start;
        if (digits == 0 || value > 255 || (digits > 1 && text[start] == '0'))
            return std::nullopt;
        address = (address << 8) | value;
    }
    if (at != text.size())
        return std::nullopt;
    return address;
}

} // namespace

std::string addressText(const SocketAddress& address, bool withPort)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += std::to_string((address.ip >> shift) & 0xFF);
        if (shift > 0)
            text += '.';
    }
    if (withPort)
        text += ':' + std::to_string(address.port);
    return text;
}

SocketAddress bindAddress(const std::string& ip, int port)
{
    SocketAddress address;
    if (ip.empty() || ip == "localhost") {
        address.ip = ip.empty() ? kAnyAddress : kLoopbackAddress;
    } else if (const std::optional<std::uint32_t> parsed = parseDottedQuad(ip)) {
        address.ip = *parsed;
    } else {
        throw std::runtime_error("net_ip is not an IPv4 address: " + ip);
    }
    if (port < 0 || port > 65535)
        throw std::runtime_error("net_port is out of range: " + std::to_string(port));
    address.port = static_cast<std::uint16_t>(port);
    return address;
}

} // namespace varno::standin
