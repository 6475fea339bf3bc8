#include "udp_socket.h"

#include "native_address.h"

#include <stdexcept>

namespace varno::standin {

// The classic engine warns on Windows where its Unix build reports an error.
const std::string_view kClassicBindFailure = "WARNING: UDP_OpenSocket: bind: ";

namespace {

constexpr std::size_t kMaxDatagramSize = 65536;

struct WinsockErrorName {
    int code;
    const char* name;
};
// The engines name Winsock's errors by their constants, not by the system's message text.
constexpr WinsockErrorName kWinsockErrorNames[] = {
    {WSAEINTR, "WSAEINTR"},
    {WSAEBADF, "WSAEBADF"},
    {WSAEACCES, "WSAEACCES"},
    {WSAEDISCON, "WSAEDISCON"},
    {WSAEFAULT, "WSAEFAULT"},
    {WSAEINVAL, "WSAEINVAL"},
    {WSAEMFILE, "WSAEMFILE"},
    {WSAEWOULDBLOCK, "WSAEWOULDBLOCK"},
    {WSAEINPROGRESS, "WSAEINPROGRESS"},
    {WSAEALREADY, "WSAEALREADY"},
    {WSAENOTSOCK, "WSAENOTSOCK"},
    {WSAEDESTADDRREQ, "WSAEDESTADDRREQ"},
    {WSAEMSGSIZE, "WSAEMSGSIZE"},
    {WSAEPROTOTYPE, "WSAEPROTOTYPE"},
    {WSAENOPROTOOPT, "WSAENOPROTOOPT"},
    {WSAEPROTONOSUPPORT, "WSAEPROTONOSUPPORT"},
    {WSAESOCKTNOSUPPORT, "WSAESOCKTNOSUPPORT"},
    {WSAEOPNOTSUPP, "WSAEOPNOTSUPP"},
    {WSAEPFNOSUPPORT, "WSAEPFNOSUPPORT"},
    {WSAEAFNOSUPPORT, "WSAEAFNOSUPPORT"},
    {WSAEADDRINUSE, "WSAEADDRINUSE"},
    {WSAEADDRNOTAVAIL, "WSAEADDRNOTAVAIL"},
    {WSAENETDOWN, "WSAENETDOWN"},
    {WSAENETUNREACH, "WSAENETUNREACH"},
    {WSAENETRESET, "WSAENETRESET"},
    {WSAECONNABORTED, "WSAECONNABORTED"},
    {WSAECONNRESET, "WSAECONNRESET"},
    {WSAENOBUFS, "WSAENOBUFS"},
    {WSAEISCONN, "WSAEISCONN"},
    {WSAENOTCONN, "WSAENOTCONN"},
    {WSAESHUTDOWN, "WSAESHUTDOWN"},
    {WSAETOOMANYREFS, "WSAETOOMANYREFS"},
    {WSAETIMEDOUT, "WSAETIMEDOUT"},
    {WSAECONNREFUSED, "WSAECONNREFUSED"},
    {WSAELOOP, "WSAELOOP"},
    {WSAENAMETOOLONG, "WSAENAMETOOLONG"},
    {WSAEHOSTDOWN, "WSAEHOSTDOWN"},
    {WSASYSNOTREADY, "WSASYSNOTREADY"},
    {WSAVERNOTSUPPORTED, "WSAVERNOTSUPPORTED"},
    {WSANOTINITIALISED, "WSANOTINITIALISED"},
};

std::runtime_error socketError(const std::string& what, int code)
{
    const char* name = "NO ERROR";
    for (const WinsockErrorName& entry : kWinsockErrorNames) {
        if (entry.code == code)
            name = entry.name;
    }
    return std::runtime_error(what + ": " + name);
}

// Winsock is started once and kept for the process's life.
void startWinsock()
{
    static const int result = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data);
    }();
    if (result != 0)
        throw socketError("WSAStartup", result);
}

SOCKET nativeSocket(std::intptr_t handle)
{
    return static_cast<SOCKET>(handle);
}

WSAEVENT nativeEvent(std::intptr_t handle)
{
    return reinterpret_cast<WSAEVENT>(handle);
}

} // namespace

UdpSocket::UdpSocket(const std::string& ip, int port)
{
    const SocketAddress wanted = bindAddress(ip, port);
    startWinsock();
    const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (socket == INVALID_SOCKET)
        throw socketError("socket", WSAGetLastError());
    const sockaddr_in address = toSockaddr(wanted);
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == SOCKET_ERROR) {
        const std::runtime_error error = socketError("bind " + addressText(wanted, true), WSAGetLastError());
        closesocket(socket);
        throw error;
    }
    // The event makes the socket non-blocking and is what the message loop waits on beside the window's messages.
    const WSAEVENT event = WSACreateEvent();
    if (event == WSA_INVALID_EVENT || WSAEventSelect(socket, event, FD_READ) == SOCKET_ERROR) {
        const std::runtime_error error = socketError("WSAEventSelect", WSAGetLastError());
        if (event != WSA_INVALID_EVENT)
            WSACloseEvent(event);
        closesocket(socket);
        throw error;
    }
    sockaddr_in bound{};
    int length = sizeof bound;
    getsockname(socket, reinterpret_cast<sockaddr*>(&bound), &length);
    m_bound = fromSockaddr(bound);
    m_socket = static_cast<std::intptr_t>(socket);
    m_waitHandle = reinterpret_cast<std::intptr_t>(event);
}

UdpSocket::~UdpSocket()
{
    closesocket(nativeSocket(m_socket));
    WSACloseEvent(nativeEvent(m_waitHandle));
}

std::optional<Datagram> UdpSocket::receive()
{
    // Reset before reading: a datagram that arrives after the read that finds none sets the event again.
    WSAResetEvent(nativeEvent(m_waitHandle));
    Datagram datagram;
    datagram.payload.resize(kMaxDatagramSize);
    for (;;) {
        sockaddr_in sender{};
        int length = sizeof sender;
        const int received =
            recvfrom(nativeSocket(m_socket), datagram.payload.data(), static_cast<int>(datagram.payload.size()), 0,
                     reinterpret_cast<sockaddr*>(&sender), &length);
        if (received == SOCKET_ERROR) {
            // A port unreachable answer to an earlier reply comes back as this error; the engine skips it too.
            if (WSAGetLastError() == WSAECONNRESET)
                continue;
            return std::nullopt;
        }
        datagram.payload.resize(static_cast<std::size_t>(received));
        datagram.sender = fromSockaddr(sender);
        return datagram;
    }
}

void UdpSocket::send(const SocketAddress& to, std::string_view payload)
{
    // A reply that cannot be sent is lost, as any UDP reply may be.
    const sockaddr_in address = toSockaddr(to);
    sendto(nativeSocket(m_socket), payload.data(), static_cast<int>(payload.size()), 0,
           reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

} // namespace varno::standin
