// Rcon over UDP: passwords, the command text after the password, kicks and the engines' throttles.

#include "standin/standin_test.h"

#include <algorithm>
#include <thread>

namespace varno::test {
namespace {

using namespace std::chrono_literals;

// A bot and three players: 0 Sarge (bot), 1 Bob, 2 ^1Red^7Dwarf, 3 Carl.
const std::string kFourClients = "addbot Sarge 4\n"
                                 "addclient Bob 40 192.168.0.7:27960\n"
                                 "addclient ^1Red^7Dwarf 99 172.16.5.4:27961\n"
                                 "addclient Carl 120 10.1.2.3:27960\n";

class RconTest : public StandinTest {};

TEST_F(RconTest, CommandTextRunsWithOrWithoutLeadingBlanks)
{
    startWithMap();
    for (const std::string command : {" status", "  status", "     status"}) {
        SCOPED_TRACE("command text \"" + command + "\"");
        EXPECT_EQ(rcon(command).substr(0, 11), "map: q3dm7\n");
    }
}

TEST_F(RconTest, WrongPasswordIsRefusedAndNothingRuns)
{
    startWithMap(kFourClients);

    EXPECT_EQ(m_client->rcon("wrong", " kick 1"), "Bad rconpassword.\n");
    EXPECT_NE(rcon(" status").find(" Bob^7"), std::string::npos);
}

TEST_F(RconTest, WithoutPasswordSetEveryRequestIsRefused)
{
    startWithScript("map q3dm7\naddbot Sarge 4\n");

    EXPECT_EQ(m_client->rcon("", " kick 0"), "No rconpassword set on the server.\n");
    EXPECT_EQ(m_client->rcon("anything", " kick 0"), "No rconpassword set on the server.\n");
    type("status", " Sarge^7");
}

TEST_F(RconTest, NothingAnswersBeforeAMapRuns)
{
    startWithScript("rconpassword secret\n");

    EXPECT_TRUE(m_client->exchange(rconPayload(kRconPassword, " status"), 500ms).empty());
    type("map q3dm7", "Server: q3dm7\n");
    EXPECT_EQ(rcon(" status").substr(0, 11), "map: q3dm7\n");
}

TEST_F(RconTest, SayBroadcastsTheTextFromTheConsole)
{
    startWithMap();

    EXPECT_EQ(rcon(" say ^2V^4a^2r^4n^2o^7: Bob^7 has a low ping"),
              "broadcast: print \"console: ^2V^4a^2r^4n^2o^7: Bob^7 has a low ping\\n\"\n");
}

// The four clients and a high-ping player who calls himself "3", in slot 4.
const std::string kFiveClients = kFourClients + "addclient 3 300 10.9.9.9:27960\n";

TEST_F(RconTest, KickFollowsTheRulesOfEachEngine)
{
    struct Case {
        std::string layout;
        std::string command;
        std::vector<std::string> kicked;
        std::string firstLine; // of the reply
    };
    const std::string notOnServer = "Player 3 is not on the server\n";
    const Case cases[] = {
        // The classic server's kick takes names only: the panel's old " kick  3" hits the player called "3".
        {"classic", " kick  3", {"3"}, "broadcast: print \"3^7 was kicked\\n\"\n"},
        {"classic", " clientkick 3", {"Carl"}, "broadcast: print \"Carl^7 was kicked\\n\"\n"},
        {"classic", " kick Bob", {"Bob"}, "broadcast: print \"Bob^7 was kicked\\n\"\n"},
        {"classic", " kick reddwarf", {"^1Red^7Dwarf"}, "broadcast: print \"^1Red^7Dwarf^7 was kicked\\n\"\n"},
        {"classic", " kick ^1RED^7dwarf", {"^1Red^7Dwarf"}, "broadcast: print \"^1Red^7Dwarf^7 was kicked\\n\"\n"},
        {"classic", " kick allbots", {"Sarge"}, "Player allbots is not on the server\n"},
        {"classic", " kick all", {"Sarge", "Bob", "^1Red^7Dwarf", "Carl", "3"}, "Player all is not on the server\n"},
        // ioquake3 and Quake3e try the slot first, then the name.
        {"ioq3", " kick  3", {"Carl"}, "broadcast: print \"Carl^7 was kicked\\n\"\n"},
        {"ioq3", " clientkick 3", {"Carl"}, "broadcast: print \"Carl^7 was kicked\\n\"\n"},
        {"quake3e", " kick 3", {"Carl"}, "broadcast: print \"Carl^7 was kicked\\n\"\n"},
        {"quake3e", " kick 0", {"Sarge"}, "broadcast: print \"Sarge^7 was kicked\\n\"\n"},
        {"quake3e", " kick Bob", {"Bob"}, "broadcast: print \"Bob^7 was kicked\\n\"\n"},
        {"quake3e", " kick allbots", {"Sarge"}, "Player allbots is not on the server\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout + ":" + c.command);
        startWithMap(kFiveClients, {"+set", "standin_status", c.layout});

        const std::string reply = rcon(c.command);
        EXPECT_EQ(reply.substr(0, reply.find('\n') + 1), c.firstLine);

        // getstatus quotes each name, so "3" cannot be mistaken for a column.
        const std::vector<std::string> replies = m_client->exchange("\xff\xff\xff\xffgetstatus");
        ASSERT_EQ(replies.size(), 1u);
        const std::string& status = replies[0];
        for (const std::string name : {"Sarge", "Bob", "^1Red^7Dwarf", "Carl", "3"}) {
            const bool listed = status.find('"' + name + "\"\n") != std::string::npos;
            const bool kicked = std::find(c.kicked.begin(), c.kicked.end(), name) != c.kicked.end();
            EXPECT_EQ(listed, !kicked) << name << " in\n" << status;
        }
    }
}

TEST_F(RconTest, KickOfAnUnknownClientSaysSo)
{
    startWithMap(kFourClients);

    EXPECT_EQ(rcon(" kick 9"), "Player 9 is not on the server\n");
    EXPECT_EQ(rcon(" clientkick 9"), "Client 9 is not active\n");
    EXPECT_EQ(rcon(" clientkick x"), "Bad slot number: x\n");
}

TEST_F(RconTest, AddipBansAtOnceAndKeepsTheFiltersInGBanIPs)
{
    startWithMap("g_banIPs \"10.0.0.1 \"\nmap q3dm7\n");

    EXPECT_EQ(rcon(" addip 192.168.0.7"), "");
    EXPECT_EQ(rcon(" addip 172.16.*"), "");
    EXPECT_EQ(rcon(" addip bot"), "Bad filter address: bot\n");
    EXPECT_EQ(rcon(" addip"), "Usage:  addip <ip-mask>\n");
    EXPECT_EQ(rcon(" g_banIPs"),
              "\"g_banIPs\" is:\"10.0.0.1 192.168.0.7 172.16.*.* ^7\" default:\"^7\"\n");
    for (const std::string address : {"192.168.0.7:27960", "172.16.5.4:27961"}) {
        EXPECT_EQ(rcon(" addclient Again 40 " + address),
                  "Game rejected a connection: You are banned from this server.\n")
            << address;
    }
    EXPECT_EQ(rcon(" addclient Other 40 192.168.0.8:27960"), "broadcast: print \"Other^7 connected\\n\"\n");
}

TEST_F(RconTest, RemoveipTakesOutOnlyAFilterGivenExactlySo)
{
    startWithMap("g_banIPs \"10.0.0.1 172.16.*.* \"\nmap q3dm7\n");

    EXPECT_EQ(rcon(" removeip 172.16.5.4"), "Didn't find 172.16.5.4.\n");
    EXPECT_EQ(rcon(" removeip bot"), "Bad filter address: bot\n");
    EXPECT_EQ(rcon(" removeip"), "Usage:  sv removeip <ip-mask>\n");
    EXPECT_EQ(rcon(" removeip 10.0.0.1:27960"), "Removed.\n");
    EXPECT_EQ(rcon(" g_banIPs"), "\"g_banIPs\" is:\"172.16.*.* ^7\" default:\"^7\"\n");
    EXPECT_EQ(rcon(" addclient Back 40 10.0.0.1:27960"), "broadcast: print \"Back^7 connected\\n\"\n");
}

TEST_F(RconTest, GBanIPsHoldsWhatFitsInTheGamesCvar)
{
    startWithMap();
    // 15 entries of 16 characters (the blank included) fill 240 of the 255; the 16th does not fit.
    std::string expected;
    for (int i = 0; i < 16; ++i) {
        const std::string address = "192.168.100." + std::to_string(100 + i);
        const std::string reply = rcon(" addip " + address);
        if (i < 15)
            expected += address + " ";
        EXPECT_EQ(reply, i < 15 ? "" : "g_banIPs overflowed at MAX_CVAR_VALUE_STRING\n") << address;
    }
    EXPECT_EQ(rcon(" g_banIPs"), "\"g_banIPs\" is:\"" + expected + "^7\" default:\"^7\"\n");
}

TEST_F(RconTest, GetstatusAnswersWithEveryServerinfoCvarInItsEnginesOrderAndTheConnectedPlayers)
{
    // The classic server and ioquake3 list their cvars oldest first (sv_hostname, set on the command line, before
    // the engine's own) behind the challenge; Quake3e sorts them by name, the game's and the user's last.
    struct Case {
        std::string engine;
        std::string info;
    };
    const Case cases[] = {
        {"classic",
         "\\challenge\\42\\sv_hostname\\Early\\version\\q3standin classic\\dmflags\\0\\fraglimit\\20\\timelimit\\0"
         "\\g_gametype\\0\\protocol\\68\\mapname\\q3dm7\\sv_privateClients\\0\\sv_maxclients\\32\\sv_maxRate\\0"
         "\\sv_minPing\\0\\sv_maxPing\\0\\sv_floodProtect\\1\\sv_allowDownload\\0\\gamename\\baseq3"
         "\\g_maxGameClients\\0\\capturelimit\\8\\g_needpass\\1\\g_custom\\hi"},
        {"ioq3",
         "\\challenge\\42\\sv_hostname\\Early\\version\\q3standin ioq3\\com_gamename\\Quake3Arena\\com_protocol\\71"
         "\\dmflags\\0\\fraglimit\\20\\timelimit\\0\\g_gametype\\0\\mapname\\q3dm7\\sv_privateClients\\0"
         "\\sv_maxclients\\32\\sv_minRate\\0\\sv_maxRate\\0\\sv_dlRate\\100\\sv_minPing\\0\\sv_maxPing\\0"
         "\\sv_floodProtect\\1\\sv_allowDownload\\0\\gamename\\baseq3\\g_maxGameClients\\0\\capturelimit\\8"
         "\\g_needpass\\1\\g_custom\\hi"},
        {"quake3e",
         "\\dmflags\\0\\fraglimit\\20\\g_gametype\\0\\mapname\\q3dm7\\protocol\\68\\sv_allowDownload\\1"
         "\\sv_dlRate\\100\\sv_floodProtect\\1\\sv_hostname\\Early\\sv_maxRate\\0\\sv_maxclients\\32\\sv_minRate\\0"
         "\\sv_privateClients\\0\\timelimit\\0\\version\\q3standin quake3e\\capturelimit\\8\\g_maxGameClients\\0"
         "\\g_needpass\\1\\gamename\\baseq3\\g_custom\\hi\\challenge\\42"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.engine);
        // The single player game type the script asks for is no more than a free for all after "map".
        startWithScript("sv_maxclients 32\ng_gametype 2\nmap q3dm7\n"
                        "sets g_custom hi\ng_password secret\naddbot Sarge 4\naddclient Bob 40 192.168.0.7:27960\n"
                        "setscore 1 7\naddclient Carl 50 10.1.2.3:27960\nsetstate 2 connected\n"
                        "addclient Zed 60 10.9.9.9:27960\nsetstate 3 zombie\n",
                        {"+set", "standin_status", c.engine, "+set", "sv_hostname", "Early"});

        const std::vector<std::string> replies = m_client->exchange("\xff\xff\xff\xffgetstatus 42");

        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(replies[0],
                  "\xff\xff\xff\xffstatusResponse\n" + c.info + "\n0 0 \"Sarge\"\n7 40 \"Bob\"\n0 999 \"Carl\"\n");
    }
}

// Sends `count` numbered echo requests at once and gives the numbers that were answered.
std::vector<int> answeredOfBurst(RconClient& client, int count)
{
    for (int i = 1; i <= count; ++i)
        client.send(rconPayload(kRconPassword, " echo " + std::to_string(i)));
    std::vector<int> answered;
    for (const std::string& datagram : client.collect(1000ms))
        answered.push_back(std::stoi(printText({datagram})));
    return answered;
}

TEST_F(RconTest, ThrottleDropsWhatTheChosenEngineWouldDrop)
{
    struct Case {
        std::string mode;
        std::vector<int> answeredOfTwelve;
        bool otherSenderAnsweredRightAfter;
    };
    const Case cases[] = {
        {"", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, true},
        {"classic", {1}, false},                            // 500 ms after the last accepted one, from anyone
        {"ioq3", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, true},    // a burst of 10 for each sender address
        {"quake3e", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, true}, // the same
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("standin_rcon_throttle \"" + c.mode + "\"");
        startWithMap("set standin_rcon_throttle \"" + c.mode + "\"\n");

        EXPECT_EQ(answeredOfBurst(*m_client, 12), c.answeredOfTwelve);

        RconClient otherSender(m_server->port(), "127.0.0.2");
        EXPECT_EQ(!otherSender.exchange(rconPayload(kRconPassword, " echo other"), 500ms).empty(),
                  c.otherSenderAnsweredRightAfter);
    }
}

TEST_F(RconTest, ClassicThrottleAnswersAgainHalfASecondLater)
{
    startWithMap("set standin_rcon_throttle classic\n");
    const auto firstSent = std::chrono::steady_clock::now();
    ASSERT_EQ(rcon(" echo first"), "first\n");

    // What is awaited here is the throttle's interval itself.
    std::this_thread::sleep_until(firstSent + 550ms);

    EXPECT_EQ(rcon(" echo second"), "second\n");
}

TEST_F(RconTest, TheSendersBucketHoldsStatusQueriesTooAndLeaksOneASecond)
{
    for (const std::string mode : {"ioq3", "quake3e"}) {
        SCOPED_TRACE(mode);
        startWithMap("set standin_rcon_throttle " + mode + "\nset developer 1\n");
        const auto burstSent = std::chrono::steady_clock::now();
        EXPECT_EQ(answeredOfBurst(*m_client, 10).size(), 10u);
        EXPECT_TRUE(m_client->exchange("\xff\xff\xff\xffgetstatus", 300ms).empty()) << "getstatus shares the bucket";
        type("echo after the burst", "after the burst");
        EXPECT_NE(m_server->output().find("SVC_Status: rate limit from 127.0.0.1 exceeded, dropping request"),
                  std::string::npos);

        // What is awaited here is the bucket's period itself.
        std::this_thread::sleep_until(burstSent + 1050ms);
        EXPECT_EQ(answeredOfBurst(*m_client, 3), std::vector<int>{1});
        type("echo after the leak", "after the leak");
        EXPECT_NE(m_server->output().find("SVC_RemoteCommand: rate limit from 127.0.0.1 exceeded, dropping request"),
                  std::string::npos);
    }
}

TEST_F(RconTest, TheClassicServerLimitsRconAloneAndSilently)
{
    startWithMap("set standin_rcon_throttle classic\nset developer 1\n");
    EXPECT_EQ(answeredOfBurst(*m_client, 3), std::vector<int>{1});
    EXPECT_FALSE(m_client->exchange("\xff\xff\xff\xffgetstatus", 300ms).empty());
    type("echo after the burst", "after the burst");
    EXPECT_EQ(m_server->output().find("rate limit"), std::string::npos);
}

} // namespace
} // namespace varno::test
