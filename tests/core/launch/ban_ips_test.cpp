#include "core/launch/ban_ips.h"

#include "core/app/varno_error.h"

#include <gtest/gtest.h>

using varno::banIpsValue;
using varno::VarnoError;
using Entries = std::vector<std::string>;

TEST(BanIps, WritesEachAddressOnceWithoutPortFollowedByABlank)
{
    const struct {
        Entries entries;
        std::string value;
    } cases[] = {
        {{}, ""},
        {{""}, ""},
        {{"  "}, ""},
        {{"10.0.0.1"}, "10.0.0.1 "},
        {{"10.0.0.1:27960"}, "10.0.0.1 "},
        {{"10.0.0.1:27960", "10.0.0.1", "10.0.0.1:1234"}, "10.0.0.1 "},
        {{"10.0.0.2", "", "10.0.0.1"}, "10.0.0.2 10.0.0.1 "},
        {{" 10.0.0.3\t"}, "10.0.0.3 "},
        {{"10.0.*", "10.0"}, "10.0.* 10.0 "},
        {{"::1", "fe80::1:27960"}, "::1 fe80::1:27960 "},
        {{"10.0.0.1:", "10.0.0.1:x"}, "10.0.0.1: 10.0.0.1:x "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(banIpsValue(c.entries), c.value) << ::testing::PrintToString(c.entries);
}

TEST(BanIps, RefusesAnEntryWithABlankOrQuoteInside)
{
    const struct {
        std::string entry;
        std::string message;
    } cases[] = {
        {"10.0.0.1 10.0.0.2", "The banned address \"10.0.0.1 10.0.0.2\" must not contain blanks or double quotes."},
        {"10.0.0.1\"", "The banned address \"10.0.0.1\"\" must not contain blanks or double quotes."},
        {"10.0.0.1\n10.0.0.2", "The banned address \"10.0.0.1\n10.0.0.2\" must not contain blanks or double quotes."},
    };
    for (const auto& c : cases) {
        try {
            banIpsValue({"10.0.0.9", c.entry});
            ADD_FAILURE() << "accepted " << c.entry;
        } catch (const VarnoError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
}

TEST(BanIps, RefusesAListLongerThanTheGameKeeps)
{
    // Fifteen addresses of 15 characters take 240 with their blanks; the last one decides.
    Entries entries;
    for (int i = 100; i < 115; ++i)
        entries.push_back("192.168.100." + std::to_string(i));

    entries.push_back("192.168.101.10");
    EXPECT_EQ(banIpsValue(entries).size(), 255u);

    entries.back() = "192.168.101.100";
    try {
        banIpsValue(entries);
        ADD_FAILURE() << "a value of 256 characters was accepted";
    } catch (const VarnoError& error) {
        EXPECT_STREQ(error.what(),
                     "The Banned IP List needs 256 characters in the server script, but the game takes at most 255.");
    }
}
