#include "core/launch/server_script.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A busy server: a 32-map rotation, ten bots, twenty bans (as many as the game's g_banIPs takes).
varno::ServerScriptInput busyServer()
{
    varno::ServerScriptInput input;
    input.serverName = "^1Varno ^7Frag Fest #3";
    input.motd = "Welcome! Rotation of 32 maps, bots fill empty slots. Report cheaters to admin@example.org";
    input.rconPassword = "s3cretRcon";
    input.serverPassword = "letmein";
    input.pureServer = true;
    for (int i = 0; i < 32; ++i)
        input.rotation.push_back(i % 8 == 7 ? "custom map " + std::to_string(i) : "q3dm" + std::to_string(i % 19 + 1));
    const char* bots[] = {"Sarge", "Visor", "Doom", "Anarki", "Xaero", "Hunter", "Klesk", "Lucy", "Major", "Orbb"};
    for (const char* bot : bots)
        input.bots.push_back(bot);
    for (int i = 0; i < 10; ++i)
        input.banList.push_back("203.0.113." + std::to_string(10 + i));
    for (int i = 0; i < 8; ++i)
        input.banList.push_back("10." + std::to_string(i + 1) + ".*");
    input.banList.push_back("198.51.100.7:27960");
    input.banList.push_back("192.168.*");
    return input;
}

void BM_BuildServerScript(benchmark::State& state)
{
    const varno::ServerScriptInput input = busyServer();
    std::size_t bytes = 0;
    try {
        bytes = varno::buildServerScript(input).size();
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(varno::buildServerScript(input));
    state.counters["bytes"] = double(bytes);
}

} // namespace

BENCHMARK(BM_BuildServerScript)->Name("BM_BuildServerScript/maps:32/bots:10/bans:20");
