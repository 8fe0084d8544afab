#include "core/model/Selection.h"

#include "ModelTestPrinters.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
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

TEST(Selection, EmptyFullAndWaypoint) {
    Selection empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.length(), 0u);
    EXPECT_FALSE(empty.isFull());
    EXPECT_EQ(empty.validSelectionRange(), (IndexRange{0, 0}));

    Selection s = over(10);
    Selection inverse = s.selectionByInvertingSelection();
    EXPECT_TRUE(inverse.isFull());
    EXPECT_EQ(inverse.ranges(), Ranges{span(0, 10)});
    EXPECT_EQ(inverse.length(), 10u);
    EXPECT_TRUE(inverse.selectionByInvertingSelection().isEmpty());

    // A waypoint: one point, and selecting it is both full and not empty.
    Selection waypoint = Selection().selectionBySelectingAll();
    EXPECT_EQ(waypoint.ranges(), Ranges{point(0)});
    EXPECT_TRUE(waypoint.isFull());
    EXPECT_FALSE(waypoint.isEmpty());
    EXPECT_EQ(waypoint.length(), 0u);
    EXPECT_TRUE(waypoint.selectionByInvertingSelection().isEmpty());

    // Selecting all ignores what was selected; deselecting all keeps the valid range.
    Selection some = over(10, {point(3), span(5, 7)});
    EXPECT_EQ(some.selectionBySelectingAll().ranges(), Ranges{span(0, 10)});
    EXPECT_TRUE(some.selectionByDeselectingAll().isEmpty());
    EXPECT_EQ(some.selectionByDeselectingAll().validSelectionRange(), (IndexRange{0, 10}));
}

// Ordinary selecting, deselecting, inverting, offsetting and re-basing are checked against a
// brute-force model below; these are the cases it cannot reach.
TEST(Selection, OutOfRangeArgumentsAndConstruction) {
    // Construction sorts, and joins two single points one apart into a stretch.
    EXPECT_EQ(over(20, {span(10, 12), point(0), span(4, 6)}).ranges(),
              (Ranges{point(0), span(4, 6), span(10, 12)}));
    EXPECT_EQ(over(20, {point(4), point(5)}).ranges(), Ranges{span(4, 5)});

    Selection s = over(10, {span(2, 4)});
    EXPECT_EQ(s.selectionBySelectingRange({IndexRange::NotFound, 3}), s);
    EXPECT_EQ(s.selectionBySelectingRange({UINT64_MAX, UINT64_MAX}).ranges(),
              (Ranges{span(2, 4), point(10)}));
    EXPECT_EQ(s.selectionBySelectingRanges({point(5), point(9), point(40)}).ranges(),
              (Ranges{span(2, 5), span(9, 10)}));
    EXPECT_EQ(s.selectionByDeselectingRange(point(40)), s);
    EXPECT_TRUE(s.selectionWithOffset(INT64_MIN).isEmpty());
    EXPECT_TRUE(s.selectionWithOffset(INT64_MAX).isEmpty());

    // The receiver stays unchanged.
    Selection full = over(10).selectionBySelectingAll();
    full.selectionByDeselectingRange(span(3, 7));
    full.selectionByInvertingSelection();
    full.selectionWithOffset(2);
    EXPECT_EQ(full.ranges(), Ranges{span(0, 10)});
}

TEST(Selection, ItemWithoutPointsAcceptsEverything) {
    Selection s = Selection::selectionWithValidSelectionRange({0, kNoPoints});
    Selection all = s.selectionBySelectingAll();
    EXPECT_EQ(all.ranges(), Ranges{span(0, kNoPoints)});
    EXPECT_TRUE(all.isFull());
    EXPECT_EQ(s.selectionBySelectingRange(span(5, 1000)).ranges(), Ranges{span(5, 1000)});
    EXPECT_EQ(s.selectionBySelectingRange({UINT64_MAX - 2, 100}).ranges(),
              Ranges{span(UINT64_MAX - 2, UINT64_MAX)});
    EXPECT_EQ(all.selectionByDeselectingRange(point(kNoPoints)).ranges(),
              Ranges{span(0, kNoPoints - 1)});
    EXPECT_EQ(all.selectionByInvertingSelection().ranges(), Ranges{});
    EXPECT_EQ(s.selectionBySelectingRange(span(3, 4)).selectionWithOffset(2).ranges(),
              Ranges{span(5, 6)});
    EXPECT_TRUE(all.isSelectedAtIndex(kNoPoints));
}

