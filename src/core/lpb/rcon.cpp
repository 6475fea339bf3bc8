#include "core/lpb/rcon.h"

namespace varno {

namespace {

constexpr std::string_view kDatagramStart = "\xff\xff\xff\xffrcon ";
constexpr std::string_view kAnnouncementStart = " say ^2V^4a^2r^4n^2o^7: ";
constexpr std::string_view kKickStart = " kick ";
constexpr int kCycleSteps = 5;

} // namespace

std::string rconDatagram(std::string_view password, std::string_view commandText)
{
    std::string datagram;
    datagram.reserve(kDatagramStart.size() + password.size() + commandText.size());
    datagram.append(kDatagramStart).append(password).append(commandText);
    return datagram;
}

std::string lpbAnnouncementCommand(std::string_view msg1, const PlayerRecord& player, std::string_view msg2)
{
    std::string command(kAnnouncementStart);
    command.append(msg1).append(player.name).append(msg2);
    return command;
}

std::string kickCommand(const PlayerRecord& player)
{
    return std::string(kKickStart) + player.clientNumber;
}

std::string rconHost(bool workOnLocalhost, std::string_view remoteHostText)
{
    return std::string(workOnLocalhost ? kRconLocalHost : remoteHostText);
}

int selectRconPort(int cycleValue, const RconPorts& ports)
{
    if (cycleValue == 2 && ports.port2 > 0)
        return ports.port2;
    if (cycleValue == 3 && ports.port3 > 0)
        return ports.port3;
    if (cycleValue == 4 && ports.port4 > 0)
        return ports.port4;
    return ports.mainPort;
}

int PortCycleCounter::currentPort(const RconPorts& ports) const
{
    return selectRconPort(m_value, ports);
}

int PortCycleCounter::pollPort(const RconPorts& ports)
{
    const int port = currentPort(ports);
    m_value = (m_value + 1) % kCycleSteps;
    return port;
}

} // namespace varno
