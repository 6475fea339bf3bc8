#include "core/lpb/rcon_pacer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using namespace varno;

namespace {

const RconTarget kServerA{"127.0.0.1", 27960};
const RconTarget kServerB{"127.0.0.1", 27961};

struct Sent {
    std::int64_t atUs;
    RconTarget target;
    std::string payload;

    bool operator==(const Sent&) const = default;
};

// Runs the pacer as the page's timer would: send what is due, sleep until the next due time.
std::vector<Sent> drain(RconPacer& pacer, std::int64_t startUs)
{
    std::vector<Sent> sent;
    std::int64_t now = startUs;
    for (int guard = 0; guard < 10000; ++guard) {
        for (auto& datagram : pacer.takeDue(now))
            sent.push_back({now, datagram.target, datagram.payload});
        const auto next = pacer.nextDueUs(now);
        if (!next)
            break;
        EXPECT_GT(*next, now);
        now = *next;
    }
    return sent;
}

std::vector<std::int64_t> timesOf(const std::vector<Sent>& sent)
{
    std::vector<std::int64_t> times;
    for (const auto& s : sent)
        times.push_back(s.atUs);
    return times;
}

} // namespace

constexpr std::int64_t ms = 1000; // the pacer counts microseconds

TEST(RconPacer, SpacesDatagramsToAClassicServerHalfASecondApart)
{
    RconPacer pacer;
    pacer.setLayout(kServerA, StatusLayout::Classic);
    pacer.enqueue(kServerA, "poll");
    pacer.enqueue(kServerA, "say");
    pacer.enqueue(kServerA, "kick", RconPacer::kKickAfterAnnouncementUs);

    const auto first = pacer.takeDue(5000 * ms);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].payload, "poll");
    EXPECT_EQ(pacer.nextDueUs(5000 * ms), 5500 * ms);
    EXPECT_TRUE(pacer.takeDue(5500 * ms - 1).empty());
    EXPECT_EQ(drain(pacer, 5499 * ms),
              (std::vector<Sent>{{5500 * ms, kServerA, "say"}, {6000 * ms, kServerA, "kick"}}));
}

TEST(RconPacer, FollowsTheEnginesBucketToOtherServers)
{
    for (const auto layout : {StatusLayout::Ioquake3, StatusLayout::Quake3e, StatusLayout::Unknown}) {
        RconPacer pacer;
        pacer.setLayout(kServerA, layout);
        for (int i = 0; i < 13; ++i)
            pacer.enqueue(kServerA, std::to_string(i));
        // A burst of ten, then one a second.
        EXPECT_EQ(timesOf(drain(pacer, 0)), (std::vector<std::int64_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1000 * ms,
                                                                       2000 * ms, 3000 * ms}));

        // Quiet for 5.5 s, the bucket has leaked five; it keeps leaking on whole seconds from its last leak.
        for (int i = 0; i < 8; ++i)
            pacer.enqueue(kServerA, "later " + std::to_string(i));
        EXPECT_EQ(timesOf(drain(pacer, 8500 * ms)),
                  (std::vector<std::int64_t>{8500 * ms, 8500 * ms, 8500 * ms, 8500 * ms, 8500 * ms, 9000 * ms,
                                             10000 * ms, 11000 * ms}));

        // Quiet for longer than it takes to empty, the whole burst is there again.
        for (int i = 0; i < 11; ++i)
            pacer.enqueue(kServerA, "again " + std::to_string(i));
        const auto again = timesOf(drain(pacer, 60000 * ms));
        EXPECT_EQ(std::count(again.begin(), again.end(), 60000 * ms), 10);
        EXPECT_EQ(again.back(), 61000 * ms);
    }
}

