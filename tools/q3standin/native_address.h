#pragma once

#include "socket_address.h"

// The system's own IPv4 address structure, and its translation to and from ours.
#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#endif

namespace varno::standin {

inline sockaddr_in toSockaddr(const SocketAddress& address)
{
    sockaddr_in native{};
    native.sin_family = AF_INET;
    native.sin_addr.s_addr = htonl(address.ip);
    native.sin_port = htons(address.port);
    return native;
}

inline SocketAddress fromSockaddr(const sockaddr_in& native)
{
    return {ntohl(native.sin_addr.s_addr), ntohs(native.sin_port)};
}

} // namespace varno::standin
