// How the stand-in ends on command and what it does with a taken game port, as the watchdog's tests rely on.

#include "standin/standin_test.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace varno::test {
namespace {

// A UDP port on every address held for the test's life.
class HeldPort {
public:
    explicit HeldPort(int port)
        : m_fd(::socket(AF_INET, SOCK_DGRAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        m_held = ::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~HeldPort() { ::close(m_fd); }
    HeldPort(const HeldPort&) = delete;
    HeldPort& operator=(const HeldPort&) = delete;
    bool held() const { return m_held; }

private:
    int m_fd;
    bool m_held = false;
};

class CrashTest : public StandinTest {};

TEST_F(CrashTest, EndsByTheSignalOrWithTheExitCodeItIsGiven)
{
    const struct {
        const char* command;
        int exitCode; // 128 + the signal's number for a signal
    } cases[] = {{" standin_crash", 128 + SIGSEGV}, {" standin_crash 6", 128 + SIGABRT}, {" standin_exit 7", 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        startWithMap();
        m_client->send(rconPayload(kRconPassword, c.command));
        EXPECT_EQ(m_server->waitForExit(), c.exitCode);
    }
}

TEST_F(CrashTest, ATakenPortMovesTheServerToTheNextFreeOneWithTheEnginesMessages)
{
    const struct {
        const char* layout;
        const char* failure;
    } cases[] = {{"classic", "ERROR: UDP_OpenSocket: bind: Address already in use\n"},
                 {"ioq3", "WARNING: NET_IPSocket: bind: Address already in use\n"},
                 {"quake3e", "WARNING: NET_IPSocket: bind: Address already in use\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        // A free port to learn a number from, then it and the next one held.
        int base = 0;
        {
            StandinProcess probe(m_dir.path(), {});
            base = probe.port();
        }
        HeldPort first(base);
        HeldPort second(base + 1);
        if (!first.held() || !second.held())
            GTEST_SKIP() << "ports " << base << "-" << base + 1 << " are in use";
        StandinProcess server(m_dir.path(),
                              {"+set", "net_port", std::to_string(base), "+set", "standin_status", c.layout});
        EXPECT_EQ(server.port(), base + 2);
        const std::string twice = std::string(c.failure) + c.failure + "Opening IP socket";
        EXPECT_NE(server.output().find(twice), std::string::npos) << server.output();
    }
}

} // namespace
} // namespace varno::test
