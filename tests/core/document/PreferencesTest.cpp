#include "core/document/InMemoryPreferences.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace wend;

TEST(Preferences, EachAccessorReadsAndWritesItsKeyAtOnce) {
    InMemoryPreferences prefs;
    // Written through the accessor, read back under the literal key, and the other way round.
    struct Case {
        const char* key;
        std::function<void(bool)> set;
        std::function<bool()> get;
    };
    const std::vector<Case> cases = {
        {"TrackSelectionChangesAreUndoable",
         [&](bool v) { prefs.setTrackSelectionChangesAreUndoable(v); },
         [&] { return prefs.trackSelectionChangesAreUndoable(); }},
        {"ShowTooltipsKey", [&](bool v) { prefs.setShowTooltips(v); },
         [&] { return prefs.showTooltips(); }},
        {"IgnoreOutliersWhenCalculatingStatistics",
         [&](bool v) { prefs.setIgnoreOutliersWhenCalculatingStatistics(v); },
         [&] { return prefs.ignoreOutliersWhenCalculatingStatistics(); }},
        {"SaveGarminDocs", [&](bool v) { prefs.setSaveGarminFriendlyDocs(v); },
         [&] { return prefs.saveGarminFriendlyDocs(); }},
        {"ShowStatisticsView", [&](bool v) { prefs.setShowStatistics(v); },
         [&] { return prefs.showStatistics(); }},
        {"ShowEditablePointsList", [&](bool v) { prefs.setShowEditablePointsList(v); },
         [&] { return prefs.showEditablePointsList(); }},
        {"ShowAdditionalWaypointFields", [&](bool v) { prefs.setShowAdditionalWaypointFields(v); },
         [&] { return prefs.showAdditionalWaypointFields(); }},
    };
    for (const Case& c : cases) {
        const bool initial = c.get();
        c.set(!initial);
        EXPECT_TRUE(prefs.hasValue(c.key)) << c.key;
        EXPECT_EQ(prefs.boolForKey(c.key), !initial) << c.key;
        prefs.setBool(c.key, initial);
        EXPECT_EQ(c.get(), initial) << c.key;
        prefs.removeValue(c.key);
        EXPECT_FALSE(prefs.hasValue(c.key)) << c.key;
        EXPECT_EQ(c.get(), initial) << c.key;
    }

    prefs.setInteger("MeasurementSystemKey", 1);
    EXPECT_EQ(prefs.measurementSystem(), 1);
    EXPECT_FALSE(prefs.usesMetricSystem());
    prefs.setMeasurementSystem(0);
    EXPECT_EQ(prefs.integerForKey("MeasurementSystemKey"), 0);
    prefs.setInteger("GMapType", 1);
    EXPECT_EQ(prefs.mapType(), 1);
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
    prefs.setValue("GMapType", std::string("satellite"));
    EXPECT_EQ(prefs.mapType(), 3);

    prefs.setValue("ShowTooltipsKey", std::string("FALSE"));
    EXPECT_FALSE(prefs.showTooltips());
    prefs.setValue("ShowTooltipsKey", std::string("garbage"));
    EXPECT_TRUE(prefs.showTooltips());
    prefs.setValue("SaveGarminDocs", std::int32_t{0});
    EXPECT_FALSE(prefs.saveGarminFriendlyDocs());
    // A cache size from a hand-edited store stays within what the cache can take.
    prefs.setValue("MapCacheSize", std::int32_t{-5});
    EXPECT_EQ(prefs.mapCacheSize(), 0);
    prefs.setValue("MapCacheSize", 1e12);
    EXPECT_EQ(prefs.mapCacheSize(), Preferences::kMaximumMapCacheSize);

    prefs.setDouble("Ratio", 0.25);
    EXPECT_EQ(prefs.stringForKey("Ratio"), "0.25");
    prefs.setString("Ratio", "1.5e3");
    EXPECT_EQ(prefs.doubleForKey("Ratio"), 1500.0);
}

TEST(Preferences, RegisteredDefaultsBelongToOneStore) {
    InMemoryPreferences prefs;
    prefs.registerDefaults({{"TestTileURL", std::string("http://127.0.0.1/{z}/{x}/{y}.png")},
                            {"GMapType", std::int32_t{0}}});
    EXPECT_EQ(prefs.stringForKey("TestTileURL"), "http://127.0.0.1/{z}/{x}/{y}.png");
    EXPECT_FALSE(prefs.hasValue("TestTileURL"));
    EXPECT_EQ(prefs.mapType(), 0);
    prefs.setString("TestTileURL", "http://other/{z}/{x}/{y}.png");
    EXPECT_EQ(prefs.stringForKey("TestTileURL"), "http://other/{z}/{x}/{y}.png");

    InMemoryPreferences other;
    EXPECT_EQ(other.mapType(), 3);
    EXPECT_EQ(other.stringForKey("TestTileURL"), "");
    EXPECT_EQ(Preferences::registeredDefaults().count("TestTileURL"), 0u);
    // The application's own keys have defaults everywhere.
    EXPECT_NE(other.stringForKey("StreetTileURL"), "");
}