TEST(RconPacer, CommandsGoAheadOfAWaitingPollAndANewerPollTakesItsPlace)
{
    for (const auto layout : {StatusLayout::Ioquake3, StatusLayout::Classic}) {
        SCOPED_TRACE(int(layout));
        RconPacer pacer;
        pacer.setLayout(kServerA, layout);
        for (int i = 0; i < 10; ++i)
            pacer.enqueue(kServerA, "say " + std::to_string(i));
        pacer.takeDue(0);
        EXPECT_TRUE(pacer.enqueuePoll(kServerA, "poll 1"));
        pacer.enqueue(kServerA, "kick");
        EXPECT_FALSE(pacer.enqueuePoll(kServerA, "poll 2")) << "the waiting poll is skipped";
        pacer.enqueue(kServerA, "addip");
        std::vector<std::string> order;
        for (const Sent& sent : drain(pacer, 0))
            order.push_back(sent.payload);
        const std::vector<std::string> expected{"say 1", "say 2", "say 3", "say 4", "say 5", "say 6",
                                                "say 7", "say 8", "say 9", "kick",  "addip", "poll 2"};
        if (layout == StatusLayout::Classic)
            EXPECT_EQ(order, expected);
        else
            EXPECT_EQ(order, (std::vector<std::string>{"kick", "addip", "poll 2"}));
        EXPECT_TRUE(pacer.isEmpty());
    }
}

TEST(RconPacer, TheKickFollowsItsAnnouncementByTenMilliseconds)
{
    RconPacer pacer;
    pacer.setLayout(kServerA, StatusLayout::Ioquake3);
    pacer.enqueue(kServerA, "status");
    pacer.takeDue(700 * ms);
    pacer.enqueue(kServerA, "say");
    pacer.enqueue(kServerA, "kick", RconPacer::kKickAfterAnnouncementUs);
    EXPECT_EQ(drain(pacer, 750 * ms), (std::vector<Sent>{{750 * ms, kServerA, "say"}, {760 * ms, kServerA, "kick"}}));

    // Against a classic server the half second between datagrams covers it.
    RconPacer classic;
    classic.setLayout(kServerA, StatusLayout::Classic);
    classic.enqueue(kServerA, "say");
    classic.enqueue(kServerA, "kick", RconPacer::kKickAfterAnnouncementUs);
    EXPECT_EQ(timesOf(drain(classic, 700 * ms)), (std::vector<std::int64_t>{700 * ms, 1200 * ms}));
}

TEST(RconPacer, KeepsTheOrderPerServerAndLetsServersGoIndependently)
{
    RconPacer pacer;
    pacer.setLayout(kServerA, StatusLayout::Classic);
    pacer.enqueue(kServerA, "a1");
    pacer.enqueue(kServerA, "a2");
    pacer.enqueue(kServerB, "b1");
    pacer.enqueue(kServerB, "b2");
    pacer.enqueue(kServerA, "a3");
    EXPECT_EQ(drain(pacer, 0), (std::vector<Sent>{{0, kServerA, "a1"},
                                                  {0, kServerB, "b1"},
                                                  {0, kServerB, "b2"},
                                                  {500 * ms, kServerA, "a2"},
                                                  {1000 * ms, kServerA, "a3"}}));
}

TEST(RconPacer, AQuietServerGetsItsDatagramAtOnce)
{
    RconPacer pacer;
    pacer.setLayout(kServerA, StatusLayout::Classic);
    pacer.enqueue(kServerA, "poll 1");
    EXPECT_EQ(pacer.nextDueUs(15000 * ms), 15000 * ms);
    ASSERT_EQ(pacer.takeDue(15000 * ms).size(), 1u);
    EXPECT_FALSE(pacer.nextDueUs(15000 * ms));

    pacer.enqueue(kServerA, "poll 2");
    EXPECT_EQ(pacer.nextDueUs(15200 * ms), 15500 * ms);
    pacer.enqueue(kServerB, "other");
    EXPECT_EQ(pacer.nextDueUs(15200 * ms), 15200 * ms);

    RconPacer later;
    later.setLayout(kServerA, StatusLayout::Classic);
    later.enqueue(kServerA, "x");
    later.takeDue(0);
    later.enqueue(kServerA, "y");
    EXPECT_EQ(later.takeDue(30000 * ms).size(), 1u);
}

