#include "core/processing/RestStopSplitter.h"

#include "AlgorithmFixtures.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace wend;
using namespace wend::testing;

namespace {
// Points along the equator: metres east of the start, and their seconds.
GPSItemPtr walk(const std::vector<double>& metres, const std::vector<double>& seconds) {
    std::vector<TestPoint> rows;
    for (std::size_t i = 0; i < metres.size(); ++i)
        rows.emplace_back(metresEast(metres[i]), 0.0, seconds.at(i));
    auto track = makeTrack(rows, "Morning Walk");
    track->setItemColor(ItemColor{0.5, 0.5, 0.5, 1});
    return track;
}

// Hands out colours whose hue counts the calls.
struct ColorPool {
    int handedOut = 0;
    RestStopSplitter::NextColor next() {
        return [this] { return ItemColor{0.01 * ++handedOut, 1, 1, 1}; };
    }
};

// Indexes into `track` of each piece's first and last point.
std::vector<std::pair<std::size_t, std::size_t>> spans(const GPSItem& track,
                                                       const ItemList& pieces) {
    std::vector<std::pair<std::size_t, std::size_t>> result;
    const PointList& all = track.itemPoints();
    for (const auto& piece : pieces) {
        auto first = std::find(all.begin(), all.end(), piece->itemPoints().front()) - all.begin();
        auto last = std::find(all.begin(), all.end(), piece->itemPoints().back()) - all.begin();
        EXPECT_EQ(static_cast<std::size_t>(last - first + 1), piece->itemPoints().size());
        result.emplace_back(first, last);
    }
    return result;
}

using Spans = std::vector<std::pair<std::size_t, std::size_t>>;

// A stop anchored at point 2 whose first outside point is 5, 2980 s later.
GPSItemPtr trackWithOneStop() {
    return walk({0, 100, 200, 205, 210, 250, 350, 450}, {0, 60, 120, 1000, 3000, 3100, 3160, 3220});
}
} // namespace

TEST(RestStopSplitter, FindsStopsFromAnchorToFirstPointOutside) {
    auto track = trackWithOneStop();
    EXPECT_EQ(RestStopSplitter::rangesOfReststops(*track, 2700, 20, {0, 7}),
              (std::vector<IndexRange>{{2, 4}}));
    EXPECT_EQ(RestStopSplitter::rangesOfReststops(*track, 2980, 20, {0, 7}).size(), 1u);
    EXPECT_TRUE(RestStopSplitter::rangesOfReststops(*track, 2980.5, 20, {0, 7}).empty());
    // One candidate at a time: the range moves past the first point outside the circle.
    IndexRange r{0, 7};
    EXPECT_FALSE(RestStopSplitter::firstReststopInRange(*track, r, 2700, 20));
    EXPECT_EQ(r, (IndexRange{2, 5}));
    EXPECT_EQ(RestStopSplitter::firstReststopInRange(*track, r, 2700, 20), (IndexRange{2, 4}));
    EXPECT_EQ(r, (IndexRange{6, 1}));
    // A bad distance finds nothing and, above all, terminates.
    IndexRange unchanged{0, 7};
    EXPECT_FALSE(RestStopSplitter::firstReststopInRange(*track, unchanged, 2700, -1));
    EXPECT_EQ(unchanged, (IndexRange{0, 7}));
    EXPECT_TRUE(RestStopSplitter::rangesOfReststops(*track, 2700, -1, {0, 7}).empty());
    EXPECT_TRUE(RestStopSplitter::rangesOfReststops(*track, 2700, std::nan(""), {0, 7}).empty());
    // Without times there is no duration.
    auto untimed = makeTrack({{0, 0}, {0, 0}, {0, 0}, {1, 0}});
    EXPECT_TRUE(RestStopSplitter::rangesOfReststops(*untimed, 0, 20, {0, 3}).empty());
    // A range too short, or starting beyond the track.
    EXPECT_TRUE(RestStopSplitter::rangesOfReststops(*track, 2700, 20, {2, 1}).empty());
    EXPECT_TRUE(RestStopSplitter::rangesOfReststops(*track, 2700, 20, {50, 9}).empty());
}

TEST(RestStopSplitter, EdgesOfTheTrackAndOfTheRange) {
    // Resting from the start: the first piece is the single point 0.
    auto early = walk({0, 5, 50, 150, 250}, {0, 1500, 3000, 3060, 3120});
    EXPECT_EQ(RestStopSplitter::rangesOfReststops(*early, 2700, 20, {0, 4}),
              (std::vector<IndexRange>{{0, 3}}));
    ColorPool pool;
    EXPECT_EQ(
        spans(*early, RestStopSplitter::tracksBySplittingTrack(early, {{0, 4}}, {}, pool.next())),
        (Spans{{0, 0}, {2, 4}}));
    // Resting to the end: the walk stops at the second-to-last point.
    auto late = walk({0, 100, 200, 205, 208, 210}, {0, 60, 120, 2000, 4000, 5000});
    EXPECT_EQ(RestStopSplitter::rangesOfReststops(*late, 2700, 20, {0, 5}),
              (std::vector<IndexRange>{{2, 3}}));
    EXPECT_EQ(
        spans(*late, RestStopSplitter::tracksBySplittingTrack(late, {{0, 5}}, {}, pool.next())),
        (Spans{{0, 2}, {4, 5}}));
    // A long gap before a point just outside the circle is a stop.
    auto gap = walk({0, 100, 200, 225, 325, 425}, {0, 60, 120, 3000, 3060, 3120});
    EXPECT_EQ(RestStopSplitter::rangesOfReststops(*gap, 2700, 20, {0, 5}),
              (std::vector<IndexRange>{{2, 2}}));
    // A selection ending inside the resting cluster: the walk runs on and the stop counts.
    auto track = trackWithOneStop();
    EXPECT_EQ(RestStopSplitter::rangesOfReststops(*track, 2700, 20, {0, 4}),
              (std::vector<IndexRange>{{2, 4}}));
}

