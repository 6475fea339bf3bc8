// q3standin on POSIX: one thread, one poll() loop over the console input, the game port and the signals that end
// it.

#include "command_line.h"
#include "server.h"
#include "startup.h"
#include "tty_console.h"
#include "udp_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
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

    ~ConsoleInput() { m_server.output().setLineGuard(nullptr, nullptr); }

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

int run(const std::vector<std::string>& arguments)
{
    Server server([](std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    });
    if (!installSignalHandlers()) {
        server.print("ERROR: cannot install the signal handlers\n");
        return 1;
    }
    varno::standin::StartedServer started =
        varno::standin::startServer(server, varno::standin::commandLineCommands(arguments));
    if (!started.fatalError.empty()) {
        // The classic server's fatal error ends the dedicated server with exit code 1.
        server.print("Sys_Error: " + started.fatalError + '\n');
        return 1;
    }
    const std::unique_ptr<UdpSocket>& socket = started.socket;

    ConsoleInput console(server);
    while (true) {
        const bool busy = server.runCommandBuffer();
        if (server.quitRequested()) {
            server.shutDown("Server quit");
            return 0;
        }

        // Without a game port its slot is skipped (poll ignores negative descriptors).
        pollfd fds[3] = {{g_signalPipe[0], POLLIN, 0},
                         {socket ? static_cast<int>(socket->waitHandle()) : -1, POLLIN, 0},
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
        if (socket && (fds[1].revents & POLLIN))
            varno::standin::serveWaitingDatagrams(server, *socket);
        if (count == 3 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)))
            console.readAvailable();
    }
}

} // namespace

int main(int argc, char** argv)
{
    return run(std::vector<std::string>(argv + 1, argv + argc));
}
