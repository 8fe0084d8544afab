#include "core/model/GPSItem.h"

#include "ModelTestSupport.h"
#include "core/model/ItemColor.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace wend {
namespace {

using Ranges = std::vector<IndexRange>;

PointList pointsAlong(std::size_t count) {
    PointList points;
    for (std::size_t i = 0; i < count; ++i)
        points.push_back(
            GPSPoint::pointWithLongitude(8 + 0.001 * static_cast<double>(i), 47, 400,
                                         Instant::fromMicroseconds(static_cast<std::int64_t>(i))));
    return points;
}

TEST(GPSItem, NamePointsDatesAndSelectionRestriction) {
    auto item = GPSItem::item();
    // No points: no dates, and an index range of the largest length.
    EXPECT_FALSE(item->startDate() || item->finishDate());
    EXPECT_EQ(item->pointIndexRange(), (IndexRange{0, UINT64_MAX}));
    EXPECT_EQ(item->itemSelection().validSelectionRange(), item->pointIndexRange());
    item->setItemType(GPSItemType::Waypoint);
    item->setItemName("");
    EXPECT_EQ(item->itemName(), "Untitled Track") << "an emptied name is the default for any type";

    auto points = pointsAlong(10);
    item->setItemPoints(points);
    EXPECT_EQ(item->pointIndexRange(), (IndexRange{0, 9}));
    EXPECT_EQ(item->startDate(), Instant::fromMicroseconds(0));
    EXPECT_EQ(item->finishDate(), Instant::fromMicroseconds(9));
    item->setItemSelection(item->itemSelection().selectionBySelectingAll());

    // Fewer points: the selection shrinks with them.
    item->setItemPoints(pointsAlong(3));
    EXPECT_EQ(item->itemSelection().validSelectionRange(), (IndexRange{0, 2}));
    EXPECT_EQ(item->itemSelection().ranges(), (Ranges{{0, 2}}));

    // A selection made for another range is clamped to the item's.
    item->setItemSelection(Selection::selectionWithValidSelectionRange({0, 50}, {{40, 5}}));
    EXPECT_EQ(item->itemSelection(), Selection::selectionWithValidSelectionRange({0, 2}, {{2, 0}}));

    // First point without time: no start date.
    auto untimed = pointsAlong(2);
    untimed.front()->setTime(std::nullopt);
    item->setItemPoints(untimed);
    EXPECT_FALSE(item->startDate());
    EXPECT_TRUE(item->finishDate());

    // Visibility: a hidden item is drawn while it has a selection.
    EXPECT_FALSE(item->temporarilyVisible());
    item->setVisible(false);
    EXPECT_TRUE(item->temporarilyVisible());
    item->setItemSelection(item->itemSelection().selectionByDeselectingAll());
    EXPECT_FALSE(item->temporarilyVisible());
}

TEST(ItemColor, NamedColoursConversionsAndTheSelectionColour) {
    const std::pair<const char*, RGBAColor> named[] = {
        {"DarkGreen", {0.2708, 0.65, 0, 1}},    {"DarkBlue", {0, 0.4, 0.8, 1}},
        {"DarkMagenta", {0.5417, 0, 0.65, 1}}, {"Transparent", {1, 1, 1, 0.6}},
    };
    for (const auto& [name, expected] : named) {
        SCOPED_TRACE(name);
        auto c = ItemColor::itemColorFromString(name);
        ASSERT_TRUE(c);
        RGBAColor rgb = c->rgba();
        EXPECT_NEAR(rgb.red, expected.red, 5e-5);
        EXPECT_NEAR(rgb.green, expected.green, 5e-5);
        EXPECT_NEAR(rgb.blue, expected.blue, 5e-5);
        EXPECT_EQ(rgb.alpha, expected.alpha);
        EXPECT_EQ(ItemColor::stringFromItemColor(c), name);
    }
    EXPECT_FALSE(ItemColor::stringFromItemColor(ItemColor::fromHSBA(0.3, 0.3, 0.3, 1)));
    EXPECT_EQ(ItemColor::fromHSBA(1.5, -1, 2, std::nan("")), (ItemColor{1, 0, 1, 0}));
    EXPECT_NEAR(ItemColor::itemColorFromString("Red")->shadowed(0.6).red, 0.4, 1e-12);
    // A hue of a full turn is red again; colours that did not come through the table or the
    // clamping constructor still convert to something sane.
    EXPECT_EQ(ItemColor::fromHSBA(1, 1, 1, 1).rgba(), (RGBAColor{1, 0, 0, 1}));
    for (double hue : {std::nan(""), -0.5, 7.0}) {
        RGBAColor odd = ItemColor{hue, 1, 1, 1}.rgba();
        for (double component : {odd.red, odd.green, odd.blue})
            EXPECT_TRUE(component >= 0 && component <= 1) << hue;
    }

    // The selection colour is more saturated and brighter, clamped; none without a colour.
    auto item = GPSItem::item();
    EXPECT_EQ(item->itemSelectionColor(), (ItemColor{0, 0.15, 0.325, 0}));
    item->setItemColor(ItemColor::itemColorFromString("DarkGreen"));
    EXPECT_EQ(item->itemSelectionColor().saturation, 1);
    EXPECT_DOUBLE_EQ(item->itemSelectionColor().brightness, 0.975);
    item->setItemColor(ItemColor::itemColorFromString("Transparent"));
    EXPECT_DOUBLE_EQ(item->itemSelectionColor().saturation, 0.15);
    EXPECT_EQ(item->itemSelectionColor().alpha, 0.6);
}

} // namespace
} // namespace wend
