// q3standin: a stand-in for a Quake 3 dedicated server. One thread, one poll() loop over the console input, the
// game port and the signals that end it.

#include "command_line.h"
#include "server.h"
#include "tty_console.h"
#include "udp_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using varno::standin::Server;
using varno::standin::TtyConsole;
using varno::standin::UdpSocket;

int g_signalPipe[2] = {-1, -1};

extern "C" void onSignal(int number)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    errno = savedErrno;
}

bool installSignalHandlers()
{
    if (::pipe2(g_signalPipe, O_NONBLOCK | O_CLOEXEC) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    std::signal(SIGPIPE, SIG_IGN);
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

// Splits what arrives on standard input into console lines. On a terminal the console edits its own line, as
// the engine's does; from a pipe or file it reads plain lines.
class ConsoleInput {
public:
    explicit ConsoleInput(Server& server)
        : m_server(server)
        , m_terminal(::isatty(STDIN_FILENO) == 1)
        , m_tty(STDIN_FILENO, STDOUT_FILENO, [&server](std::string& line) { server.completeLine(line); })
    {
        if (m_tty.active())
            server.output().setLineGuard([this] { m_tty.hide(); }, [this](bool lineEnded) { m_tty.show(lineEnded); });
    }

    ~ConsoleInput()
    {
        m_server.output().setLineGuard(nullptr, nullptr);
    }

    bool open() const { return m_open; }

    void readAvailable()
    {
        char chunk[4096];
        const ssize_t count = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (count < 0) {
            if (errno != EINTR && errno != EAGAIN)
                m_open = false;
            return;
        }
        if (count == 0) {
            // End of input does not end the server. A terminal's end of input (Ctrl-D) passes, a pipe's is final.
            flushPartialLine();
            m_open = m_terminal;
            return;
        }
        if (m_tty.active()) {
            for (const std::string& line : m_tty.feed(std::string(chunk, static_cast<std::size_t>(count)))) {
                if (m_server.quitRequested())
                    break;
                m_server.addTypedLine(line);
                m_server.runCommandBuffer();
            }
            return;
        }
        m_pending.append(chunk, static_cast<std::size_t>(count));
        std::size_t end;
        while (!m_server.quitRequested() && (end = m_pending.find('\n')) != std::string::npos) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            enter(line);
        }
    }

private:
    // Each line runs before the next is shown, so that the console reads like a conversation.
    void enter(const std::string& line)
    {
        m_server.addConsoleLine(line);
        m_server.runCommandBuffer();
    }

    void flushPartialLine()
    {
        if (!m_pending.empty() && !m_server.quitRequested())
            enter(m_pending);
        m_pending.clear();
    }

    Server& m_server;
    bool m_terminal;
    TtyConsole m_tty;
    bool m_open = true;
    std::string m_pending;
};

bool classicEngine(const Server& server)
{
    const std::string layout = server.cvars().value("standin_status");
    return layout != "ioq3" && layout != "quake3e";
}

// Like the engines, a taken port is not the end: the next nine are tried, so that several servers can start with
// one net_port. When all ten are taken, the classic server stops with a fatal error; ioquake3 and Quake3e warn
// and run on without a game port.
std::unique_ptr<UdpSocket> openGamePort(Server& server)
{
    const bool classic = classicEngine(server);
    const int port = server.cvars().integer("net_port");
    const int tries = port == 0 ? 1 : 10;
    for (int i = 0; i < tries; ++i) {
        try {
            return std::make_unique<UdpSocket>(server.cvars().value("net_ip"), port + i);
        } catch (const std::runtime_error& error) {
            // The engines print the system's reason alone.
            std::string reason = error.what();
            if (const std::size_t colon = reason.rfind(": "); colon != std::string::npos)
                reason.erase(0, colon + 2);
            server.print(std::string(classic ? "ERROR: UDP_OpenSocket: bind: " : "WARNING: NET_IPSocket: bind: ") +
                         reason + '\n');
        }
    }
    if (!classic)
        server.print("WARNING: Couldn't bind to a v4 ip address.\n");
    return nullptr;
}

int run(const std::vector<std::string>& arguments)
{
    Server server(stdout);
    if (!installSignalHandlers()) {
        server.print("ERROR: cannot install the signal handlers\n");
        return 1;
    }
    server.print("q3standin: Quake 3 dedicated server stand-in\n");
    const std::vector<std::string> commands = varno::standin::commandLineCommands(arguments);
    server.applyStartupSettings(commands);

    std::unique_ptr<UdpSocket> socket = openGamePort(server);
    if (socket) {
        const sockaddr_in& bound = socket->boundAddress();
        server.setListenAddress(varno::standin::addressText(bound, false), ntohs(bound.sin_port));
    } else if (classicEngine(server)) {
        // The classic server's fatal error ends the dedicated server with exit code 1.
        server.print("Sys_Error: Couldn't allocate IP port\n");
        return 1;
    }
    server.queueStartupCommands(commands);

    ConsoleInput console(server);
    while (true) {
        const bool busy = server.runCommandBuffer();
        if (server.quitRequested()) {
            server.shutDown("Server quit");
            return 0;
        }

        // Without a game port its slot is skipped (poll ignores negative descriptors).
        pollfd fds[3] = {{g_signalPipe[0], POLLIN, 0},
                         {socket ? socket->descriptor() : -1, POLLIN, 0},
                         {STDIN_FILENO, POLLIN, 0}};
        const nfds_t count = console.open() ? 3 : 2;
        if (::poll(fds, count, busy ? 0 : -1) < 0) {
            if (errno == EINTR)
                continue;
            server.print("ERROR: poll failed\n");
            return 1;
        }
        if (fds[0].revents & POLLIN) {
            unsigned char number = 0;
            if (::read(g_signalPipe[0], &number, 1) == 1) {
                server.print("Received signal " + std::to_string(number) + ", exiting...\n");
                server.shutDown("Received signal " + std::to_string(number));
                return 0;
            }
        }
        if (socket && (fds[1].revents & POLLIN)) {
            while (const std::optional<varno::standin::Datagram> datagram = socket->receive()) {
                const sockaddr_in sender = datagram->sender;
                server.handlePacket(datagram->payload, varno::standin::addressText(sender, false),
                                    varno::standin::addressText(sender, true),
                                    [&socket, &sender](std::string_view reply) { socket->send(sender, reply); });
                server.runCommandBuffer();
                if (server.quitRequested())
                    break;
            }
        }
        if (count == 3 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)))
            console.readAvailable();
    }
}

} // namespace

int main(int argc, char** argv)
{
    return run(std::vector<std::string>(argv + 1, argv + argc));
}
