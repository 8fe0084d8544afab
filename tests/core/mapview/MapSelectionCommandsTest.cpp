#include "core/mapview/MapSelectionCommands.h"

#include "core/model/ModelTestSupport.h"
#include "MapViewTestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace wend;
using namespace wend::testing;

namespace {
struct Brackets {
    std::vector<std::string> calls;
    SelectionChangeBrackets brackets{[this] { calls.push_back("will"); },
                                     [this] { calls.push_back("did"); }};
};
} // namespace

TEST(MapSelectionCommands, SelectAllSelectsEveryPointOfEveryItemInsideTheBrackets) {
    auto track = makeItem({{0, 0}, {1, 1}, {2, 2}});
    auto hidden = makeItem({{5, 5}, {6, 6}});
    hidden->setVisible(false);
    auto empty = makeItem({});
    const Selection emptySelection = empty->itemSelection();
    RecordingObserver observer;
    track->setObserver(&observer);

    Brackets b;
    // The document reads the items between the brackets: nothing may be selected yet at "will".
    b.brackets.willChangeSelection = [&] {
        b.calls.push_back("will");
        EXPECT_TRUE(track->itemSelection().isEmpty());
    };
    MapSelectionCommands::selectAll({track, hidden, empty}, b.brackets);

    EXPECT_EQ(b.calls, (std::vector<std::string>{"will", "did"}));
    EXPECT_TRUE(track->itemSelection().isFull());
    EXPECT_TRUE(hidden->itemSelection().isFull());
    EXPECT_EQ(empty->itemSelection(), emptySelection);
    EXPECT_EQ(observer.keys(), std::vector{ModelKey::ItemSelection}); // through the setter, so undo sees it
    track->setObserver(nullptr);

    MapSelectionCommands::selectAll({}, {}); // empty brackets are skipped
}

TEST(MapSelectionCommands, ArrowKeysMoveEveryStretchAndCenterOnTheSelection) {
    MapViewGeometry geometry;
    auto track = makeItem({{0, 0}, {1, 0}, {2, 0}, {3, 0}});
    auto hidden = makeItem({{10, 10}, {11, 10}, {12, 10}});
    hidden->setVisible(false);
    select(*track, {{1, 1}});  // points 1 and 2
    select(*hidden, {{2, 0}}); // the last point
    const ItemList items{track, hidden};

    Brackets b;
    MapSelectionCommands::moveDown(items, geometry, b.brackets);
    EXPECT_EQ(b.calls, (std::vector<std::string>{"will", "did"}));
    EXPECT_EQ(track->itemSelection().ranges(), (std::vector<IndexRange>{{2, 1}}));
    EXPECT_TRUE(hidden->itemSelection().isEmpty()); // pushed past the last point
    EXPECT_DOUBLE_EQ(geometry.center().lon, 2.5);
    EXPECT_DOUBLE_EQ(geometry.center().lat, 0);

    MapSelectionCommands::moveUp(items, geometry, b.brackets);
    MapSelectionCommands::moveUp(items, geometry, b.brackets);
    EXPECT_EQ(track->itemSelection().ranges(), (std::vector<IndexRange>{{0, 1}}));
    EXPECT_DOUBLE_EQ(geometry.center().lon, 0.5);

    // Moving up at the first point cuts the stretch; with nothing left the centre stays.
    MapSelectionCommands::moveUp(items, geometry, b.brackets);
    EXPECT_EQ(track->itemSelection().ranges(), (std::vector<IndexRange>{{0, 0}}));
    MapSelectionCommands::moveUp(items, geometry, b.brackets);
    EXPECT_TRUE(track->itemSelection().isEmpty());
    EXPECT_DOUBLE_EQ(geometry.center().lon, 0);
    EXPECT_EQ(b.calls.size(), 10u);
}
