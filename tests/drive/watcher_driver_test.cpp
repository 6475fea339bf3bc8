// The watcher driver against a sink on loopback that never answers: replies are handed in as if they had arrived.

#include "drive/watcher_driver.h"

#include "support/gui_fixture.h"

#include <QFile>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

#include <gtest/gtest.h>

using namespace varno;
using namespace varno::test;

namespace {

// A captured reply of one datagram.
std::string fixtureReply(const char* name)
{
    QFile file(QStringLiteral(VARNO_TEST_DATA "/fixtures/%1/datagram-1.bin").arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

} // namespace

class WatcherDriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sink.bind(QHostAddress::LocalHost, 0));
        options.ports.mainPort = sink.localPort();
        options.password = "pw";
        options.minPing = 100;
        options.checkRateSeconds = 60; // no poll of its own while a test runs
        options.announce = true;
        options.kick = true;
        driver.options = [this] { return options; };
        driver.onStarted = [this](const RconTarget& target, const WatcherOptions&) {
            events.push_back("started " + target.host + ":" + std::to_string(target.port));
        };
        driver.onReply = [this](std::string_view, const ParsedStatus&) { events.push_back("reply"); };
        driver.onDecided = [this](const LpbDecision& decision) {
            events.push_back("decided " + playerText(decision.player));
        };
        driver.onSent = [this](const LpbCommandReport& report) { events.push_back("sent " + describeCommand(report)); };
        driver.onStopped = [this](const std::vector<LpbCommandReport>& unsent) {
            for (const LpbCommandReport& report : unsent)
                events.push_back("unsent " + describeCommand(report));
        };
        driver.onHealth = [this](const WatcherDriver::HealthReport& health) {
            healthReports.push_back(health.status.key + (health.changed ? " changed" : "") +
                                    (health.notable ? " notable" : ""));
        };
    }

    QUdpSocket sink;
    WatcherOptions options;
    WatcherDriver driver;
    std::vector<std::string> events;
    std::vector<std::string> healthReports;
};

TEST_F(WatcherDriverTest, OptionsWithoutPasswordOrThresholdRefuseTheStart)
{
    const struct {
        std::string password;
        int minPing;
        std::string_view refusal;
    } cases[] = {{"", 100, kNoPasswordMessage}, {"pw", 0, kMinPingZeroMessage}};
    for (const auto& c : cases) {
        options.password = c.password;
        options.minPing = c.minPing;
        EXPECT_EQ(driver.start(), std::optional<std::string_view>(c.refusal));
        EXPECT_FALSE(driver.isRunning());
        EXPECT_FALSE(driver.timer()->isActive());
        EXPECT_FALSE(sink.hasPendingDatagrams());
        EXPECT_TRUE(events.empty());
        EXPECT_TRUE(healthReports.empty());
    }
}

TEST_F(WatcherDriverTest, DecisionsAreToldBeforeTheirCommandsAndStoppingNamesWhatNeverLeft)
{
    ASSERT_EQ(driver.start(), std::nullopt);
    EXPECT_TRUE(driver.isRunning());
    EXPECT_TRUE(driver.timer()->isActive());
    EXPECT_EQ(driver.timer()->interval(), 60000);
    ASSERT_TRUE(waitFor([&] { return sink.hasPendingDatagrams(); }));
    EXPECT_EQ(sink.receiveDatagram().data(),
              QByteArray("\xff\xff\xff\xffrcon pw say ^2V^4a^2r^4n^2o Server: ZOZ Idaroz Started Successfully!^7"));

    // A classic server takes one datagram each 500 ms: behind the start announcement, all four wait.
    driver.deliver(fixtureReply("classic-q3dm17"));
    driver.stop();
    EXPECT_EQ(events, (std::vector<std::string>{
                          "started 127.0.0.1:" + std::to_string(sink.localPort()), "reply", "decided client 1 Player^7",
                          "decided client 5 ^1Red^7Dwarf^7", "unsent announcement of client 1 Player^7",
                          "unsent kick of client 1 Player^7", "unsent announcement of client 5 ^1Red^7Dwarf^7",
                          "unsent kick of client 5 ^1Red^7Dwarf^7"}));
    EXPECT_FALSE(driver.isRunning());
    EXPECT_FALSE(driver.timer()->isActive());
    EXPECT_FALSE(driver.isSending());
    EXPECT_EQ(driver.count(), 0);
}

TEST_F(WatcherDriverTest, ACommandThatLeavesAtOnceIsToldAfterItsDecisionAndCountsOnceTheKickHasLeft)
{
    ASSERT_EQ(driver.start(), std::nullopt);
    driver.deliver(fixtureReply("ioq3-q3dm7"));
    ASSERT_TRUE(waitFor([&] { return driver.count() == 1; }));
    EXPECT_EQ(events,
              (std::vector<std::string>{"started 127.0.0.1:" + std::to_string(sink.localPort()), "reply",
                                        "decided client 1 ^4Blue^7Man", "sent announcement of client 1 ^4Blue^7Man",
                                        "sent kick of client 1 ^4Blue^7Man"}));
    driver.stop();
    EXPECT_EQ(events.back(), "sent kick of client 1 ^4Blue^7Man") << "nothing was left to name";
}

TEST_F(WatcherDriverTest, TheHealthIsToldAtEveryChanceAndMarkedNotableForTroubleAndTheRecoveryOnly)
{
    options.minPing = 10; // nobody to act on
    driver.poll();
    EXPECT_TRUE(healthReports.empty()) << "nothing while off";

    ASSERT_EQ(driver.start(), std::nullopt);
    driver.poll();
    driver.poll();
    driver.poll();
    const std::string reply = fixtureReply("ioq3-q3dm7");
    driver.deliver(reply);
    driver.deliver(reply);
    const std::string target = "127.0.0.1:" + std::to_string(sink.localPort());
    EXPECT_EQ(healthReports,
              (std::vector<std::string>{"waiting changed", "waiting", "silent " + target + " changed notable",
                                        "silent " + target, "answering " + target + " changed notable",
                                        "answering " + target}));
}