TEST(RestStopSplitter, SplittingMakesPiecesThatShareTheirBoundaries) {
    auto track = trackWithOneStop();
    selectAll(*track);
    track->setItemDescription("Before breakfast");
    track->setItemLink("https://example.org/walk");
    ColorPool pool;
    ItemList pieces = RestStopSplitter::tracksBySplittingTrack(track, {{0, 7}}, {}, pool.next());
    EXPECT_EQ(spans(*track, pieces), (Spans{{0, 2}, {5, 7}}));
    EXPECT_EQ(pieces[1]->itemName() + "|" + pieces[1]->itemDescription() + "|" +
                  pieces[1]->itemLink(),
              "Morning Walk|Before breakfast|https://example.org/walk");
    EXPECT_DOUBLE_EQ(pieces[0]->itemColor()->hue, 0.01);
    EXPECT_DOUBLE_EQ(pieces[1]->itemColor()->hue, 0.02);
    EXPECT_TRUE(pieces[1]->itemSelection().isFull()); // the selected points stay selected

    RestStopSettings keep;
    keep.discardRestStops = false;
    pieces = RestStopSplitter::tracksBySplittingTrack(track, {{0, 7}}, keep, pool.next());
    EXPECT_EQ(spans(*track, pieces), (Spans{{0, 2}, {2, 5}, {5, 7}}));
    EXPECT_EQ(pieces[1]->itemName(), "Rest Stop 1");
    // Moving steadily: the track itself comes back, keeping its colour.
    auto moving = walk({0, 30, 60, 90}, {0, 60, 120, 180});
    const int before = pool.handedOut;
    pieces = RestStopSplitter::tracksBySplittingTrack(moving, {{0, 3}}, {}, pool.next());
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0], moving);
    EXPECT_EQ(pool.handedOut, before);
}

TEST(RestStopSplitter, SeveralRangesSplitTheTrackOnce) {
    // Stops anchored at 2 (to 6) and at 9 (to 11).
    auto track = walk({0, 100, 200, 202, 204, 206, 300, 400, 500, 600, 605, 700, 800},
                      {0, 60, 120, 1000, 2000, 3000, 6000, 6060, 6120, 6180, 9000, 9060, 9120});
    selectRanges(*track, {{0, 4}, {9, 3}});
    ColorPool pool;
    RestStopSettings keep;
    keep.discardRestStops = false;
    ItemList pieces = RestStopSplitter::tracksBySplittingTrack(
        track, track->itemSelection().ranges(), keep, pool.next());
    EXPECT_EQ(spans(*track, pieces), (Spans{{0, 2}, {2, 6}, {6, 9}, {9, 11}, {11, 12}}));
    EXPECT_EQ(pieces[3]->itemName(), "Rest Stop 2");
    // A stop found in the second range whose anchor lies inside the first range's stop
    // (point 5 rests until point 6 too) would make pieces run backwards: it is dropped.
    selectRanges(*track, {{0, 4}, {5, 3}});
    pieces = RestStopSplitter::tracksBySplittingTrack(track, track->itemSelection().ranges(), {},
                                                      pool.next());
    EXPECT_EQ(spans(*track, pieces), (Spans{{0, 2}, {6, 12}}));
    // Each piece keeps the selection of its own points.
    EXPECT_EQ(pieces[0]->itemSelection().ranges(), (std::vector<IndexRange>{{0, 2}}));
    EXPECT_EQ(pieces[1]->itemSelection().ranges(), (std::vector<IndexRange>{{0, 2}}));
}

TEST(RestStopSplitter, MutatedItemsReplaceOnlySelectedItemsAndLeaveOriginalsAlone) {
    auto first = walk({0, 30, 60}, {0, 60, 120});
    auto stopped = trackWithOneStop();
    selectRanges(*stopped, {{0, 6}});
    auto last = trackWithOneStop();
    const ItemList originals{first, stopped, last};
    const auto before = stateOf(originals);

    ColorPool pool;
    const ItemList result = RestStopSplitter::mutatedItems(originals, {}, pool.next());
    ASSERT_EQ(result.size(), 4u);
    EXPECT_EQ(result[0], first);
    EXPECT_EQ(spans(*stopped, {result[1], result[2]}), (Spans{{0, 2}, {5, 7}}));
    EXPECT_EQ(result[3], last);
    EXPECT_EQ(stateOf(originals), before);
}
