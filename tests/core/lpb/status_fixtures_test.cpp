#include "core/lpb/reply_assembler.h"
#include "core/lpb/status_parser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace varno;

namespace {

const std::filesystem::path kFixtures = std::filesystem::path(VARNO_TEST_DATA) / "fixtures";

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> datagramsOf(const std::string& fixture)
{
    std::vector<std::string> datagrams;
    for (int n = 1;; ++n) {
        const auto path = kFixtures / fixture / ("datagram-" + std::to_string(n) + ".bin");
        if (!std::filesystem::exists(path))
            return datagrams;
        datagrams.push_back(readFile(path));
    }
}

// client, ping, name as printed without padding, address.
std::vector<std::vector<std::string>> expectedRowsOf(const std::string& fixture)
{
    std::istringstream tsv(readFile(kFixtures / fixture / "expected.tsv"));
    std::vector<std::vector<std::string>> rows;
    std::string line;
    std::getline(tsv, line); // column titles
    while (std::getline(tsv, line)) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');)
            fields.push_back(cell);
        rows.push_back(fields);
    }
    return rows;
}

std::string trimmedLeft(const std::string& text)
{
    return text.substr(std::min(text.find_first_not_of(' '), text.size()));
}

// Datagrams a millisecond apart, as a server's burst arrives; the reply completes when the join window has passed.
std::string assemble(const std::vector<std::string>& datagrams)
{
    ReplyAssembler assembler;
    std::int64_t now = 1000;
    for (const auto& datagram : datagrams)
        assembler.feed(datagram, now++, "127.0.0.1:27960");
    EXPECT_FALSE(assembler.takeComplete(now));
    const auto reply = assembler.takeComplete(now - 1 + ReplyAssembler::kDefaultJoinWindowMs);
    EXPECT_TRUE(reply);
    EXPECT_FALSE(assembler.takeComplete(now + 10000));
    return reply ? reply->text : std::string();
}

} // namespace

TEST(StatusFixtures, EveryCapturedReplyYieldsTheExpectedPlayers)
{
    const struct {
        std::string fixture;
        std::string map;
        StatusLayout layout;
        std::size_t datagrams;
    } cases[] = {
        {"classic-q3dm17", "q3dm17", StatusLayout::Classic, 1},
        {"classic-q3dm6-20players", "q3dm6", StatusLayout::Classic, 2},
        {"classic-q3dm7", "q3dm7", StatusLayout::Classic, 1},
        {"classic-q3tourney2", "q3tourney2", StatusLayout::Classic, 1},
        {"ioq3-live-openarena-3bots", "oa_dm1", StatusLayout::Ioquake3, 1},
        {"ioq3-oa_dm1-24players", "oa_dm1", StatusLayout::Ioquake3, 3},
        {"ioq3-q3dm7", "q3dm7", StatusLayout::Ioquake3, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        const auto datagrams = datagramsOf(c.fixture);
        ASSERT_EQ(datagrams.size(), c.datagrams);
        const auto status = parseStatusReply(assemble(datagrams));
        EXPECT_EQ(status.layout, c.layout);
        EXPECT_EQ(status.mapName, c.map);
        EXPECT_FALSE(status.error);

        std::vector<std::vector<std::string>> players;
        for (const auto& row : status.rows) {
            if (row.kind != StatusRowKind::Player)
                continue;
            ASSERT_TRUE(row.player.name.ends_with(' '));
            players.push_back({trimmedLeft(row.player.clientNumber), row.player.ping,
                               row.player.name.substr(0, row.player.name.size() - 1), row.player.address});
        }
        EXPECT_EQ(players, expectedRowsOf(c.fixture));
    }
}

TEST(StatusFixtures, ZombieAndConnectingClientsOfTheCapturesGiveNotices)
{
    for (const std::string fixture : {"classic-q3dm17", "ioq3-q3dm7"}) {
        const auto status = parseStatusReply(assemble(datagramsOf(fixture)));
        std::vector<std::string> notices;
        for (const auto& row : status.rows) {
            if (!row.notice().empty())
                notices.emplace_back(row.notice());
        }
        // Both captures list a connecting client before a zombie.
        const std::vector<std::string> expected = {"CNCT: Client Connect Detected, ignoring...",
                                                   "ZMBI: Zombie Detected, flushing..."};
        EXPECT_EQ(notices, expected) << fixture;
    }
}

TEST(StatusFixtures, EachDatagramReadAloneYieldsOnlyItsCompleteRows)
{
    // Without joining, the first datagram holds the header and the rows up to the split; the row cut at the split is
    // not read, and the continuation (no header) yields nothing.
    const auto datagrams = datagramsOf("classic-q3dm6-20players");
    ASSERT_EQ(datagrams.size(), 2u);
    const auto first = parseStatusReply(datagrams[0]);
    EXPECT_EQ(first.rows.size(), 11u);
    EXPECT_TRUE(parseStatusReply(datagrams[1]).rows.empty());
}
