// The engines' flood limits as the stand-in keeps them, on made-up times: the exact arithmetic of the leaky bucket
// (ioquake3's and Quake3e's SVC_RateLimit) and the classic server's half second.

#include "rcon.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varno::standin {
namespace {

TEST(LeakyBucketTest, ABurstOfTenThenOneAPeriodOnWholePeriods)
{
    struct Step {
        std::int64_t atMs;
        bool admitted;
    };
    const std::vector<Step> steps = {
        // Ten at once fill it.
        {0, true}, {0, true}, {0, true}, {0, true}, {0, true}, {0, true}, {0, true}, {0, true}, {0, true}, {0, true},
        {0, false}, {999, false},
        // One leaks each whole second; a refused request takes nothing and moves nothing.
        {1000, true}, {1000, false}, {1500, false}, {2000, true},
        // The leak keeps to whole seconds from the start: 3.5 s leaks one, with half a second carried over.
        {3500, true}, {4000, true}, {4000, false},
        // Quiet for 5.5 s: five leak out.
        {9500, true}, {9500, true}, {9500, true}, {9500, true}, {9500, true}, {9500, false}, {10000, true},
        // Quiet for longer than it takes to empty: empty again, the whole burst at once.
        {30000, true}, {30000, true}, {30000, true}, {30000, true}, {30000, true}, {30000, true}, {30000, true},
        {30000, true}, {30000, true}, {30000, true}, {30000, false},
    };
    LeakyBucket bucket;
    for (std::size_t i = 0; i < steps.size(); ++i)
        EXPECT_EQ(bucket.admit(steps[i].atMs, 10, 1000), steps[i].admitted) << "step " << i << " at " << steps[i].atMs;
}

TEST(FloodProtectionTest, EachEngineLimitsWhatItsSourceLimits)
{
    FloodProtection ioq3;
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(ioq3.admitRcon(RconThrottleMode::Ioq3, "10.0.0.1", true, 0), FloodVerdict::Served);
    // The sender's bucket is shared by rcon and status queries; another sender has its own.
    EXPECT_EQ(ioq3.admitQuery(RconThrottleMode::Ioq3, "10.0.0.1", 0), FloodVerdict::DroppedForSender);
    EXPECT_EQ(ioq3.admitRcon(RconThrottleMode::Ioq3, "10.0.0.2", true, 0), FloodVerdict::Served);
    // Wrong passwords fill one bucket for all senders.
    FloodProtection guessing;
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(guessing.admitRcon(RconThrottleMode::Quake3e, "10.1.0." + std::to_string(i), false, 0),
                  FloodVerdict::Served);
    EXPECT_EQ(guessing.admitRcon(RconThrottleMode::Quake3e, "10.2.0.1", false, 0), FloodVerdict::DroppedForAll);
    EXPECT_EQ(guessing.admitRcon(RconThrottleMode::Quake3e, "10.2.0.1", true, 0), FloodVerdict::Served);
    // Status queries of all senders share an outbound bucket of ten each 100 ms.
    FloodProtection queries;
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(queries.admitQuery(RconThrottleMode::Ioq3, "10.3.0." + std::to_string(i), 0), FloodVerdict::Served);
    EXPECT_EQ(queries.admitQuery(RconThrottleMode::Ioq3, "10.4.0.1", 50), FloodVerdict::DroppedForAll);
    EXPECT_EQ(queries.admitQuery(RconThrottleMode::Ioq3, "10.4.0.1", 100), FloodVerdict::Served);

    // The classic server: rcon half a second after the last one served, from anyone; queries are free.
    FloodProtection classic;
    EXPECT_EQ(classic.admitRcon(RconThrottleMode::Classic, "10.0.0.1", true, 1000), FloodVerdict::Served);
    EXPECT_EQ(classic.admitRcon(RconThrottleMode::Classic, "10.0.0.2", false, 1499), FloodVerdict::DroppedForAll);
    EXPECT_EQ(classic.admitRcon(RconThrottleMode::Classic, "10.0.0.2", false, 1500), FloodVerdict::Served);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(classic.admitQuery(RconThrottleMode::Classic, "10.0.0.1", 1500), FloodVerdict::Served);
}

} // namespace
} // namespace varno::standin
