// Several servers' profiles: the ids their names are kept under, and the port a new one gets.

#include "core/settings/server_profiles.h"

#include <gtest/gtest.h>

#include <functional>

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

TEST(ServerProfiles, AServerStandsAsItsSupervisorAndItsAnswersSay)
{
    struct Step {
        std::function<void(ServerStanding&)> event;
        std::string text;
    };
    const auto queriedUnanswered = [](ServerStanding& s) {
        for (int i = 0; i < ServerStanding::kUnansweredQueries; ++i)
            s.queried();
    };
    const std::vector<std::pair<bool, std::vector<Step>>> runs{
        {false,
         {{[](ServerStanding&) {}, "stopped"},
          {[](ServerStanding& s) { s.launched(); }, "starting"},
          {[](ServerStanding& s) { s.queried(); }, "starting"},
          {[](ServerStanding& s) { s.answered(); }, "running"},
          {queriedUnanswered, "running, not answering"},
          {[](ServerStanding& s) { s.crashed(); }, "crashed"},
          {[](ServerStanding& s) { s.launched(); }, "starting"},
          {[](ServerStanding& s) { s.stopped(true); }, "stopped early"},
          {[](ServerStanding& s) { s.adopted(); }, "running"},
          {[](ServerStanding& s) { s.stopped(false); }, "stopped"}}},
        {true,
         {{[](ServerStanding&) {}, "not asked yet"},
          {[](ServerStanding& s) { s.answered(); }, "answers"},
          {queriedUnanswered, "cannot be reached"},
          {[](ServerStanding& s) { s.answered(); }, "answers"}}},
    };
    for (const auto& [remote, steps] : runs) {
        ServerStanding standing(remote);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            steps[i].event(standing);
            EXPECT_EQ(standing.text(), steps[i].text) << (remote ? "remote" : "local") << ", step " << i;
            EXPECT_EQ(standing.up(), remote || steps[i].text.starts_with("starting") ||
                                         steps[i].text.starts_with("running"))
                << i;
        }
    }
}

TEST(ServerProfiles, TheTreeLineAddsPlayersAndMapOnceKnown)
{
    ServerStanding standing;
    EXPECT_EQ(serverTreeLine("CTF", 27961, standing, 0, 0, ""), "CTF  port 27961  stopped");
    standing.adopted();
    EXPECT_EQ(serverTreeLine("CTF", 27961, standing, 3, 16, "q3ctf1"), "CTF  port 27961  running  3/16  q3ctf1");
}

} // namespace
} // namespace varno
