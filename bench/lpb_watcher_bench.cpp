#include "core/lpb/lpb_watcher.h"
#include "core/lpb/status_parser.h"
#include "status_replies.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace varno;
using varno::bench::ReplyLayout;

// What the watcher does between a 64-player reply's arrival and its first datagram: parse it and decide, with
// every human player below the threshold and all actions on.
void BM_ParseAndDecide(benchmark::State& state, ReplyLayout layout)
{
    const int players = int(state.range(0));
    const std::string reply = varno::bench::statusReply(layout, players);
    WatcherOptions options;
    options.minPing = 9999;
    options.announce = options.kick = options.ban = options.log = true;
    options.msg1 = "Warning: Player ";
    options.msg2 = " ^7is an LPB and will be removed.";
    const RconTarget server{"127.0.0.1", 27960};
    std::size_t decided = 0;
    for (auto _ : state) {
        // A fresh engine each time: every player is a first appearance, the costlier case.
        LpbWatcher watcher;
        const auto decisions = watcher.decide(server, parseStatusReply(reply), options, {});
        decided = decisions.size();
        benchmark::DoNotOptimize(decisions.data());
    }
    state.counters["decisions"] = double(decided);
    state.SetItemsProcessed(state.iterations() * players);
}

} // namespace

BENCHMARK_CAPTURE(BM_ParseAndDecide, classic, ReplyLayout::Classic)->ArgName("players")->Arg(64);
BENCHMARK_CAPTURE(BM_ParseAndDecide, ioq3, ReplyLayout::Ioquake3)->ArgName("players")->Arg(64);
