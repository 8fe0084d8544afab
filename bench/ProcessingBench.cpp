// The statistics pass and simplification over the 1,000,000-point file (eight tracks).

#include "BenchData.h"
#include "core/processing/TrackSimplifier.h"
#include "core/processing/TrackStatistics.h"

#include <benchmark/benchmark.h>

namespace {

wend::ItemList allSelectedItems() {
    const auto document = wend::bench::cachedDocument("1m.gpx");
    if (!document)
        return {};
    const wend::ItemList& items = document->documentItems();
    for (const auto& item : items)
        if (!item->itemPoints().empty() && !item->itemSelection().isFull())
            item->setItemSelection(item->itemSelection().selectionBySelectingAll());
    return items;
}

std::size_t pointCount(const wend::ItemList& items) {
    std::size_t count = 0;
    for (const auto& item : items)
        count += item->itemPoints().size();
    return count;
}

void BM_Statistics(benchmark::State& state) {
    const wend::ItemList items = allSelectedItems();
    if (items.empty()) {
        state.SkipWithError("input missing: run bench/run-all.sh first");
        return;
    }
    const bool ignoreOutliers = state.range(0) != 0;
    for (auto _ : state)
        for (const auto& item : items)
            benchmark::DoNotOptimize(wend::basicStatisticsIgnoringOutliers(*item, ignoreOutliers));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * pointCount(items)));
}

void BM_Simplify(benchmark::State& state) {
    const wend::ItemList items = allSelectedItems();
    if (items.empty()) {
        state.SkipWithError("input missing: run bench/run-all.sh first");
        return;
    }
    const double strength = static_cast<double>(state.range(0)) / 100.0;
    std::size_t kept = 0;
    for (auto _ : state) {
        const wend::ItemList simplified = wend::TrackSimplifier::mutatedItems(items, strength);
        kept = pointCount(simplified);
        benchmark::DoNotOptimize(kept);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * pointCount(items)));
    state.counters["kept"] = static_cast<double>(kept);
}

} // namespace

BENCHMARK(BM_Statistics)->ArgName("ignoreOutliers")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Simplify)->ArgName("strength%")->Arg(25)->Arg(100)->Unit(benchmark::kMillisecond);
