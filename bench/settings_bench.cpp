#include "core/settings/comma_list.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kEntries = 1000;

// Map names as a long rotation holds them; every tenth has a blank and so is written in quotes.
std::vector<std::string> rotationEntries()
{
    std::vector<std::string> entries;
    for (int i = 0; i < kEntries; ++i) {
        if (i % 10 == 9)
            entries.push_back("my map " + std::to_string(i));
        else
            entries.push_back("q3dm" + std::to_string(i % 19 + 1) + "_v" + std::to_string(i));
    }
    return entries;
}

void BM_ToCommaList(benchmark::State& state)
{
    const auto entries = rotationEntries();
    for (auto _ : state)
        benchmark::DoNotOptimize(varno::ToCommaList(entries));
    state.SetItemsProcessed(state.iterations() * kEntries);
}

void BM_FromCommaList(benchmark::State& state)
{
    const std::string text = varno::ToCommaList(rotationEntries());
    std::vector<std::string> items;
    for (auto _ : state) {
        varno::FromCommaList(text, items);
        benchmark::DoNotOptimize(items.data());
    }
    if (int(items.size()) != kEntries)
        state.SkipWithError("the list did not read back whole");
    state.SetItemsProcessed(state.iterations() * kEntries);
}

} // namespace

BENCHMARK(BM_ToCommaList)->Name("BM_ToCommaList/entries:1000");
BENCHMARK(BM_FromCommaList)->Name("BM_FromCommaList/entries:1000");
