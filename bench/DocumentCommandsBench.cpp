// Delete of a stretch in a 1,000,000-point track, then Undo, then Redo, each timed alone.
// The track is built in memory, so no generated input is needed.

#include "BenchData.h"
#include "core/document/InMemoryPreferences.h"
#include "core/document/TrackCommands.h"
#include "core/document/WendDocument.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

namespace {

constexpr std::size_t kPointCount = 1'000'000;

struct Fixture {
    wend::InMemoryPreferences preferences;
    wend::WendDocument document{preferences};
    wend::GPSItemPtr track = wend::bench::trackInMemory(kPointCount);

    Fixture() {
        document.setGPSDoc(wend::GPSDocument::documentWithItems({track}));
        document.undoManager().closeImplicitGroup();
        document.undoManager().removeAllActions();
    }
};

Fixture& fixture() {
    static Fixture shared;
    return shared;
}

enum Phase { DeletePhase = 0, UndoPhase = 1, RedoPhase = 2 };

// Arguments: the phase timed, the length of the selected stretch (in segments).
void BM_DeleteStretchUndoRedo(benchmark::State& state) {
    Fixture& f = fixture();
    auto& undo = f.document.undoManager();
    const auto phase = static_cast<Phase>(state.range(0));
    const auto length = static_cast<std::uint64_t>(state.range(1));
    f.track->setItemSelection(wend::Selection::selectionWithValidSelectionRange(
        f.track->pointIndexRange(), {{kPointCount / 2 - length / 2, length}}));

    // Wall time is what the user waits; the thread's CPU time is shown beside it because
    // shared machines stretch wall time.
    using Clock = std::chrono::steady_clock;
    double cpuSeconds = 0;
    for (auto _ : state) {
        Clock::time_point wall[4];
        double cpu[4];
        auto mark = [&](int i) {
            wall[i] = Clock::now();
            cpu[i] = wend::bench::threadCPUSeconds();
        };
        mark(0);
        wend::TrackCommands::deleteSelection(f.document);
        undo.closeImplicitGroup();
        mark(1);
        undo.undo();
        mark(2);
        undo.redo();
        mark(3);
        undo.undo(); // back to the whole track for the next round
        state.SetIterationTime(
            std::chrono::duration<double>(wall[phase + 1] - wall[phase]).count());
        cpuSeconds += cpu[phase + 1] - cpu[phase];
    }
    state.counters["cpu_ms"] =
        benchmark::Counter(cpuSeconds * 1000, benchmark::Counter::kAvgIterations);
    if (f.document.permanentItems().size() != 1 || f.document.permanentItems()[0] != f.track)
        state.SkipWithError("the document did not come back to the whole track");
    undo.removeAllActions();
}

} // namespace

BENCHMARK(BM_DeleteStretchUndoRedo)
    ->ArgNames({"phase", "length"})
    ->ArgsProduct({{DeletePhase, UndoPhase, RedoPhase}, {10, 200'000}})
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
