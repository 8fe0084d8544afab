#include "ui/app/QSettingsPreferences.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace wend {
namespace {

TEST(QSettingsPreferences, StoredValuesPersistAndUnreadableOnesReadAsTheDefault) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("prefs.ini"));
    {
        // As another program, or a hand-edited file, may have left them.
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue(QStringLiteral("GMapType"), QStringLiteral("satellite"));
        settings.setValue(QStringLiteral("ShowTooltipsKey"), QStringLiteral("maybe"));
        settings.setValue(QStringLiteral("MeasurementSystemKey"), QStringLiteral("1"));
        settings.setValue(QStringLiteral("StreetTileMaxZoom"), 1e12);
    }
    {
        QSettingsPreferences preferences(file);
        EXPECT_EQ(preferences.mapType(), 3);
        EXPECT_TRUE(preferences.showTooltips());
        EXPECT_EQ(preferences.measurementSystem(), Preferences::kImperialSystem);
        EXPECT_EQ(preferences.integerForKey(Preferences::kStreetTileMaxZoomKey), 2147483647);
        preferences.setMapType(1);
        preferences.setShowTooltips(false);
        preferences.setDouble("SomeDouble", 0.25);
        preferences.setString(Preferences::kStreetTileAttributionKey, "\u00A9 Someone, \"quoted\"");
        preferences.setString("Looks like a number", "42");
        preferences.sync();
    }
    // A later launch reads what the last one stored.
    QSettingsPreferences preferences(file);
    EXPECT_EQ(preferences.mapType(), 1);
    EXPECT_FALSE(preferences.showTooltips());
    EXPECT_DOUBLE_EQ(preferences.doubleForKey("SomeDouble"), 0.25);
    EXPECT_EQ(preferences.stringForKey(Preferences::kStreetTileAttributionKey),
              "\u00A9 Someone, \"quoted\"");
    EXPECT_EQ(preferences.integerForKey("Looks like a number"), 42);
    preferences.removeValue(Preferences::kMapTypeKey);
    EXPECT_FALSE(preferences.hasValue(Preferences::kMapTypeKey));
    EXPECT_EQ(preferences.mapType(), 3);
}

} // namespace
} // namespace wend
