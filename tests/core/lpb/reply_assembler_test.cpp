#include "core/lpb/reply_assembler.h"
#include "core/lpb/status_parser.h"

#include "status_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace varno;
using namespace lpbtest;

namespace {

constexpr std::int64_t kWindow = ReplyAssembler::kDefaultJoinWindowMs;

std::vector<std::string> drainAll(ReplyAssembler& assembler, std::int64_t nowMs)
{
    std::vector<std::string> texts;
    while (auto reply = assembler.takeComplete(nowMs))
        texts.push_back(reply->text);
    return texts;
}

} // namespace

TEST(ReplyAssembler, JoinsContinuationsWithoutTheirPrefixOnceTheWindowHasPassed)
{
    ReplyAssembler assembler;
    EXPECT_FALSE(assembler.nextDeadline());
    assembler.feed(kReplyPrefix + "map: q3dm17\nhead", 1000, "s");
    assembler.feed(kReplyPrefix + "er\nrow", 1000 + kWindow - 1, "s");
    assembler.feed(kReplyPrefix + "s\n", 1000 + 2 * kWindow - 2, "s");

    const std::int64_t deadline = 1000 + 3 * kWindow - 2;
    EXPECT_EQ(assembler.nextDeadline(), deadline);
    EXPECT_FALSE(assembler.takeComplete(deadline - 1));
    const auto reply = assembler.takeComplete(deadline);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->text, kReplyPrefix + "map: q3dm17\nheader\nrows\n");
    EXPECT_EQ(reply->source, "s");
    EXPECT_TRUE(assembler.isEmpty());
    EXPECT_FALSE(assembler.nextDeadline());
}

TEST(ReplyAssembler, StartsANewReplyOnAStatusStartOrAfterTheWindow)
{
    const struct {
        std::string second;
        std::int64_t secondMs;
        std::vector<std::string> replies;
    } cases[] = {
        {kReplyPrefix + "tail", 10 + kWindow - 1, {kReplyPrefix + "map: a\ntail"}},
        {kReplyPrefix + "tail", 10 + kWindow, {kReplyPrefix + "map: a\n", kReplyPrefix + "tail"}},
        {kReplyPrefix + "map: b\n", 11, {kReplyPrefix + "map: a\n", kReplyPrefix + "map: b\n"}},
        // Not an rcon reply at all: never a continuation.
        {"map: b\n", 11, {kReplyPrefix + "map: a\n", "map: b\n"}},
        {"", 11, {kReplyPrefix + "map: a\n", ""}},
    };
    for (const auto& c : cases) {
        ReplyAssembler assembler;
        assembler.feed(kReplyPrefix + "map: a\n", 10);
        assembler.feed(c.second, c.secondMs);
        EXPECT_EQ(drainAll(assembler, c.secondMs + kWindow), c.replies) << c.second;
    }
}

TEST(ReplyAssembler, NeverJoinsDatagramsFromDifferentSources)
{
    ReplyAssembler assembler;
    assembler.feed(kReplyPrefix + "map: a\nA1", 0, "a");
    assembler.feed(kReplyPrefix + "map: b\nB1", 1, "b");
    assembler.feed(kReplyPrefix + "A2", 2, "a");
    assembler.feed(kReplyPrefix + "B2", 3, "b");
    EXPECT_EQ(drainAll(assembler, 3 + kWindow),
              (std::vector<std::string>{kReplyPrefix + "map: a\nA1A2", kReplyPrefix + "map: b\nB1B2"}));
}

TEST(ReplyAssembler, HonoursASettableWindow)
{
    ReplyAssembler assembler(20);
    assembler.feed(kReplyPrefix + "map: a\n", 0);
    assembler.feed(kReplyPrefix + "b", 25);
    EXPECT_EQ(drainAll(assembler, 45), (std::vector<std::string>{kReplyPrefix + "map: a\n", kReplyPrefix + "b"}));

    assembler.setJoinWindowMs(300);
    assembler.feed(kReplyPrefix + "map: a\n", 1000);
    assembler.feed(kReplyPrefix + "b", 1250);
    EXPECT_FALSE(assembler.takeComplete(1549));
    EXPECT_EQ(drainAll(assembler, 1550), (std::vector<std::string>{kReplyPrefix + "map: a\nb"}));
}

TEST(ReplyAssembler, BoundsWhatOneReplyMayHold)
{
    ReplyAssembler assembler;
    const std::string chunk = kReplyPrefix + std::string(60000, 'x');
    std::int64_t now = 0;
    assembler.feed(kReplyPrefix + "map: a\n", now);
    for (int i = 0; i < 10; ++i)
        assembler.feed(chunk, ++now);
    std::size_t total = 0;
    for (const auto& text : drainAll(assembler, now + kWindow)) {
        EXPECT_LE(text.size(), ReplyAssembler::kMaxReplyBytes);
        total += text.size() - kReplyPrefix.size();
    }
    EXPECT_EQ(total, std::string("map: a\n").size() + 10 * 60000u);
}

TEST(ReplyAssembler, AReplySplitAnywhereReadsAsTheWholeReply)
{
    const std::string whole =
        classicReply("q3dm17", {classicRow(0, 5, "0", "Sarge", 50, "bot", 0, 0),
                                classicRow(1, 12, "45", "Big  Bob", 50, "192.168.0.7:27960"),
                                classicRow(2, 3, "CNCT", "Newbie", 300, "10.9.9.9:27960"),
                                classicRow(10, -2, "99", "^1Red^7Dwarf", 16, "172.16.5.4:27961")});
    const auto expected = parseStatusReply(whole);
    ASSERT_EQ(expected.rows.size(), 4u);
    const std::string body = whole.substr(kReplyPrefix.size());
    for (std::size_t split = 1; split < body.size(); ++split) {
        ReplyAssembler assembler;
        assembler.feed(kReplyPrefix + body.substr(0, split), 0);
        assembler.feed(kReplyPrefix + body.substr(split), 3);
        const auto reply = assembler.takeComplete(3 + kWindow);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->text, whole);
        const auto status = parseStatusReply(reply->text);
        ASSERT_EQ(status.rows.size(), expected.rows.size()) << "split at " << split;
        for (std::size_t i = 0; i < status.rows.size(); ++i)
            EXPECT_EQ(status.rows[i].player, expected.rows[i].player) << "split at " << split;
    }
}

TEST(ReplyAssembler, ThePrintedTextLeavesTheHeaderOut)
{
    EXPECT_EQ(printedText("\xff\xff\xff\xffprint\nhello\n"), "hello\n");
    EXPECT_EQ(printedText("\xff\xff\xff\xffprint\n"), "");
    EXPECT_EQ(printedText("no header\n"), "no header\n");
}
