// Edits single points of a 1,000,000-point track through the document, 100 times each of
// four kinds (edit a point in place, insert, move, remove), closing the user event after each
// as the application does. Prints how much the heap in use grew per kind (what the undo
// history keeps of the edits) and the time per edit, first for edits that assign the item a
// new point list, then for the same edits replacing only the changed stretch. Then undoes and
// redoes every step and checks that the track comes back exactly.
//
//   bench_point_edit_memory [POINTS]

#include "BenchData.h"
#include "core/document/InMemoryPreferences.h"
#include "core/document/WendDocument.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <string>
#include <vector>

namespace {

using namespace wend;

constexpr std::size_t kEditsPerKind = 100;
constexpr double kMiB = 1024.0 * 1024.0;

// Bytes handed out by malloc, from its arenas and as separate mappings.
double heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// A copy of the point nudged a little, as a drag leaves it.
GPSPointPtr movedCopy(const GPSPoint& point) {
    auto moved = point.copy();
    moved->setLongitude(point.longitude() + 1e-6);
    moved->setLatitude(point.latitude() + 1e-6);
    return moved;
}

// Each edit builds the item's new point list and assigns it, as commands and tools do.
void assignEdited(GPSItem& track, const std::function<void(PointList&)>& edit) {
    PointList points = track.itemPoints();
    edit(points);
    track.setItemPoints(std::move(points));
}

struct EditKind {
    std::string name;
    std::function<void(WendDocument&, GPSItem&, std::size_t index)> edit;
};

// As commands and tools edit: the item gets a whole new point list.
std::vector<EditKind> listAssigningEdits() {
    return {
        {"updateItemPoint",
         [](WendDocument& document, GPSItem& track, std::size_t index) {
             document.updateItemPoint(
                 track.itemPoints()[index].get(),
                 [](GPSItem&, GPSPoint& point) { point.setElevation(point.elevation() + 1); });
         }},
        {"insert point",
         [](WendDocument&, GPSItem& track, std::size_t index) {
             assignEdited(track, [index](PointList& points) {
                 points.insert(points.begin() + static_cast<std::ptrdiff_t>(index) + 1,
                               movedCopy(*points[index]));
             });
         }},
        {"move point",
         [](WendDocument&, GPSItem& track, std::size_t index) {
             assignEdited(
                 track, [index](PointList& points) { points[index] = movedCopy(*points[index]); });
         }},
        {"remove point",
         [](WendDocument&, GPSItem& track, std::size_t index) {
             assignEdited(track, [index](PointList& points) {
                 points.erase(points.begin() + static_cast<std::ptrdiff_t>(index));
             });
         }},
    };
}

// The same edits replacing only the changed stretch of the list.
std::vector<EditKind> stretchReplacingEdits() {
    return {
        {"insert point",
         [](WendDocument&, GPSItem& track, std::size_t index) {
             track.replaceItemPoints(index + 1, 0, {movedCopy(*track.itemPoints()[index])});
         }},
        {"move point",
         [](WendDocument&, GPSItem& track, std::size_t index) {
             track.replaceItemPoints(index, 1, {movedCopy(*track.itemPoints()[index])});
         }},
        {"remove point", [](WendDocument&, GPSItem& track,
                            std::size_t index) { track.replaceItemPoints(index, 1, {}); }},
    };
}

struct Timer {
    using Clock = std::chrono::steady_clock;
    Clock::time_point wall = Clock::now();
    double cpu = bench::threadCPUSeconds();

    // Milliseconds per step since the timer started: wall and CPU.
    std::pair<double, double> perStep(std::size_t steps) const {
        const double wallMs =
            std::chrono::duration<double, std::milli>(Clock::now() - wall).count();
        const double cpuMs = (bench::threadCPUSeconds() - cpu) * 1000;
        return {wallMs / static_cast<double>(steps), cpuMs / static_cast<double>(steps)};
    }
};

} // namespace

int main(int argc, char** argv) {
    const std::size_t pointCount = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1'000'000;
    if (pointCount < 2) {
        std::fprintf(stderr, "bench_point_edit_memory: a track needs at least 2 points\n");
        return 2;
    }
    InMemoryPreferences preferences;
    WendDocument document(preferences);
    GPSItemPtr track = bench::trackInMemory(pointCount);
    document.setGPSDoc(GPSDocument::documentWithItems({track}));
    UndoManager& undo = document.undoManager();
    undo.closeImplicitGroup();
    undo.removeAllActions();
    const PointList original = track->itemPoints();

    std::size_t steps = 0;
    // Runs each kind of edit 100 times, one undo step each; prints and returns the heap growth.
    auto runEdits = [&](const std::vector<EditKind>& kinds) {
        std::printf("%-16s %14s %21s %16s %15s\n", "edit", "heap growth", "of it the list's own",
                    "wall per edit", "CPU per edit");
        const double heapAtStart = heapInUse();
        for (const EditKind& kind : kinds) {
            const double heapBefore = heapInUse();
            const auto capacityBefore = static_cast<double>(track->itemPoints().capacity());
            const Timer timer;
            for (std::size_t i = 0; i < kEditsPerKind; ++i) {
                // Spread over the track, never the last point (insertion goes after the index).
                const std::size_t index =
                    (pointCount / 3 + i * 7919) % (track->itemPoints().size() - 1);
                kind.edit(document, *track, index);
                undo.setActionName(kind.name);
                undo.closeImplicitGroup();
                ++steps;
            }
            const auto [wallMs, cpuMs] = timer.perStep(kEditsPerKind);
            // The list's spare capacity moves with how it was last built (a copy is tight,
            // an insertion doubles it); shown apart, it is not what the undo history keeps.
            const double listGrowth =
                (static_cast<double>(track->itemPoints().capacity()) - capacityBefore) *
                sizeof(GPSPointPtr);
            std::printf("%-16s %10.2f MiB %17.2f MiB %13.4f ms %12.4f ms\n", kind.name.c_str(),
                        (heapInUse() - heapBefore) / kMiB, listGrowth / kMiB, wallMs, cpuMs);
        }
        return (heapInUse() - heapAtStart) / kMiB;
    };

    std::printf("%zu edits of each kind on a %zu-point track through the document, one undo step "
                "each\n\nassigning the item a new point list:\n",
                kEditsPerKind, pointCount);
    const double growth = runEdits(listAssigningEdits());
    std::printf("%-16s %10.2f MiB   (target below 20 MiB: %s)\n", "all four kinds", growth,
                growth < 20 ? "met" : "missed");
    std::printf("\nreplacing the changed stretch only (GPSItem::replaceItemPoints):\n");
    runEdits(stretchReplacingEdits());

    std::printf("\n");
    const PointList edited = track->itemPoints();
    const Timer undoTimer;
    while (undo.canUndo())
        undo.undo();
    const auto [undoWall, undoCpu] = undoTimer.perStep(steps);
    const bool undone = track->itemPoints() == original;
    const Timer redoTimer;
    while (undo.canRedo())
        undo.redo();
    const auto [redoWall, redoCpu] = redoTimer.perStep(steps);
    const bool redone = track->itemPoints() == edited;
    std::printf("%-16s %36s %13.4f ms %12.4f ms   (%s)\n", "undo, each step", "", undoWall, undoCpu,
                undone ? "the original points again" : "NOT RESTORED");
    std::printf("%-16s %36s %13.4f ms %12.4f ms   (%s)\n", "redo, each step", "", redoWall, redoCpu,
                redone ? "the edited points again" : "NOT RESTORED");
    return undone && redone ? 0 : 1;
}
