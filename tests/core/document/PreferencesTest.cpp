#include "core/document/InMemoryPreferences.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace wend;

TEST(Preferences, EachAccessorReadsAndWritesItsKeyAtOnce) {
    InMemoryPreferences prefs;
    // Written through the accessor, read back under the literal key, and the other way round.
    using P = Preferences;
    const struct {
        const char* key;
        void (P::*set)(bool);
        bool (P::*get)() const;
    } cases[] = {
        {"TrackSelectionChangesAreUndoable", &P::setTrackSelectionChangesAreUndoable,
         &P::trackSelectionChangesAreUndoable},
        {"ShowTooltipsKey", &P::setShowTooltips, &P::showTooltips},
        {"IgnoreOutliersWhenCalculatingStatistics", &P::setIgnoreOutliersWhenCalculatingStatistics,
         &P::ignoreOutliersWhenCalculatingStatistics},
        {"SaveGarminDocs", &P::setSaveGarminFriendlyDocs, &P::saveGarminFriendlyDocs},
        {"ShowStatisticsView", &P::setShowStatistics, &P::showStatistics},
        {"ShowEditablePointsList", &P::setShowEditablePointsList, &P::showEditablePointsList},
        {"ShowAdditionalWaypointFields", &P::setShowAdditionalWaypointFields,
         &P::showAdditionalWaypointFields},
    };
    for (const auto& c : cases) {
        const bool initial = (prefs.*c.get)();
        (prefs.*c.set)(!initial);
        EXPECT_EQ(prefs.boolForKey(c.key), !initial) << c.key;
        prefs.setBool(c.key, initial);
        EXPECT_EQ((prefs.*c.get)(), initial) << c.key;
    }

    prefs.setMeasurementSystem(1);
    EXPECT_EQ(prefs.integerForKey("MeasurementSystemKey"), 1);
    EXPECT_FALSE(prefs.usesMetricSystem());
    prefs.setMapType(2);
    EXPECT_EQ(prefs.integerForKey("GMapType"), 2);
}

TEST(Preferences, StoredValuesOfAnotherKindConvertOrFallBackToTheDefault) {
    InMemoryPreferences prefs;
    prefs.setValue("MeasurementSystemKey", std::string(" 1 "));
    EXPECT_EQ(prefs.measurementSystem(), 1);
    prefs.setValue("GMapType", 2.9);
    EXPECT_EQ(prefs.mapType(), 2);
    prefs.setValue("GMapType", 1e12);
    EXPECT_EQ(prefs.mapType(), 2147483647);
    prefs.setValue("GMapType", std::nan(""));
    EXPECT_EQ(prefs.mapType(), 3);
    prefs.setValue("ShowTooltipsKey", std::string("FALSE"));
    EXPECT_FALSE(prefs.showTooltips());
    prefs.setValue("ShowTooltipsKey", std::string("garbage"));
    EXPECT_TRUE(prefs.showTooltips());
    // A cache size from a hand-edited store stays within what the cache can take.
    prefs.setValue("MapCacheSize", std::int32_t{-5});
    EXPECT_EQ(prefs.mapCacheSize(), 0);
    prefs.setValue("MapCacheSize", 1e12);
    EXPECT_EQ(prefs.mapCacheSize(), Preferences::kMaximumMapCacheSize);

    prefs.setString("Ratio", "1.5e3");
    EXPECT_EQ(prefs.doubleForKey("Ratio"), 1500.0);
}

TEST(Preferences, RegisteredDefaultsBelongToOneStore) {
    InMemoryPreferences prefs, other;
    prefs.registerDefaults({{"GMapType", std::int32_t{0}}});
    EXPECT_EQ(prefs.mapType(), 0);
    EXPECT_FALSE(prefs.hasValue("GMapType"));
    EXPECT_EQ(other.mapType(), 3);
}
