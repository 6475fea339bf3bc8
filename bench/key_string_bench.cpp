#include "core/console/key_parser.h"
#include "core/console/keyboard_layout.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

// A 200-character console command as an operator sends it: text, a Shift'ed key and braced names.
std::string consoleCommand()
{
    std::string text = "~say ^1Welcome to the Varno test server! Rotation tonight: q3dm1, q3dm7, q3dm17 and "
                       "q3tourney2. Be nice, no camping.{ENTER}{TAB}status{ENTER}";
    while (text.size() < 200)
        text += "x";
    return text.substr(0, 200);
}

void BM_BuildKeyEvents(benchmark::State& state)
{
    const std::string text = consoleCommand();
    const varno::UsKeyboardLayout layout;
    std::uint32_t tick = 0;
    const varno::TickSource ticks = [&tick] { return ++tick; };
    std::size_t events = 0;
    for (auto _ : state) {
        const auto built = varno::buildKeyEvents(text, layout, ticks);
        events = built.size();
        benchmark::DoNotOptimize(built.data());
    }
    state.counters["events"] = double(events);
    state.SetBytesProcessed(state.iterations() * std::int64_t(text.size()));
}

} // namespace

BENCHMARK(BM_BuildKeyEvents)->Name("BM_BuildKeyEvents/chars:200");
