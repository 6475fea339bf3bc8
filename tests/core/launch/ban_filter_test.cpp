#include "core/launch/ban_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace varno;

namespace {

// Which of a few addresses an entry bans, as the game reads the entry.
std::vector<std::string> bannedBy(const std::string& entry)
{
    std::vector<std::string> banned;
    for (const char* address : {"10.1.1.1", "10.1.1.10:27960", "10.1.2.3", "10.2.0.1", "44.1.1.1", "192.168.0.7"}) {
        if (isBannedAddress(address, {entry}))
            banned.push_back(address);
    }
    return banned;
}

} // namespace

TEST(BanFilterTest, EntriesMatchAsTheGameReadsThem)
{
    const struct {
        std::string entry;
        std::vector<std::string> banned;
        std::string problem;
    } cases[] = {
        {"10.1.1.1", {"10.1.1.1"}, ""},
        {"10.1.1.1:27960", {"10.1.1.1"}, ""}, // the port is ignored
        {"10.1.*", {"10.1.1.1", "10.1.1.10:27960", "10.1.2.3"}, ""},
        {"10.1", {"10.1.1.1", "10.1.1.10:27960", "10.1.2.3"}, ""}, // missing octets match any
        {"10.*.1.1", {"10.1.1.1"}, ""},
        {"*", {"10.1.1.1", "10.1.1.10:27960", "10.1.2.3", "10.2.0.1", "44.1.1.1", "192.168.0.7"}, ""},
        // Read, but not as written.
        {"300.1.1.1", {"44.1.1.1"}, "the game reads this entry as 44.1.1.1"},
        {"10-1-1-1", {"10.1.1.1"}, "the game reads this entry as 10.1.1.1"},
        {"10.1.1.1x", {"10.1.1.1"}, "the game reads this entry as 10.1.1.1"},
        {"10.1.2:27960", {}, "the game reads this entry as 10.1.2.56"},
        // Ignored.
        {"bot", {}, "the game ignores this entry: it is not an address pattern"},
        {"", {}, "the game ignores this entry: it is not an address pattern"},
        {"10..1.1", {}, "the game ignores this entry: it is not an address pattern"},
        {"10.1.1.", {}, "the game ignores this entry: it is not an address pattern"},
        {"*.", {}, "the game ignores this entry: it is not an address pattern"},
        {" 10.1.1.1", {}, "the game ignores this entry: it is not an address pattern"},
        {"::1", {}, "the game ignores this entry: it is not an address pattern"},
        {"1234567890.1.1.1", {}, "the game ignores this entry: a number is too long"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(bannedBy(c.entry), c.banned);
        EXPECT_EQ(readBanEntry(c.entry).problem, c.problem);
    }
}

TEST(BanFilterTest, OnlyDottedIpv4AddressesAreEverMatched)
{
    for (const char* address : {"bot", "loopback", "[::1]:27960", "10.1.1", "10.1.1.1.1", "10.1.1.256", ""})
        EXPECT_FALSE(isBannedAddress(address, {"*"})) << address;
    EXPECT_TRUE(isBannedAddress("10.1.1.1:27960", {"bot", "10.1.1.1"}));
}
