// The ZOZ Idaroz's decisions: who is a low-ping player, what is done about them, once per appearance.

#include "core/lpb/lpb_watcher.h"
#include "core/lpb/watcher_health.h"

#include <gtest/gtest.h>

namespace varno {
namespace {

const RconTarget kServer{"127.0.0.1", 27960};

StatusRow player(const std::string& client, int ping, const std::string& name, const std::string& address)
{
    return {StatusRowKind::Player, {client, std::to_string(ping), name + " ", address}, ping};
}

ParsedStatus reply(std::vector<StatusRow> rows, StatusLayout layout = StatusLayout::Ioquake3)
{
    return {layout, "q3dm7", std::move(rows), std::nullopt, true};
}

WatcherOptions allOptions()
{
    WatcherOptions options;
    options.minPing = 100;
    options.password = "secret";
    options.announce = true;
    options.msg1 = "Warning: Player ";
    options.msg2 = " ^7is an LPB and will be removed.";
    options.kick = true;
    options.ban = true;
    options.log = true;
    return options;
}

std::vector<std::string> commandTexts(const LpbDecision& decision)
{
    std::vector<std::string> texts;
    for (const LpbCommand& command : decision.commands)
        texts.push_back(command.commandText);
    return texts;
}

// Bots, a low-ping client in slot 3 and a high-ping client named "3": only slot 3 is acted on, by slot number.
TEST(LpbWatcherTest, ActsOnLowPingPlayersOnlyAndKicksBySlot)
{
    LpbWatcher watcher;
    const ParsedStatus status = reply({player(" 0", 0, "Sarge^7", "bot"), player(" 1", 0, "Xaero^7", "bot"),
                                       player(" 3", 40, "Low^7", "192.168.0.7:27960"),
                                       player(" 4", 300, "3^7", "10.9.9.9:27960")});

    const auto decisions = watcher.decide(kServer, status, allOptions(), {});

    ASSERT_EQ(decisions.size(), 1u);
    const LpbDecision& low = decisions[0];
    EXPECT_EQ(low.player.clientNumber, " 3");
    EXPECT_EQ(low.logLine, "Name:Low^7    Ping:40   IP:192.168.0.7:27960");
    EXPECT_EQ(low.storeBan, "192.168.0.7:27960");
    EXPECT_EQ(commandTexts(low),
              (std::vector<std::string>{" say ^2V^4a^2r^4n^2o^7: Warning: Player Low^7  ^7is an LPB and will be removed.",
                                        " clientkick 3", " addip 192.168.0.7"}));
    EXPECT_EQ(low.commands[1].minGapUs, RconPacer::kKickAfterAnnouncementUs);
    EXPECT_EQ(watcher.count(), 0) << "counted when the last datagram has left";
}

TEST(LpbWatcherTest, OptionsChooseTheActions)
{
    struct Case {
        const char* what;
        bool announce, kick, ban, log;
        std::vector<std::string> stored;
        std::string address;
        std::vector<LpbCommandKind> commands;
        std::optional<std::string> storeBan;
        bool logged;
    };
    using K = LpbCommandKind;
    const Case cases[] = {
        {"all off: counted only", false, false, false, false, {}, "1.2.3.4:5", {}, std::nullopt, false},
        {"kick only", false, true, false, false, {}, "1.2.3.4:5", {K::Kick}, std::nullopt, false},
        {"ban only: stored and sent", false, false, true, false, {}, "1.2.3.4:5", {K::AddIp}, "1.2.3.4:5", false},
        {"stored without port", false, false, true, false, {"1.2.3.4"}, "1.2.3.4:5", {K::AddIp}, std::nullopt, false},
        {"stored with another port", false, false, true, false, {"9.9.9.9", "1.2.3.4:77"}, "1.2.3.4:5", {K::AddIp},
         std::nullopt, false},
        {"IPv6: stored, no addip", false, false, true, false, {}, "[::1]:5", {}, "[::1]:5", false},
        {"log only", false, false, false, true, {}, "1.2.3.4:5", {}, std::nullopt, true},
        {"announce and kick", true, true, false, false, {}, "1.2.3.4:5", {K::Announcement, K::Kick}, std::nullopt,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WatcherOptions options = allOptions();
        options.announce = c.announce;
        options.kick = c.kick;
        options.ban = c.ban;
        options.log = c.log;
        LpbWatcher watcher;

        const auto decisions = watcher.decide(kServer, reply({player(" 2", 20, "Low", c.address)}), options, c.stored);

        ASSERT_EQ(decisions.size(), 1u);
        std::vector<LpbCommandKind> kinds;
        for (const LpbCommand& command : decisions[0].commands)
            kinds.push_back(command.kind);
        EXPECT_EQ(kinds, c.commands);
        EXPECT_EQ(decisions[0].storeBan, c.storeBan);
        EXPECT_EQ(decisions[0].logLine.has_value(), c.logged);
        EXPECT_EQ(decisions[0].countedNow, c.commands.empty());
        EXPECT_EQ(watcher.count(), c.commands.empty() ? 1 : 0);
    }
}

TEST(LpbWatcherTest, TwoPlayersBehindOneAddressAreStoredOnce)
{
    LpbWatcher watcher;
    const auto decisions = watcher.decide(
        kServer, reply({player(" 1", 20, "A", "1.2.3.4:27960"), player(" 2", 30, "B", "1.2.3.4:27961")}),
        allOptions(), {});

    ASSERT_EQ(decisions.size(), 2u);
    EXPECT_EQ(decisions[0].storeBan, "1.2.3.4:27960");
    EXPECT_EQ(decisions[1].storeBan, std::nullopt);
}

TEST(LpbWatcherTest, OnePlayerGetsOneAnnouncementAndKickPerAppearance)
{
    struct Step {
        const char* what;
        enum { Poll, Reply, SendAll, Gone, CutShort } event;
        std::vector<LpbCommandKind> commands; // decided by a Reply
        bool message = false;
    };
    using K = LpbCommandKind;
    const Step steps[] = {
        {"first seen", Step::Reply, {K::Announcement, K::Kick, K::AddIp}},
        {"listed while the kick waits", Step::Reply, {}},
        {"kick leaves", Step::SendAll, {}},
        {"reply to the poll before the kick", Step::Reply, {}},
        {"next poll", Step::Poll, {}},
        {"still listed: reported once, kicked again", Step::Reply, {K::Kick}, true},
        {"waits again", Step::Reply, {}},
        {"second kick leaves", Step::SendAll, {}},
        {"next poll", Step::Poll, {}},
        {"still there: kicked again without a second report", Step::Reply, {K::Kick}},
        {"a table cut short without his row forgets nobody", Step::CutShort, {}},
        {"listed again while that kick waits: no new appearance", Step::Reply, {}},
        {"gone", Step::Gone, {}},
        {"back: a new appearance", Step::Reply, {K::Announcement, K::Kick, K::AddIp}},
    };
    LpbWatcher watcher;
    const ParsedStatus listed = reply({player(" 3", 40, "Low", "1.2.3.4:27960")});
    std::vector<std::uint64_t> queued;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        switch (step.event) {
        case Step::Poll:
            watcher.pollSent(kServer);
            break;
        case Step::SendAll:
            for (const std::uint64_t id : queued)
                EXPECT_TRUE(watcher.commandSent(id).has_value());
            queued.clear();
            break;
        case Step::Gone:
            EXPECT_TRUE(watcher.decide(kServer, reply({}), allOptions(), {}).empty());
            break;
        case Step::CutShort: {
            ParsedStatus cut = reply({});
            cut.complete = false;
            EXPECT_TRUE(watcher.decide(kServer, cut, allOptions(), {}).empty());
            break;
        }
        case Step::Reply: {
            const auto decisions = watcher.decide(kServer, listed, allOptions(), {});
            std::vector<LpbCommandKind> kinds;
            bool message = false;
            for (const LpbDecision& decision : decisions) {
                for (const LpbCommand& command : decision.commands) {
                    kinds.push_back(command.kind);
                    queued.push_back(command.id);
                }
                message = message || decision.message.has_value();
            }
            EXPECT_EQ(kinds, step.commands);
            EXPECT_EQ(message, step.message);
            break;
        }
        }
    }
    EXPECT_EQ(watcher.count(), 1) << "retries are not counted again";
}

TEST(LpbWatcherTest, PlayersFromBannedAddressesAreRemovedWhateverTheirPingAndCountedApart)
{
    const std::vector<std::string> bans{"10.9.0.5", "10.8.*", "10.7", "10.1.1.1", "bot", "300.1.1.1"};
    const ParsedStatus status = reply({player(" 0", 0, "Sarge^7", "bot"), player(" 1", 200, "Exact", "10.9.0.5"),
                                       player(" 2", 300, "Star", "10.8.4.4:27960"), player(" 3", 90, "Prefix", "10.7.1.2"),
                                       player(" 4", 200, "Near", "10.1.1.10"), player(" 5", 200, "Wrapped", "44.1.1.1"),
                                       player(" 6", 20, "Low", "192.168.5.5")});
    struct Case {
        const char* what;
        bool kickBanned;
        bool kickLpbs;
        std::vector<std::string> kicked;
        std::vector<std::string> banned; // of the kicked
    };
    const Case cases[] = {
        // 10.1.1.10 is not 10.1.1.1; "300.1.1.1" is 44.1.1.1 to the game; bots are never matched.
        {"both", true, true, {"1", "2", "3", "5", "6"}, {"1", "2", "3", "5"}},
        {"low-ping kicks off", true, false, {"1", "2", "3", "5"}, {"1", "2", "3", "5"}},
        {"removal off", false, true, {"3", "6"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WatcherOptions options = allOptions();
        options.kickBanned = c.kickBanned;
        options.kick = c.kickLpbs;
        LpbWatcher watcher;
        std::vector<std::string> kicked;
        std::vector<std::string> banned;
        for (const LpbDecision& decision : watcher.decide(kServer, status, options, bans)) {
            for (const LpbCommand& command : decision.commands) {
                if (command.kind == LpbCommandKind::Kick)
                    kicked.push_back(decision.player.clientNumber.substr(1));
                const auto report = watcher.commandSent(command.id);
                ASSERT_TRUE(report);
                EXPECT_EQ(report->banned, decision.banned);
            }
            if (decision.banned) {
                banned.push_back(decision.player.clientNumber.substr(1));
                ASSERT_EQ(decision.commands.size(), 2u);
                EXPECT_EQ(decision.commands[0].commandText,
                          " say ^2V^4a^2r^4n^2o^7: " + decision.player.name + " ^7is banned from this server.");
                EXPECT_EQ(decision.commands[1].commandText, " clientkick " + decision.player.clientNumber.substr(1));
                EXPECT_FALSE(decision.storeBan) << "already in the list";
            }
        }
        EXPECT_EQ(kicked, c.kicked);
        EXPECT_EQ(banned, c.banned);
        EXPECT_EQ(watcher.bannedCount(), int(c.banned.size()));
        // Low (ping 20) and Prefix (ping 90) are low-ping players; Prefix is banned too and counted as banned.
        EXPECT_EQ(watcher.count(), c.kickBanned ? 1 : 2);
        // Once per visit: listed again, nobody is announced or kicked again before a later poll.
        EXPECT_TRUE(watcher.decide(kServer, status, options, bans).empty());
    }
}

TEST(LpbWatcherTest, ReportsSendsAndNamesWhatNeverLeft)
{
    LpbWatcher watcher;
    const auto decisions =
        watcher.decide(kServer, reply({player(" 3", 40, "Low", "1.2.3.4:27960"), player(" 5", 50, "Two", "5.6.7.8:1")}),
                       allOptions(), {});
    ASSERT_EQ(decisions.size(), 2u);
    const auto& first = decisions[0].commands;

    EXPECT_FALSE(watcher.commandSent(first[0].id)->counted);
    EXPECT_EQ(watcher.commandSent(first[1].id)->kind, LpbCommandKind::Kick);
    const auto addIp = watcher.commandSent(first[2].id);
    EXPECT_TRUE(addIp->counted);
    EXPECT_EQ(addIp->address, "1.2.3.4");
    EXPECT_EQ(watcher.count(), 1);
    EXPECT_FALSE(watcher.commandSent(first[2].id).has_value()) << "reported once";

    const auto dropped = watcher.dropPending();
    ASSERT_EQ(dropped.size(), 3u);
    EXPECT_EQ(dropped[1].kind, LpbCommandKind::Kick);
    EXPECT_EQ(dropped[1].player.clientNumber, " 5");
    EXPECT_FALSE(watcher.hasPending());
    EXPECT_EQ(watcher.count(), 1);
}

// The operator's Kick and Ban from the player table: whatever the ping and the options, retried while listed, the
// leaving said once; never counted.
TEST(LpbWatcherTest, ThePlayerTheOperatorRemovesIsKickedUntilGone)
{
    WatcherOptions options = allOptions();
    options.kick = false; // the operator's kick does not depend on the low-ping option
    const PlayerRecord high{" 4", "300", "High ", "10.2.2.2:27960"};
    const ParsedStatus listed = reply({player(" 4", 300, "High", "10.2.2.2:27960")});
    LpbWatcher watcher;
    watcher.decide(kServer, listed, options, {});

    const LpbDecision ban = watcher.removeByOperator(kServer, high, true, {"10.9.9.9"});
    EXPECT_EQ(commandTexts(ban), (std::vector<std::string>{" clientkick 4", " addip 10.2.2.2"}));
    EXPECT_EQ(ban.storeBan, "10.2.2.2:27960");
    EXPECT_TRUE(watcher.decide(kServer, listed, options, {}).empty()) << "listed while the kick waits";
    for (const LpbCommand& command : ban.commands) {
        const auto report = watcher.commandSent(command.id);
        ASSERT_TRUE(report);
        EXPECT_TRUE(report->byOperator);
        EXPECT_FALSE(report->counted);
    }
    EXPECT_TRUE(watcher.decide(kServer, listed, options, {}).empty()) << "a reply to a poll before the kick";
    watcher.pollSent(kServer);
    auto again = watcher.decide(kServer, listed, options, {});
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(commandTexts(again[0]), std::vector<std::string>{" clientkick 4"});
    EXPECT_EQ(again[0].message, "Client 4 High: kick did not take effect; kicking again");
    watcher.commandSent(again[0].commands[0].id);

    const auto gone = watcher.decide(kServer, reply({}), options, {});
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_TRUE(gone[0].commands.empty());
    EXPECT_EQ(gone[0].message, "Client 4 High has left the server");
    EXPECT_TRUE(watcher.decide(kServer, reply({}), options, {}).empty()) << "said once";
    EXPECT_EQ(watcher.count() + watcher.bannedCount(), 0);

    // An address the list holds is not stored again; a bot has none to ban.
    EXPECT_FALSE(watcher.removeByOperator(kServer, high, true, {"10.2.2.2"}).storeBan);
    const LpbDecision bot = watcher.removeByOperator(kServer, {" 0", "0", "Sarge ", "bot"}, true, {});
    EXPECT_EQ(commandTexts(bot), std::vector<std::string>{" clientkick 0"});
    EXPECT_FALSE(bot.storeBan);
}

// A server that answers a table but never answered the start announcement did not hear it: once more, once.
TEST(LpbWatcherTest, TheStartAnnouncementGoesAgainWhenOnlyTheTableIsAnswered)
{
    const ParsedStatus table = reply({});
    const ParsedStatus commandReply{};
    LpbWatcher watcher;
    EXPECT_FALSE(watcher.announceStartAgain(table)) << "never started";

    watcher.startAnnouncementSent();
    EXPECT_FALSE(watcher.announceStartAgain(commandReply)) << "answered";
    EXPECT_FALSE(watcher.announceStartAgain(table));

    watcher.startAnnouncementSent();
    EXPECT_TRUE(watcher.announceStartAgain(table)) << "the server was not listening yet";
    EXPECT_FALSE(watcher.announceStartAgain(table));
}

TEST(LpbWatcherTest, AddressesAndCommands)
{
    struct Case {
        std::string address;
        std::string host;
        std::optional<std::string> addIp;
    };
    const Case cases[] = {
        {"192.168.0.7:27960", "192.168.0.7", " addip 192.168.0.7"},
        {"192.168.0.7", "192.168.0.7", " addip 192.168.0.7"},
        {"bot", "bot", std::nullopt},
        {"loopback", "loopback", std::nullopt},
        {"[fe80::1]:27960", "fe80::1", std::nullopt},
        {"fe80::1", "fe80::1", std::nullopt},
        {"300.1.1.1:5", "300.1.1.1", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        const PlayerRecord record{" 7", "10", "X ", c.address};
        EXPECT_EQ(addressHost(c.address), c.host);
        EXPECT_EQ(addIpCommand(record), c.addIp);
    }
    EXPECT_EQ(clientKickCommand({" 7", "10", "X ", "bot"}), " clientkick 7");
    EXPECT_EQ(clientKickCommand({"12", "10", "X ", "bot"}), " clientkick 12");
}

TEST(WatcherHealthTest, SaysWhenTheWatcherIsBlind)
{
    const RconTarget other{"127.0.0.1", 27961};
    struct Event {
        enum { Poll, Reply, NotFound, Foreign, Skip } kind;
        std::int64_t atMs;
        std::string text;
        std::string expected;
    };
    struct Case {
        const char* what;
        std::vector<Event> events;
    };
    const Case cases[] = {
        {"answering",
         {{Event::Poll, 0, "", "Waiting for the server's first reply"},
          {Event::Reply, 5, "\xff\xff\xff\xffprint\nmap: q3dm7\n", "Server 127.0.0.1:27960 answering (last reply 0 s ago)"},
          {Event::Poll, 15005, "", "Server 127.0.0.1:27960 answering (last reply 15 s ago)"}}},
        {"wrong password",
         {{Event::Poll, 0, "", ""},
          {Event::Reply, 5, "\xff\xff\xff\xffprint\nBad rconpassword.\n",
           "Server refused the rcon password (127.0.0.1:27960)"},
          {Event::Poll, 15000, "", "Server refused the rcon password (127.0.0.1:27960)"}}},
        {"no password on the server",
         {{Event::Reply, 5, "\xff\xff\xff\xffprint\nNo rconpassword set on the server.\n",
           "Server refused the rcon password (127.0.0.1:27960)"}}},
        {"silent port",
         {{Event::Poll, 0, "", "Waiting for the server's first reply"},
          {Event::Poll, 15000, "", "No reply from 127.0.0.1:27960 for 1 poll"},
          {Event::Poll, 30000, "", "No reply from 127.0.0.1:27960 for 2 polls"},
          {Event::Reply, 30005, "x", "Server 127.0.0.1:27960 answering (last reply 0 s ago)"}}},
        {"polls skipped for the rcon limit",
         {{Event::Poll, 0, "", ""},
          {Event::Reply, 5, "x", "Server 127.0.0.1:27960 answering (last reply 0 s ago)"},
          {Event::Skip, 1000, "", "Server 127.0.0.1:27960 answering (last reply 0 s ago; 1 poll skipped for the "
                                  "server's rcon limit)"},
          {Event::Skip, 2000, "", ""},
          {Event::Poll, 3000, "", "Server 127.0.0.1:27960 answering (last reply 2 s ago; 2 polls skipped for the "
                                  "server's rcon limit)"}}},
        {"host not found",
         {{Event::NotFound, 0, "", "Host not found: 127.0.0.1"},
          {Event::Poll, 15000, "", "Host not found: 127.0.0.1"}}},
        {"reply from another port",
         {{Event::Poll, 0, "", ""},
          {Event::Foreign, 3, "127.0.0.1:27961", "Replies from 127.0.0.1:27961 ignored: polling 127.0.0.1:27960"},
          {Event::Poll, 15000, "", "Replies from 127.0.0.1:27961 ignored: polling 127.0.0.1:27960"},
          {Event::Poll, 30000, "", "No reply from 127.0.0.1:27960 for 2 polls"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WatcherHealth health;
        for (const Event& event : c.events) {
            switch (event.kind) {
            case Event::Poll:
                health.pollSent(kServer, event.atMs);
                break;
            case Event::Reply:
                health.replyArrived(kServer, event.text, event.atMs);
                break;
            case Event::NotFound:
                health.hostNotFound(kServer);
                break;
            case Event::Foreign:
                health.foreignReply(kServer, event.text);
                break;
            case Event::Skip:
                health.pollSkipped(kServer);
                break;
            }
            if (!event.expected.empty()) {
                EXPECT_EQ(health.status(event.atMs).text, event.expected) << "at " << event.atMs;
            }
        }
    }
    WatcherHealth health;
    health.pollSent(kServer, 0);
    health.pollSent(kServer, 1000);
    const std::string key = health.status(1000).key;
    health.pollSent(kServer, 2000);
    EXPECT_EQ(health.status(2000).key, key) << "a count that grows is the same state";
    health.pollSent(other, 3000);
    EXPECT_EQ(health.status(3000).key, key) << "the other port has not had its chance yet";
}

} // namespace
} // namespace varno
