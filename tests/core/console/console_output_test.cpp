#include "core/console/console_output.h"

#include <gtest/gtest.h>

using namespace varno;
using Lines = std::vector<std::string>;

TEST(ConsoleOutput, FollowerPrintsEachFinishedLineOnce)
{
    ConsoleOutputFollower follower;
    const struct {
        Lines snapshot;
        Lines fresh;
    } steps[] = {
        {{"q3standin", "]"}, {"q3standin"}},
        {{"q3standin", "]"}, {}},
        {{"q3standin", "]sta"}, {}}, // typing changes only the last line
        {{"q3standin", "]status", "Server is not running.", "]"}, {"]status", "Server is not running."}},
        // Scrolled: the oldest line has gone off the top.
        {{"]status", "Server is not running.", "]echo a", "a", "]"}, {"]echo a", "a"}},
        // The same text again is new output, not old.
        {{"]echo a", "a", "]echo a", "a", "]"}, {"]echo a", "a"}},
        // More came than a snapshot holds: all of it is new.
        {{"x1", "x2", "]"}, {"x1", "x2"}},
        {{}, {}},
        {{"y", "]"}, {"y"}},
    };
    for (const auto& step : steps)
        EXPECT_EQ(follower.update(step.snapshot), step.fresh) << (step.snapshot.empty() ? "" : step.snapshot.back());
}

TEST(ConsoleOutput, LastLinesSplitsAtLineEndsAndDropsTrailingBlankLines)
{
    const struct {
        std::string text;
        std::size_t maxLines;
        Lines lines;
    } cases[] = {
        {"a\nb\n]\n\n   \n", 500, {"a", "b", "]"}},
        {"a\r\nb\r\nc", 2, {"b", "c"}},
        {"", 500, {}},
        {"\n\na", 500, {"", "", "a"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lastLines(c.text, c.maxLines), c.lines) << c.text;
}
