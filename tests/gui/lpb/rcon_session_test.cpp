// Getstatus queries through the rcon session, against stand-in game ports on loopback.

#include "core/lpb/rcon.h"
#include "gui/lpb/fake_rcon_server.h"
#include "net/rcon_endpoint.h"
#include "net/rcon_session.h"
#include "support/gui_fixture.h"

#include <gtest/gtest.h>

using namespace varno;
using namespace varno::test;

namespace {

QByteArray statusResponse(const QByteArray& hostname)
{
    return QByteArrayLiteral("\xff\xff\xff\xffstatusResponse\n\\sv_hostname\\") + hostname + "\n7 48 \"^1Bob\"\n";
}

RconTarget targetOf(const FakeRconServer& server)
{
    return {std::string(kRconLocalHost), server.port()};
}

class RconSessionInfoTest : public ::testing::Test {
protected:
    RconSessionInfoTest()
    {
        session.onServerInfo = [this](const RconTarget& from, const ServerInfo& info) {
            answers.emplace_back(from, info.rules.at(0).second);
        };
        session.onReply = [this](std::string_view reply, const ParsedStatus&) { replies.emplace_back(reply); };
    }

    RconSession session;
    std::vector<std::pair<RconTarget, std::string>> answers; // who answered, with which sv_hostname
    std::vector<std::string> replies;
};

} // namespace

TEST_F(RconSessionInfoTest, AnswersOfTheQueriedPortsGoToOnServerInfoAndNeverCountAsRconReplies)
{
    FakeRconServer aimed;
    FakeRconServer other; // a port of the cycle not aimed at now
    FakeRconServer stranger;
    session.aim(targetOf(aimed));
    session.queryInfo(targetOf(aimed));
    session.queryInfo(targetOf(other));
    ASSERT_TRUE(aimed.waitForCount(1) && other.waitForCount(1));
    EXPECT_EQ(aimed.received().back().payload.toStdString(), kGetStatusQuery);

    stranger.sendTo(statusResponse("Forged"), QHostAddress::LocalHost, session.endpoint()->localPort());
    aimed.answer({statusResponse("Aimed")});
    other.answer({statusResponse("Other"), statusResponse("Repeated")});
    ASSERT_TRUE(waitFor([&] { return answers.size() == 2; }));
    EXPECT_EQ(answers, (decltype(answers){{targetOf(aimed), "Aimed"}, {targetOf(other), "Other"}}));
    // The forged answer counts as a reply from elsewhere; the answers count as no reply at all.
    EXPECT_EQ(session.health().state, HealthState::ForeignReplies);

    session.poll(targetOf(aimed), rconDatagram("pw", kRconStatusCommand));
    ASSERT_TRUE(aimed.waitForCount(2));
    aimed.answer({classicStatusReply({classicRow(0, "40", "Carl", "10.0.0.1:27960")})});
    ASSERT_TRUE(waitFor([&] { return replies.size() == 1; }));
    EXPECT_EQ(answers.size(), 2u) << "the repeated answer was dropped";
}

TEST_F(RconSessionInfoTest, AnAnswerAmidTheDatagramsOfAStatusReplyLeavesTheReplyWhole)
{
    FakeRconServer server;
    session.poll(targetOf(server), rconDatagram("pw", kRconStatusCommand));
    session.queryInfo(targetOf(server));
    ASSERT_TRUE(server.waitForCount(2));

    const QByteArray table = classicStatusReply(
        {classicRow(0, "40", "Carl", "10.0.0.1:27960"), classicRow(1, "50", "Dana", "10.0.0.2:27960")});
    const qsizetype split = table.indexOf("Dana");
    server.answer({table.left(split), statusResponse("Amid"), "\xff\xff\xff\xffprint\n" + table.mid(split)});
    ASSERT_TRUE(waitFor([&] { return replies.size() == 1 && answers.size() == 1; }));
    EXPECT_EQ(replies[0], table.toStdString());
}

TEST_F(RconSessionInfoTest, AQueryWaitsForItsShareOfTheServersLimit)
{
    FakeRconServer server;
    session.aim(targetOf(server));
    for (int i = 0; i < RconPacer::kBucketBurst; ++i)
        session.sendTo(targetOf(server), rconDatagram("pw", " echo"));
    session.queryInfo(targetOf(server));
    ASSERT_TRUE(server.waitForCount(RconPacer::kBucketBurst + 1));

    const auto& received = server.received();
    EXPECT_EQ(received.back().payload.toStdString(), kGetStatusQuery);
    EXPECT_GE(received.back().arrivalUs - received.front().arrivalUs, RconPacer::kBucketPeriodUs);
}
