#include "core/lpb/reply_assembler.h"
#include "core/lpb/status_parser.h"
#include "status_replies.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

using namespace varno;
using varno::bench::ReplyLayout;

// A wrong reply would make every figure meaningless: check it once before timing.
bool readsAllPlayers(benchmark::State& state, const std::string& reply, int players)
{
    const ParsedStatus status = parseStatusReply(reply);
    if (int(status.rows.size()) != players || status.error) {
        state.SkipWithError("the built reply does not parse into one row per player");
        return false;
    }
    return true;
}

// What the rcon session does: every reply read into the same result, whose rows keep their storage.
void BM_ParseStatusReply(benchmark::State& state, ReplyLayout layout)
{
    const int players = int(state.range(0));
    const std::string reply = varno::bench::statusReply(layout, players);
    if (!readsAllPlayers(state, reply, players))
        return;
    ParsedStatus status;
    for (auto _ : state) {
        parseStatusReply(reply, status);
        benchmark::DoNotOptimize(status);
    }
    state.SetItemsProcessed(state.iterations() * players);
    state.SetBytesProcessed(state.iterations() * std::int64_t(reply.size()));
}

// A new result for every reply, as varno rcon and the tests read one.
void BM_ParseStatusReplyIntoNewResult(benchmark::State& state, ReplyLayout layout)
{
    const int players = int(state.range(0));
    const std::string reply = varno::bench::statusReply(layout, players);
    if (!readsAllPlayers(state, reply, players))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(parseStatusReply(reply));
    state.SetItemsProcessed(state.iterations() * players);
    state.SetBytesProcessed(state.iterations() * std::int64_t(reply.size()));
}

// What the panel does with a long reply: join its datagrams, take the reply once the window has passed,
// then parse it.
void BM_AssembleAndParseStatusReply(benchmark::State& state, ReplyLayout layout)
{
    const int players = int(state.range(0));
    const std::string reply = varno::bench::statusReply(layout, players);
    const auto datagrams = varno::bench::statusDatagrams(reply);
    if (!readsAllPlayers(state, reply, players))
        return;
    if (datagrams.size() < 2) {
        state.SkipWithError("the reply fits one datagram");
        return;
    }
    ReplyAssembler assembler;
    ParsedStatus status;
    std::int64_t now = 0;
    for (auto _ : state) {
        for (const auto& datagram : datagrams)
            assembler.feed(datagram, now, "127.0.0.1:27960");
        now += ReplyAssembler::kDefaultJoinWindowMs;
        const auto assembled = assembler.takeComplete(now);
        parseStatusReply(assembled->text, status);
        benchmark::DoNotOptimize(status);
        now += ReplyAssembler::kDefaultJoinWindowMs;
    }
    state.counters["datagrams"] = double(datagrams.size());
    state.SetItemsProcessed(state.iterations() * players);
}

} // namespace

BENCHMARK_CAPTURE(BM_ParseStatusReply, classic, ReplyLayout::Classic)->ArgName("players")->Arg(1)->Arg(16)->Arg(64);
BENCHMARK_CAPTURE(BM_ParseStatusReply, ioq3, ReplyLayout::Ioquake3)->ArgName("players")->Arg(1)->Arg(16)->Arg(64);
BENCHMARK_CAPTURE(BM_ParseStatusReplyIntoNewResult, classic, ReplyLayout::Classic)->ArgName("players")->Arg(64);
BENCHMARK_CAPTURE(BM_ParseStatusReplyIntoNewResult, ioq3, ReplyLayout::Ioquake3)->ArgName("players")->Arg(64);
// One player fits a single datagram; these two sizes take two and five or six.
BENCHMARK_CAPTURE(BM_AssembleAndParseStatusReply, classic, ReplyLayout::Classic)->ArgName("players")->Arg(16)->Arg(64);
BENCHMARK_CAPTURE(BM_AssembleAndParseStatusReply, ioq3, ReplyLayout::Ioquake3)->ArgName("players")->Arg(16)->Arg(64);