TEST(Selection, QueriesAndRangeStrings) {
    Selection s = over(20, {point(1), span(4, 6), span(10, 13)});
    EXPECT_EQ(s.length(), 5u);
    Ranges visited;
    s.applyToSelectionRanges([&](const IndexRange& r) { visited.push_back(r); });
    EXPECT_EQ(visited, s.ranges());
    EXPECT_NE(s.description().find("selection count = 3"), std::string::npos);

    EXPECT_EQ(stringFromRange({3, 4}), "{3, 4}");
    EXPECT_EQ(rangeFromString("{3, 4}"), (IndexRange{3, 4}));
    EXPECT_EQ(rangeFromString(stringFromRange({0, kNoPoints})), (IndexRange{0, kNoPoints}));
    EXPECT_EQ(rangeFromString("{7}"), (IndexRange{7, 0}));
    EXPECT_EQ(rangeFromString("nonsense"), (IndexRange{0, 0}));

    // A selection rebuilt from its ranges, as decoding does, equals the original.
    Selection decoded(s.validSelectionRange(), s.ranges());
    EXPECT_EQ(decoded, s);
}

// A brute-force model of a selection: which points and which segments are selected.
class Model {
public:
    explicit Model(std::size_t count)
        : m_points(count, false), m_segments(count ? count - 1 : 0, false) {}

    std::size_t count() const { return m_points.size(); }

    void select(IndexRange r) {
        if (r.location == IndexRange::NotFound)
            return;
        const std::uint64_t last = count() - 1;
        std::uint64_t first = std::min(r.location, last);
        std::uint64_t end = first + std::min(r.length, last - first);
        mark(first, end);
        joinLonePoints();
    }

    void deselect(IndexRange d) {
        if (d.length == 0) {
            const std::uint64_t x = d.location;
            if (x < count()) {
                m_points[x] = false;
                if (x > 0)
                    m_segments[x - 1] = false;
                if (x < m_segments.size())
                    m_segments[x] = false;
            }
        } else {
            const std::uint64_t a = d.location, b = d.location + d.length;
            for (std::uint64_t k = a; k < b && k < m_segments.size(); ++k)
                m_segments[k] = false;
            for (std::uint64_t k = a + 1; k < b && k < count(); ++k)
                m_points[k] = false;
            // The ends stay only as ends of stretches that reach beyond them.
            for (std::uint64_t k : {a, b})
                if (k < count() && !hasSegment(k))
                    m_points[k] = false;
        }
        joinLonePoints();
    }

    void invert() {
        const Ranges old = ranges();
        *this = Model(count());
        mark(0, count() - 1);
        for (auto r : old)
            deselect(r);
    }

    void offset(std::int64_t k) {
        const Ranges old = ranges();
        *this = Model(count());
        for (auto r : old) {
            std::int64_t location = static_cast<std::int64_t>(r.location) + k;
            std::int64_t length = static_cast<std::int64_t>(r.length);
            if (location < 0) {
                length += location;
                location = 0;
            }
            if (length < 0 || location >= static_cast<std::int64_t>(count()))
                continue;
            select({static_cast<std::uint64_t>(location), static_cast<std::uint64_t>(length)});
        }
    }

    Model rebased(std::size_t newCount) const {
        Model m(newCount);
        for (auto r : ranges())
            m.select(r);
        return m;
    }

