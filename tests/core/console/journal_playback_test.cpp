#include "core/console/journal_playback.h"
#include "core/console/key_parser.h"

#include "key_test_support.h"

#include <gtest/gtest.h>

using namespace varno;
using varno::test::usEventsOf;

TEST(JournalPlayback, FetchesEachEventUntilTheLastIsSkipped)
{
    const auto events = usEventsOf("^c");
    JournalPlayback playback(events);
    for (std::size_t i = 0; i < events.size(); ++i) {
        ASSERT_FALSE(playback.atEnd());
        EXPECT_EQ(playback.eventIndex(), i);
        EXPECT_EQ(playback.currentEvent(), events[i]);
        EXPECT_EQ(playback.skip(), i + 1 < events.size());
    }
    EXPECT_TRUE(playback.atEnd());
    EXPECT_FALSE(playback.skip());
}

TEST(JournalPlayback, ReachesTheLastEventOfTheLongestListWithoutWrapping)
{
    std::vector<KeyEvent> events(kMaxKeyEvents);
    events.back().keyCode = 13;
    JournalPlayback playback(events);
    std::size_t skips = 0;
    while (playback.skip())
        ++skips;
    EXPECT_EQ(skips, kMaxKeyEvents - 1);
    EXPECT_EQ(playback.eventIndex(), kMaxKeyEvents - 1);
    EXPECT_EQ(playback.currentEvent().keyCode, 13u);
    EXPECT_TRUE(playback.atEnd());
}
