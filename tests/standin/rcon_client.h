#pragma once

#include <netinet/in.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace varno::test {

// Four 0xFF bytes, "rcon ", the password and the command text exactly as given (the panel's texts begin with a
// blank).
std::string rconPayload(std::string_view password, std::string_view command);

// The console text of "print" reply datagrams, their headers removed, joined in arrival order.
std::string printText(const std::vector<std::string>& datagrams);

// A minimal UDP client for talking to the stand-in over loopback.
class RconClient {
public:
    static constexpr std::chrono::milliseconds kFirstReplyWait{3000};
    // Datagrams of one reply leave the server back to back; a pause this long ends the reply.
    static constexpr std::chrono::milliseconds kReplyGap{150};

    // `localAddress` picks the sender address (any of 127.0.0.0/8 works on loopback).
    explicit RconClient(int serverPort, const std::string& localAddress = "127.0.0.1");
    ~RconClient();
    RconClient(const RconClient&) = delete;
    RconClient& operator=(const RconClient&) = delete;

    void send(std::string_view payload);
    // Every datagram that arrives within `firstWait` and then with no gap longer than `gap`; empty when none came.
    std::vector<std::string> collect(std::chrono::milliseconds firstWait = kFirstReplyWait,
                                     std::chrono::milliseconds gap = kReplyGap);
    std::vector<std::string> exchange(std::string_view payload, std::chrono::milliseconds firstWait = kFirstReplyWait);
    // Sends an rcon command and gives the reply's console text.
    std::string rcon(std::string_view password, std::string_view command);

private:
    int m_fd = -1;
    sockaddr_in m_server{};
};

} // namespace varno::test
