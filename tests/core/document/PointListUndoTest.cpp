#include "CommandTestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

using namespace wend;
using namespace wend::test;

namespace {

// One letter per point object (a repeated letter is the same object). Each change is made
// once as the new whole list (`after`) and once as a stretch replacing part of the old list.
struct PointListChange {
    const char* name;
    std::string before;
    std::size_t location, count;
    std::string replacement, after;
};

const PointListChange kChanges[] = {
    {"prefix", "abcdef", 0, 2, "XY", "XYcdef"},
    {"suffix", "abcdef", 4, 2, "Z", "abcdZ"},
    {"middle", "abcdef", 2, 2, "XYZ", "abXYZef"},
    {"insertion", "abcdef", 3, 0, "X", "abcXdef"},
    {"removal", "abcdef", 2, 2, "", "abef"},
    {"whole list", "abc", 0, 3, "WXYZ", "WXYZ"},
    {"emptied", "abc", 0, 3, "", ""},
    {"filled", "", 0, 0, "abc", "abc"},
    {"empty stays empty", "", 0, 0, "", ""},
    {"reversed", "abcd", 0, 4, "dcba", "dcba"},
    {"repeated point removed", "aaaa", 1, 2, "", "aa"},
    {"repeated pair added", "abab", 4, 0, "ab", "ababab"},
    {"repeats around a removal", "aabaa", 2, 1, "", "aaaa"},
    {"stretch cut to the list", "abc", 2, 9, "X", "abX"},
};

class PointListUndoTest : public CommandTest {
protected:
    PointList pointsOf(const std::string& letters) {
        PointList points;
        for (char letter : letters) {
            auto& point = m_points[letter];
            if (!point)
                point = GPSPoint::pointWithLongitude(8 + 0.01 * letter, 47, 400, std::nullopt);
            points.push_back(point);
        }
        return points;
    }

    // Runs an action as one user event and keeps the state it leaves when it made a step.
    void step(const std::function<void()>& action) {
        const int count = document.undoManager().changeCount();
        action();
        endEvent();
        if (document.undoManager().changeCount() != count)
            m_states.push_back(snapshot());
    }

    std::map<char, GPSPointPtr> m_points;
    std::vector<DocumentSnapshot> m_states;
};

TEST_F(PointListUndoTest, ChangesBetweenSelectionStepsUndoAndRedoExactly) {
    preferences.setTrackSelectionChangesAreUndoable(true);
    auto& undo = document.undoManager();
    for (const bool wholeList : {true, false}) {
        for (const auto& change : kChanges) {
            SCOPED_TRACE(std::string(change.name) + (wholeList ? ", whole list" : ", stretch"));
            m_states.clear();
            auto track = makeTrack("T", 0);
            track->setItemPoints(pointsOf(change.before));
            load({track});
            m_states.push_back(snapshot());
            step([&] { selectWhole(track); });
            step([&] {
                if (wholeList)
                    track->setItemPoints(pointsOf(change.after));
                else
                    track->replaceItemPoints(change.location, change.count,
                                             pointsOf(change.replacement));
            });
            EXPECT_EQ(track->itemPoints(), pointsOf(change.after));
            step([&] { selectRanges(track, {{0, 0}}); });
            step([&] { track->replaceItemPoints(1, 0, pointsOf("q")); });
            // Back to the start, forward to the end, and back again through what Redo recorded.
            for (std::size_t i = m_states.size() - 1; i > 0; --i) {
                ASSERT_TRUE(undo.undo());
                EXPECT_EQ(snapshot(), m_states[i - 1]) << "Undo to state " << i - 1;
            }
            for (std::size_t i = 1; i < m_states.size(); ++i) {
                ASSERT_TRUE(undo.redo());
                EXPECT_EQ(snapshot(), m_states[i]) << "Redo to state " << i;
            }
            while (undo.undo())
                ;
            EXPECT_EQ(snapshot(), m_states.front());
        }
    }
}

TEST_F(PointListUndoTest, UndoKeepsOnlyTheReplacedPoints) {
    // The copy shares the point objects; updateItemPoint changes the last item holding one.
    auto first = makeTrack("first", 5);
    auto second = first->copy();
    load({first, second});
    const PointList before = second->itemPoints();
    const std::vector<std::function<void()>> edits = {
        [&] {
            PointList points = before;
            points[2] = GPSPoint::point();
            second->setItemPoints(std::move(points));
        },
        [&] { second->replaceItemPoints(2, 1, {GPSPoint::point()}); },
        [&] {
            EXPECT_TRUE(document.updateItemPoint(
                before[2].get(), [](GPSItem&, GPSPoint& p) { p.setElevation(1000); }));
        },
    };
    for (std::size_t edit = 0; edit < edits.size(); ++edit) {
        SCOPED_TRACE(edit);
        edits[edit]();
        endEvent();
        // Held by `before` and by the first track, and by the second or by the undo step.
        for (std::size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(before[i].use_count(), 3) << "point " << i;
        EXPECT_EQ(first->itemPoints(), before);
        EXPECT_DOUBLE_EQ(before[2]->elevation(), 402); // the shared point itself never changes
        ASSERT_TRUE(document.undoManager().undo());
        EXPECT_EQ(second->itemPoints(), before);
    }
    GPSPoint stranger;
    EXPECT_FALSE(document.updateItemPoint(&stranger, [](GPSItem&, GPSPoint&) {}));
}

} // namespace
