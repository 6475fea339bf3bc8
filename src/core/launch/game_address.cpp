#include "core/launch/game_address.h"

#include "core/launch/command_line.h"

#include <charconv>
#include <vector>

namespace varno {

std::string GameAddress::reachableIp() const
{
    if (ip.empty() || ip == "0.0.0.0" || ip == "localhost")
        return "127.0.0.1";
    return ip;
}

GameAddress gameAddressOf(std::string_view commandLine)
{
    GameAddress address;
    const std::vector<std::string> arguments = splitCommandLine(commandLine);
    for (std::size_t i = 0; i + 2 < arguments.size(); ++i) {
        const std::string& command = arguments[i];
        if (command != "+set" && command != "+seta")
            continue;
        const std::string& value = arguments[i + 2];
        if (arguments[i + 1] == "net_port") {
            int port = 0;
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), port);
            // The engine reads a number's leading digits, as atoi does.
            address.port = error == std::errc() && end != value.data() ? port : 0;
        } else if (arguments[i + 1] == "net_ip") {
            address.ip = value;
        }
    }
    return address;
}

} // namespace varno
