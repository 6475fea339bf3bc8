#include "core/launch/game_address.h"

#include <gtest/gtest.h>

TEST(GameAddress, TheLastSettingOfTheCommandLineCounts)
{
    const struct {
        const char* line;
        const char* ip;
        int port;
    } cases[] = {
        {"q3ded +set fs_game baseq3", "127.0.0.1", 27960},
        {"q3ded +set net_port 27961 +set dedicated 1", "127.0.0.1", 27961},
        {"q3ded +set net_port 27960 +exec vrn2data.cfg +set net_port 28000", "127.0.0.1", 28000},
        {"q3ded +set net_port 27960 +seta net_ip 192.168.0.7", "192.168.0.7", 27960},
        {"q3ded +set net_ip 0.0.0.0 +set net_port 5x", "127.0.0.1", 5},
    };
    for (const auto& c : cases) {
        const varno::GameAddress address = varno::gameAddressOf(c.line);
        EXPECT_EQ(address.reachableIp(), c.ip) << c.line;
        EXPECT_EQ(address.port, c.port) << c.line;
    }
}
