#include "core/model/Selection.h"

#include "ModelTestSupport.h"

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace wend {
namespace {

using Ranges = std::vector<IndexRange>;

constexpr std::uint64_t kNoPoints = UINT64_MAX; // the valid length of an item without points

IndexRange span(std::uint64_t first, std::uint64_t last) {
    return {first, last - first};
}
IndexRange point(std::uint64_t index) {
    return {index, 0};
}

Selection over(std::uint64_t last, const Ranges& ranges = {}) {
    return Selection::selectionWithValidSelectionRange({0, last}, ranges);
}

// A selection holds points and the segments between them: a range of one point is a point
// alone, deselecting a point drops the segments beside it, and a lone point right beside a
// stretch joins it.
TEST(Selection, OperationsOnPointsAndSegments) {
    using Op = std::function<Selection(const Selection&)>;
    auto selecting = [](IndexRange r) { return [r](const Selection& s) { return s.selectionBySelectingRange(r); }; };
    auto deselecting = [](IndexRange r) { return [r](const Selection& s) { return s.selectionByDeselectingRange(r); }; };
    auto offset = [](std::int64_t k) { return [k](const Selection& s) { return s.selectionWithOffset(k); }; };
    auto rebased = [](std::uint64_t last) {
        return [last](const Selection& s) { return s.selectionByChangingValidSelectionRange({0, last}); };
    };
    const Op invert = [](const Selection& s) { return s.selectionByInvertingSelection(); };
    struct Row {
        const char* what;
        Ranges before;
        Op op;
        Ranges after;
    };
    const Row rows[] = {
        {"select a stretch", {}, selecting(span(2, 5)), {span(2, 5)}},
        {"select beyond the end", {}, selecting({8, 9}), {span(8, 10)}},
        {"select past the end", {span(2, 4)}, selecting({UINT64_MAX, UINT64_MAX}), {span(2, 4), point(10)}},
        {"select no range", {span(2, 4)}, selecting({IndexRange::NotFound, 3}), {span(2, 4)}},
        {"lone point beside a point", {point(3)}, selecting(point(4)), {span(3, 4)}},
        {"lone point one apart", {point(3)}, selecting(point(5)), {point(3), point(5)}},
        {"lone point beside a stretch", {span(2, 4)}, selecting(point(5)), {span(2, 5)}},
        {"stretches overlap", {span(2, 4)}, selecting(span(3, 7)), {span(2, 7)}},
        {"stretches touch at a point", {span(2, 4)}, selecting(span(4, 6)), {span(2, 6)}},
        {"stretches one apart stay two", {span(2, 4)}, selecting(span(5, 7)), {span(2, 4), span(5, 7)}},
        {"deselect a point inside", {span(2, 5)}, deselecting(point(3)), {point(2), span(4, 5)}},
        {"deselect the first point", {span(2, 5)}, deselecting(point(2)), {span(3, 5)}},
        {"deselect a stretch inside", {span(2, 6)}, deselecting(span(3, 5)), {span(2, 3), span(5, 6)}},
        {"deselect over an end", {span(2, 6)}, deselecting(span(5, 9)), {span(2, 5)}},
        {"deselect a lone point's stretch", {point(3)}, deselecting(span(3, 4)), {}},
        {"deselect past the end", {span(2, 4)}, deselecting(point(40)), {span(2, 4)}},
        {"invert a stretch", {span(2, 4)}, invert, {span(0, 2), span(4, 10)}},
        {"invert a point", {point(5)}, invert, {span(0, 4), span(6, 10)}},
        {"invert at the ends", {point(0), span(8, 10)}, invert, {span(1, 8)}},
        {"offset forward", {point(1), span(3, 5)}, offset(2), {point(3), span(5, 7)}},
        {"offset cut at the start", {span(2, 4)}, offset(-3), {span(0, 1)}},
        {"offset cut at the end", {span(2, 4)}, offset(8), {point(10)}},
        {"offset far away", {span(2, 4)}, offset(INT64_MIN), {}},
        {"offset far the other way", {span(2, 4)}, offset(INT64_MAX), {}},
        {"fewer points", {point(1), span(4, 8)}, rebased(5), {point(1), span(4, 5)}},
        {"fewer points than a range starts at", {span(7, 9)}, rebased(5), {point(5)}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Selection before = over(10, row.before);
        const Selection after = row.op(before);
        EXPECT_EQ(after.ranges(), row.after);
        EXPECT_EQ(after, Selection(after.validSelectionRange(), after.ranges()));
        EXPECT_EQ(before.ranges(), over(10, row.before).ranges()) << "the receiver is unchanged";
    }
}

TEST(Selection, ConstructionQueriesAndEdges) {
    // Construction sorts, merges and clamps what it is given.
    EXPECT_EQ(over(20, {span(10, 12), point(0), span(4, 6)}).ranges(),
              (Ranges{point(0), span(4, 6), span(10, 12)}));
    EXPECT_EQ(over(20, {point(4), point(5), span(15, 40)}).ranges(), (Ranges{span(4, 5), span(15, 20)}));

    const Selection s = over(10, {point(1), span(4, 6)});
    EXPECT_EQ(s.length(), 2u);
    for (auto [index, selected] : {std::pair{0, false}, {1, true}, {3, false}, {4, true}, {6, true},
                                   {7, false}, {10, false}})
        EXPECT_EQ(s.isSelectedAtIndex(index), selected) << index;

    // A waypoint: one point, and selecting it is both full and not empty.
    const Selection waypoint = Selection().selectionBySelectingAll();
    EXPECT_EQ(waypoint.ranges(), Ranges{point(0)});
    EXPECT_TRUE(waypoint.isFull());
    EXPECT_TRUE(waypoint.selectionByInvertingSelection().isEmpty());
    EXPECT_TRUE(over(10).selectionByInvertingSelection().isFull());
    EXPECT_TRUE(s.selectionByDeselectingAll().isEmpty());
    EXPECT_EQ(s.selectionByDeselectingAll().validSelectionRange(), (IndexRange{0, 10}));

    // An item without points accepts every index.
    const Selection none = Selection::selectionWithValidSelectionRange({0, kNoPoints});
    const Selection all = none.selectionBySelectingAll();
    EXPECT_TRUE(all.isFull());
    EXPECT_TRUE(all.isSelectedAtIndex(kNoPoints));
    EXPECT_EQ(none.selectionBySelectingRange({UINT64_MAX - 2, 100}).ranges(),
              Ranges{span(UINT64_MAX - 2, UINT64_MAX)});
    EXPECT_EQ(all.selectionByDeselectingRange(point(kNoPoints)).ranges(), Ranges{span(0, kNoPoints - 1)});
    EXPECT_TRUE(all.selectionByInvertingSelection().isEmpty());

    EXPECT_EQ(rangeFromString(stringFromRange({0, kNoPoints})), (IndexRange{0, kNoPoints}));
    EXPECT_EQ(rangeFromString("{7}"), (IndexRange{7, 0}));
    EXPECT_EQ(rangeFromString("nonsense"), (IndexRange{0, 0}));
}

} // namespace
} // namespace wend
