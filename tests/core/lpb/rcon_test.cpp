#include "core/lpb/rcon.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace varno;

namespace {

const std::string kFF = "\xff\xff\xff\xff";

PlayerRecord player(std::string clientNumber, std::string name)
{
    return {std::move(clientNumber), "45", std::move(name), "192.168.0.7:27960"};
}

} // namespace

TEST(RconDatagram, IsFourFFBytesRconPasswordAndCommandByteForByte)
{
    const struct {
        std::string password;
        std::string command;
        std::string bytes;
    } cases[] = {
        {"secret", std::string(kRconStatusCommand), kFF + "rcon secret status"},
        {"secret", std::string(kRconStartAnnouncement),
         kFF + "rcon secret say ^2V^4a^2r^4n^2o Server: ZOZ Idaroz Started Successfully!^7"},
        {"secret",
         lpbAnnouncementCommand("Warning: Player ", player(" 3", "Player^7 "), " ^7is an LPB and will be removed."),
         kFF + "rcon secret say ^2V^4a^2r^4n^2o^7: Warning: Player Player^7  ^7is an LPB and will be removed."},
        {"secret", kickCommand(player(" 3", "Player^7 ")), kFF + "rcon secret kick  3"},
        {"secret", kickCommand(player("12", "x ")), kFF + "rcon secret kick 12"},
        // The password goes out as it stands: blanks, quotes and 8-bit bytes untouched, an empty one too.
        {" pass word ", " status", kFF + "rcon  pass word  status"},
        {"\"q\"\xe9\xff", " status", kFF + "rcon \"q\"\xe9\xff status"},
        {"", " status", kFF + "rcon  status"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rconDatagram(c.password, c.command), c.bytes) << c.command;
}

TEST(RconDatagram, AnnouncementJoinsItsPartsWithNothingBetween)
{
    EXPECT_EQ(lpbAnnouncementCommand("", player(" 1", "A "), ""), " say ^2V^4a^2r^4n^2o^7: A ");
    EXPECT_EQ(lpbAnnouncementCommand("x", player(" 1", ""), "y"), " say ^2V^4a^2r^4n^2o^7: xy");
}

TEST(RconHost, IsLoopbackOnLocalhostElseTheTextAsTyped)
{
    EXPECT_EQ(rconHost(true, "game.example.org"), "127.0.0.1");
    EXPECT_EQ(rconHost(false, "game.example.org"), "game.example.org");
    EXPECT_EQ(rconHost(false, " 10.0.0.1 "), " 10.0.0.1 ");
    EXPECT_EQ(rconHost(false, ""), "");
}

TEST(PortCycle, PollsGoMainMainPort2MainPort4ThenMainAgain)
{
    const RconPorts ports{27960, 27961, 0, 27963};
    PortCycleCounter counter;
    std::vector<int> polled;
    for (int i = 0; i < 6; ++i)
        polled.push_back(counter.pollPort(ports));
    EXPECT_EQ(polled, (std::vector<int>{27960, 27960, 27961, 27960, 27963, 27960}));
    EXPECT_EQ(counter.value(), 1);
}

TEST(PortCycle, WithEveryExtraPortSetMainIsPolledTwicePerFiveSteps)
{
    const RconPorts ports{1000, 2000, 3000, 4000};
    PortCycleCounter counter;
    std::vector<int> polled;
    for (int i = 0; i < 10; ++i)
        polled.push_back(counter.pollPort(ports));
    EXPECT_EQ(polled, (std::vector<int>{1000, 1000, 2000, 3000, 4000, 1000, 1000, 2000, 3000, 4000}));
}

TEST(PortCycle, AnAimedSendWithoutPollUsesTheCurrentStepAndLeavesTheCounter)
{
    const RconPorts ports{27960, 0, 27962, 0};
    PortCycleCounter counter;
    for (int i = 0; i < 3; ++i)
        counter.pollPort(ports);
    ASSERT_EQ(counter.value(), 3);
    EXPECT_EQ(counter.currentPort(ports), 27962);
    EXPECT_EQ(counter.currentPort(ports), 27962);
    EXPECT_EQ(counter.value(), 3);

    const RconPorts port3Off{27960, 0, 0, 0};
    EXPECT_EQ(counter.currentPort(port3Off), 27960);
}

TEST(PortCycle, SelectionTakesAnExtraPortOnlyAtItsStepAndAboveZero)
{
    const RconPorts ports{1, 2, -3, 4};
    const int expected[] = {1, 1, 2, 1, 4};
    for (int step = 0; step < 5; ++step)
        EXPECT_EQ(selectRconPort(step, ports), expected[step]) << "step " << step;
}