    // The maximal runs of points joined by selected segments.
    Ranges ranges() const {
        Ranges out;
        std::size_t i = 0;
        while (i < count()) {
            if (!m_points[i]) {
                ++i;
                continue;
            }
            std::size_t j = i;
            while (j < m_segments.size() && m_segments[j])
                ++j;
            out.push_back(span(i, j));
            i = j + 1;
        }
        return out;
    }

private:
    bool hasSegment(std::uint64_t k) const {
        return (k > 0 && m_segments[k - 1]) || (k < m_segments.size() && m_segments[k]);
    }
    void mark(std::uint64_t first, std::uint64_t last) {
        for (auto k = first; k <= last; ++k)
            m_points[k] = true;
        for (auto k = first; k < last; ++k)
            m_segments[k] = true;
    }
    // A lone point right beside another run joins the run before it first, then the one after.
    void joinLonePoints() {
        Ranges runs = ranges();
        for (std::size_t i = 0; i + 1 < runs.size(); ++i) {
            IndexRange& a = runs[i];
            const IndexRange& b = runs[i + 1];
            if ((a.length == 0 || b.length == 0) && a.location + a.length + 1 == b.location) {
                m_segments[b.location - 1] = true;
                a = span(a.location, b.location + b.length);
                runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(i) + 1);
                --i;
            }
        }
    }

    std::vector<bool> m_points;
    std::vector<bool> m_segments;
};

void expectInvariants(const Selection& s) {
    const auto& r = s.ranges();
    const std::uint64_t last = s.validSelectionRange().length;
    for (std::size_t i = 0; i < r.size(); ++i) {
        EXPECT_LE(r[i].location + r[i].length, last);
        if (i == 0)
            continue;
        const IndexRange& before = r[i - 1];
        EXPECT_LT(before.location + before.length, r[i].location) << "sorted and disjoint";
        if (before.length == 0 || r[i].length == 0) {
            EXPECT_GT(r[i].location, before.location + before.length + 1)
                << "lone point beside a range";
        }
    }
}

TEST(Selection, RandomOperationsMatchPointsAndSegments) {
    std::mt19937 random(20240611);
    auto below = [&](std::uint64_t n) {
        return std::uniform_int_distribution<std::uint64_t>(0, n - 1)(random);
    };
    auto randomRange = [&](std::uint64_t count) {
        const std::uint64_t location = below(count + 2);
        const std::uint64_t length = below(5) == 0 ? 0 : below(count + 1);
        return IndexRange{location, length};
    };

    for (int round = 0; round < 400; ++round) {
        std::size_t count = 1 + below(12);
        Selection s = Selection::selectionWithValidSelectionRange({0, count - 1});
        Model model(count);
        for (int step = 0; step < 25; ++step) {
            const int op = static_cast<int>(below(6));
            if (op <= 1) {
                IndexRange r = randomRange(count);
                s = s.selectionBySelectingRange(r);
                model.select(r);
            } else if (op == 2) {
                IndexRange r = randomRange(count);
                s = s.selectionByDeselectingRange(r);
                model.deselect(r);
            } else if (op == 3) {
                s = s.selectionByInvertingSelection();
                model.invert();
            } else if (op == 4) {
                std::int64_t k = static_cast<std::int64_t>(below(7)) - 3;
                s = s.selectionWithOffset(k);
                model.offset(k);
            } else {
                count = 1 + below(12);
                s = s.selectionByChangingValidSelectionRange({0, count - 1});
                model = model.rebased(count);
            }
            ASSERT_EQ(s.ranges(), model.ranges())
                << "round " << round << " step " << step << " op " << op;
            ASSERT_EQ(s.validSelectionRange(), (IndexRange{0, count - 1}));
            expectInvariants(s);
            ASSERT_EQ(s, Selection(s.validSelectionRange(), s.ranges()));
            for (std::uint64_t i = 0; i < count; ++i) {
                bool covered = false;
                for (auto r : model.ranges())
                    covered = covered || (r.location <= i && i <= r.location + r.length);
                ASSERT_EQ(s.isSelectedAtIndex(i), covered);
            }
        }
    }
}

} // namespace
} // namespace wend
