// The server console on standard input, the command log and the ways the server ends.

#include "standin/standin_test.h"

#include <csignal>

namespace varno::test {
namespace {

class ConsoleTest : public StandinTest {};

TEST_F(ConsoleTest, TypedCommandsAreEchoedBehindThePromptAndAnswered)
{
    startWithMap("addbot Sarge 4\n");

    EXPECT_NO_THROW(type("status", "]status\nmap: q3dm7\nnum score ping name"));
    EXPECT_NO_THROW(type("kick Sarge", "]kick Sarge\nbroadcast: print \"Sarge^7 was kicked\\n\"\n"));
}

TEST_F(ConsoleTest, EndOfInputLeavesTheServerRunning)
{
    m_dir.writeFile("baseq3/setup.cfg", "rconpassword secret\nmap q3dm7\necho ready\n");
    for (const StandinInput input : {StandinInput::DevNull, StandinInput::Pipe}) {
        SCOPED_TRACE(input == StandinInput::DevNull ? "/dev/null" : "closed pipe");
        StandinProcess server(m_dir.path(), {"+exec", "setup.cfg"}, input);
        ASSERT_TRUE(server.waitForOutput("ready\n"));
        server.closeInput();

        RconClient client(server.port());
        EXPECT_EQ(client.rcon(kRconPassword, " echo still here"), "still here\n");
    }
}

TEST_F(ConsoleTest, QuitAndSignalsEndTheServerWithCodeZero)
{
    enum class Ending { TypedQuit, RconQuit, Sigterm, Sigint };
    struct Case {
        std::string name;
        Ending ending;
        std::string lastWords;
    };
    const Case cases[] = {
        {"quit typed", Ending::TypedQuit, "----- Server Shutdown (Server quit) -----\n"},
        {"quit over rcon", Ending::RconQuit, "----- Server Shutdown (Server quit) -----\n"},
        {"SIGTERM", Ending::Sigterm, "Received signal 15, exiting...\n"},
        {"SIGINT", Ending::Sigint, "Received signal 2, exiting...\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startWithMap();
        switch (c.ending) {
        case Ending::TypedQuit:
            m_server->sendLine("quit");
            break;
        case Ending::RconQuit:
            m_client->send(rconPayload(kRconPassword, " quit"));
            break;
        case Ending::Sigterm:
            m_server->sendSignal(SIGTERM);
            break;
        case Ending::Sigint:
            m_server->sendSignal(SIGINT);
            break;
        }

        EXPECT_EQ(m_server->waitForExit(), std::optional<int>(0));
        EXPECT_NE(m_server->output().find(c.lastWords), std::string::npos) << m_server->output();
    }
}

TEST_F(ConsoleTest, EveryExecutedCommandIsLoggedAsItArrived)
{
    startWithScript("map q3dm7\naddbot Sarge 4\naddclient Carl 120 10.1.2.3:27960\n",
                    {"+set", "standin_log", "commands.log", "+set", "rconpassword", "secret"});

    type("say hello   there", "console: hello there");
    rcon(" kick  1");
    m_client->rcon("wrong", " kick 0");
    rcon(" status");

    EXPECT_EQ(readFile("commands.log"), "set net_ip 127.0.0.1\n"
                                        "set net_port 0\n"
                                        "set standin_log commands.log\n"
                                        "set rconpassword secret\n"
                                        "exec setup.cfg\n"
                                        "map q3dm7\n"
                                        "addbot Sarge 4\n"
                                        "addclient Carl 120 10.1.2.3:27960\n"
                                        "echo setup-finished\n"
                                        "say hello there\n"
                                        "kick 1\n"
                                        "status\n");
}

} // namespace
} // namespace varno::test
