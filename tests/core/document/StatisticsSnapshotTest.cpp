#include "core/document/StatisticsSnapshot.h"

#include "core/document/CommandTestSupport.h"

#include <thread>

namespace wend::test {
namespace {

class StatisticsSnapshotTest : public CommandTest {
protected:
    StatisticsSnapshotTest() {
        first = makeTrack("First", 40);
        second = makeTrack("Second", 25, 9.0, 7200);
        load({first, second, makeWaypoint("Hut")});
    }

    // What the pane showed when it computed everything at once, on this thread.
    std::vector<StatisticsRow> synchronousRows() {
        return StatisticsRows::selectionStatisticsForTracks(
            document.itemsForStatistics(), formatter,
            preferences.ignoreOutliersWhenCalculatingStatistics());
    }

    // Computes snapshot after snapshot, each given the figures of the one before, until one
    // has the rows.
    std::vector<StatisticsRow> computedRows(std::size_t walkLimit) {
        for (int round = 0; round < 10; ++round) {
            StatisticsSnapshot snapshot(document, formatter, known, walkLimit);
            snapshot.compute();
            if (auto figures = snapshot.knownFigures(); !figures.byPointsRevision.empty())
                known = std::move(figures);
            if (snapshot.hasRows())
                return snapshot.rows();
        }
        return {};
    }

    UnitFormatter formatter{MeasurementSystem::Metric, "en_US", "UTC"};
    StatisticsSnapshot::KnownFigures known;
    GPSItemPtr first, second;
};

// The rows from a snapshot, computed in one go or item by item, and after an edit from the
// figures the earlier snapshots found, equal those computed at once on the document's thread.
TEST_F(StatisticsSnapshotTest, RowsEqualThoseComputedAtOnce) {
    struct Case {
        const char* name;
        std::function<void()> change;
        std::size_t walkLimit;
    };
    const Case cases[] = {
        {"every item in one go", [] {}, 1000},
        {"every item, one item a snapshot", [] {}, 1},
        {"one point edited: the other items' figures are kept",
         [&] {
             document.updateItemPoint(second->itemPoints()[3].get(),
                                      [](GPSItem&, GPSPoint& point) { point.setElevation(900); });
         },
         1},
        {"the outlier choice changed",
         [&] { preferences.setIgnoreOutliersWhenCalculatingStatistics(false); }, 1000},
        {"selected stretches", [&] { selectRanges(first, {IndexRange{2, 9}, IndexRange{20, 4}}); },
         1},
        {"nothing", [&] { load({}); }, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.change();
        const auto rows = computedRows(c.walkLimit);
        EXPECT_EQ(rows, synchronousRows());
    }
}

// A single point's details count from the start of its own track as its points are now.
TEST_F(StatisticsSnapshotTest, ASinglePointCountsFromTheStartOfItsOwnTrack) {
    auto steps = makeTrackOf100MetreSteps("Steps", 10);
    load({first, steps});
    selectRanges(steps, {IndexRange{6, 0}});
    auto shown = [&](std::string_view label) {
        for (const auto& row : computedRows(1000))
            if (row.label == label)
                return row.value;
        return std::string("none");
    };
    EXPECT_EQ(shown("Distance From Origin"), "600 m");
    EXPECT_EQ(shown("Speed"), "6 km/h");
    const double back = -steps->itemPoints()[1]->longitude();
    document.updateItemPoint(steps->itemPoints()[0].get(),
                             [&](GPSItem&, GPSPoint& point) { point.setLongitude(back); });
    EXPECT_EQ(shown("Distance From Origin"), "700 m");
    selectRanges(steps, {IndexRange{0, 0}});
    EXPECT_EQ(shown("Distance From Origin"), "none") << "the first point ends no segment";
}

// A snapshot is current while the document stays as it was; any change of the items, the
// points or the selection makes its result one to drop. The computation on another thread
// reads only the snapshot while this thread edits the document.
TEST_F(StatisticsSnapshotTest, ResultIsDroppedWhenTheDocumentChangedMeanwhile) {
    const struct {
        const char* name;
        std::function<void()> change;
    } changes[] = {
        {"a point edited",
         [&] {
             document.updateItemPoint(first->itemPoints()[1].get(),
                                      [](GPSItem&, GPSPoint& point) { point.setElevation(10); });
         }},
        {"points removed", [&] { first->replaceItemPoints(0, 5, {}); }},
        {"the selection changed",
         [&] {
             selectRanges(second, {IndexRange{0, 3}});
             document.postSelectionChangedNotification();
         }},
        {"an item removed", [&] { document.removeItem(second); }},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.name);
        StatisticsSnapshot snapshot(document, formatter, known);
        StatisticsSnapshot same(document, formatter, known);
        std::thread computation([&] { snapshot.compute(); });
        change.change();
        computation.join();
        EXPECT_FALSE(snapshot.isCurrentFor(document));
        same.compute();
        EXPECT_EQ(snapshot.rows(), same.rows()) << "the state it was taken of";
    }
    StatisticsSnapshot unchanged(document, formatter, known);
    unchanged.compute();
    EXPECT_TRUE(unchanged.isCurrentFor(document));
    WendDocument other(preferences);
    EXPECT_FALSE(unchanged.isCurrentFor(other));
}

} // namespace
} // namespace wend::test
