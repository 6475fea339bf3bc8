// Several servers' profiles: the ids their names are kept under, and the port a new one gets.

#include "core/settings/server_profiles.h"

#include <gtest/gtest.h>

namespace varno {
namespace {

TEST(ServerProfiles, NamesBecomeIdsOfLettersDigitsAndSingleDashes)
{
    const struct {
        const char* name;
        const char* id;
    } cases[] = {{"CTF Night", "ctf-night"},
                 {"  ctf--night!! ", "ctf-night"},
                 {"Dm 2", "dm-2"},
                 {"../etc/passwd", "etc-passwd"},
                 {"Ünï", "n"},
                 {"!!!", ""},
                 {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(profileIdFor(c.name), c.id) << c.name;
}

TEST(ServerProfiles, ANewNameNeedsALetterOrDigitAndAnIdOfItsOwn)
{
    const std::vector<std::string> taken{"ctf-night"};
    EXPECT_EQ(newServerNameProblem("Duel", taken), "");
    EXPECT_EQ(newServerNameProblem("CTF night", taken), "a server named 'CTF night' exists already");
    EXPECT_EQ(newServerNameProblem("Default", taken), "a server named 'Default' exists already");
    EXPECT_EQ(newServerNameProblem("--", taken), "a server name needs a letter or a digit");
}

TEST(ServerProfiles, ANewServerGetsTheFirstFreePortAboveTheFirstServers)
{
    EXPECT_EQ(nextFreeGamePort(27960, {27960}), 27961);
    EXPECT_EQ(nextFreeGamePort(27960, {27960, 27961, 27963}), 27962);
    EXPECT_EQ(nextFreeGamePort(27960, {27960, 27962}), 27961);
}

} // namespace
} // namespace varno
