#include "core/launch/ban_ips.h"

#include <gtest/gtest.h>

using varno::BanIps;
using varno::banIpsFor;
using varno::banIpsNotice;
using Entries = std::vector<std::string>;

namespace {

// n distinct addresses of 15 characters (16 with their blank), oldest first.
Entries longAddresses(int n, int first = 100)
{
    Entries entries;
    for (int i = first; i < first + n; ++i)
        entries.push_back("192.168.100." + std::to_string(i));
    return entries;
}

} // namespace

TEST(BanIps, WritesTheUsableAddressesOnceWithoutPortFollowedByABlank)
{
    const struct {
        Entries entries;
        std::string value;
        std::size_t notIpv4;
    } cases[] = {
        {{}, "", 0},
        {{""}, "", 0},
        {{"  "}, "", 0},
        {{"10.0.0.1"}, "10.0.0.1 ", 0},
        {{"10.0.0.1:27960"}, "10.0.0.1 ", 0},
        // A repeat keeps the place where it was added last.
        {{"10.0.0.1:27960", "10.0.0.2", "10.0.0.1:1234"}, "10.0.0.2 10.0.0.1 ", 0},
        {{"10.0.0.2", "", "10.0.0.1"}, "10.0.0.2 10.0.0.1 ", 0},
        {{" 10.0.0.3\t"}, "10.0.0.3 ", 0},
        {{"10.0.*", "10.0", "*.*.*.*", "255.0.0.0"}, "10.0.* 10.0 *.*.*.* 255.0.0.0 ", 0},
        {{"bot", "::1", "fe80::1:27960", "[::1]:27960"}, "", 4},
        {{"10.0.0.1:", "10.0.0.1:x", "256.0.0.1", "1.2.3.4.5", "10..1", "host.example", "10.0.0.1 x"}, "", 7},
        {{"loopback", "10.0.0.9"}, "10.0.0.9 ", 1},
    };
    for (const auto& c : cases) {
        const BanIps bans = banIpsFor(c.entries);
        EXPECT_EQ(bans.value, c.value) << ::testing::PrintToString(c.entries);
        EXPECT_EQ(bans.leftOutNotIpv4, c.notIpv4) << ::testing::PrintToString(c.entries);
        EXPECT_EQ(bans.leftOutForLength, 0u);
    }
}

TEST(BanIps, KeepsTheNewestEntriesThatFitTheGame)
{
    const struct {
        Entries entries;
        std::size_t length;    // of the value
        std::size_t forLength; // entries left out
        std::string firstKept;
    } cases[] = {
        // Fifteen addresses take 240 with their blanks; a sixteenth of 14 characters fits exactly.
        {[] {
             auto e = longAddresses(15);
             e.push_back("192.168.101.10");
             return e;
         }(),
         255, 0, "192.168.100.100"},
        // One character more and the oldest goes.
        {[] {
             auto e = longAddresses(15);
             e.push_back("192.168.101.100");
             return e;
         }(),
         240, 1, "192.168.100.101"},
        // 42 entries as the low-ping watcher leaves them: only the newest 15 fit.
        {longAddresses(42), 240, 27, "192.168.100.127"},
    };
    for (const auto& c : cases) {
        const BanIps bans = banIpsFor(c.entries);
        EXPECT_EQ(bans.value.size(), c.length);
        EXPECT_EQ(bans.leftOutForLength, c.forLength);
        EXPECT_EQ(bans.value.substr(0, bans.value.find(' ')), c.firstKept);
        EXPECT_EQ(bans.value.substr(bans.value.size() - c.entries.back().size() - 1), c.entries.back() + ' ');
    }
}

TEST(BanIps, NoticeNamesHowManyWereLeftOutAndWhy)
{
    const struct {
        BanIps bans;
        std::string notice;
    } cases[] = {
        {{"10.0.0.1 ", 0, 0}, ""},
        {{"", 1, 0}, "1 banned entry left out of g_banIPs: 1 older beyond the game's 255 characters."},
        {{"", 0, 2}, "2 banned entries left out of g_banIPs: 2 not IPv4."},
        {{"", 27, 3}, "30 banned entries left out of g_banIPs: 27 older beyond the game's 255 characters, 3 not IPv4."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(banIpsNotice(c.bans), c.notice);
}