TEST(RconPacer, ClearDropsTheQueueButKeepsTheDistance)
{
    RconPacer pacer;
    pacer.setLayout(kServerA, StatusLayout::Classic);
    pacer.enqueue(kServerA, "start");
    pacer.enqueue(kServerA, "say");
    pacer.enqueue(kServerB, "other");
    pacer.takeDue(0);
    pacer.enqueue(kServerB, "other again");
    pacer.clear();
    EXPECT_TRUE(pacer.isEmpty());
    EXPECT_FALSE(pacer.nextDueUs(0));
    EXPECT_TRUE(pacer.takeDue(100000 * ms).empty());

    pacer.enqueue(kServerA, "start");
    EXPECT_TRUE(pacer.takeDue(200 * ms).empty());
    EXPECT_EQ(drain(pacer, 200 * ms), (std::vector<Sent>{{500 * ms, kServerA, "start"}}));
}

TEST(RconPacer, OnlyAStatusTableChangesThePace)
{
    RconPacer pacer;
    EXPECT_EQ(pacer.layout(kServerA), StatusLayout::Unknown);
    pacer.setLayout(kServerA, StatusLayout::Classic);
    pacer.setLayout(kServerA, StatusLayout::Unknown);
    EXPECT_EQ(pacer.layout(kServerA), StatusLayout::Classic);
    EXPECT_EQ(pacer.layout(kServerB), StatusLayout::Unknown);
    pacer.setLayout(kServerA, StatusLayout::Ioquake3);
    pacer.enqueue(kServerA, "1");
    pacer.enqueue(kServerA, "2");
    EXPECT_EQ(timesOf(drain(pacer, 0)), (std::vector<std::int64_t>{0, 0}));
}

TEST(RconPacer, AStatusQueryWaitsBehindTheRconDatagramsWhereTheEngineCountsIt)
{
    struct Case {
        StatusLayout layout;
        std::vector<Sent> sent; // times after the last of ten commands
    };
    // 300 ms after ten commands, a kick, a poll and two queries are queued; the newer query replaces the older.
    const Case cases[] = {
        {StatusLayout::Ioquake3,
         {{1000 * ms, kServerA, "kick"}, {2000 * ms, kServerA, "poll"}, {3000 * ms, kServerA, "query 2"}}},
        // getstatus is free on the classic server, and the rcon datagrams keep their half second.
        {StatusLayout::Classic,
         {{300 * ms, kServerA, "query 2"}, {500 * ms, kServerA, "kick"}, {1000 * ms, kServerA, "poll"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.layout));
        RconPacer pacer;
        pacer.setLayout(kServerA, c.layout);
        for (int i = 0; i < 10; ++i)
            pacer.enqueue(kServerA, "say " + std::to_string(i));
        const std::int64_t lastUs = drain(pacer, 0).back().atUs;
        pacer.enqueue(kServerA, "kick");
        pacer.enqueuePoll(kServerA, "poll");
        EXPECT_TRUE(pacer.enqueueQuery(kServerA, "query 1"));
        EXPECT_FALSE(pacer.enqueueQuery(kServerA, "query 2"));

        std::vector<Sent> sent = drain(pacer, lastUs + 300 * ms);
        for (Sent& s : sent)
            s.atUs -= lastUs;
        EXPECT_EQ(sent, c.sent);
        EXPECT_TRUE(pacer.isEmpty());
    }
}

TEST(RconPacer, ClearingTheWatchersDatagramsKeepsAWaitingQuery)
{
    RconPacer pacer;
    pacer.setLayout(kServerA, StatusLayout::Ioquake3);
    pacer.enqueue(kServerA, "kick");
    pacer.enqueuePoll(kServerA, "poll");
    pacer.enqueueQuery(kServerA, "query");
    pacer.clear();

    const auto due = pacer.takeDue(0);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].payload, "query");
    EXPECT_TRUE(due[0].query);
    EXPECT_TRUE(due[0].paced);
}
