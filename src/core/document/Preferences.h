#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace wend {

using PreferenceValue = std::variant<bool, std::int32_t, double, std::string>;
using PreferenceDefaults = std::map<std::string, PreferenceValue, std::less<>>;

// The user's preferences. Every read goes to the store (no caching), so a change takes effect
// the next time anyone asks. A key the user never stored reads its registered default; a key
// without a default reads false, 0, 0.0 or an empty text.
//
// A store implements the protected stored* readers and the public setters; it reports nothing
// (nullopt) for a missing key or a value it cannot read as the asked type.
class Preferences {
public:
    static constexpr std::string_view kTrackSelectionChangesAreUndoableKey =
        "TrackSelectionChangesAreUndoable";
    static constexpr std::string_view kShowTooltipsKey = "ShowTooltipsKey";
    static constexpr std::string_view kIgnoreOutliersWhenCalculatingStatisticsKey =
        "IgnoreOutliersWhenCalculatingStatistics";
    static constexpr std::string_view kMeasurementSystemKey = "MeasurementSystemKey";
    static constexpr std::string_view kSaveGarminDocsKey = "SaveGarminDocs";
    static constexpr std::string_view kMapTypeKey = "GMapType";
    static constexpr std::string_view kShowStatisticsViewKey = "ShowStatisticsView";
    static constexpr std::string_view kShowEditablePointsListKey = "ShowEditablePointsList";
    static constexpr std::string_view kShowAdditionalWaypointFieldsKey =
        "ShowAdditionalWaypointFields";
    // Set by "Don't Show Again" on the three namespace warnings of the GPX writer.
    static constexpr std::string_view kHideErr1Key = "HideErr1";
    static constexpr std::string_view kHideErr2Key = "HideErr2";
    static constexpr std::string_view kHideErr3Key = "HideErr3";
    static constexpr std::string_view kHideBetaNotificationKey = "HideBetaNotification";

    // Tile sources of the four web map types: an XYZ tile address ({z}, {x}, {y}, optionally
    // {s}), the attribution shown with the tiles (plain text) and the deepest zoom offered.
    // The hybrid type lays a labels layer over its imagery.
    static constexpr std::string_view kStreetTileURLKey = "StreetTileURL";
    static constexpr std::string_view kStreetTileAttributionKey = "StreetTileAttribution";
    static constexpr std::string_view kStreetTileMaxZoomKey = "StreetTileMaxZoom";
    static constexpr std::string_view kSatelliteTileURLKey = "SatelliteTileURL";
    static constexpr std::string_view kSatelliteTileAttributionKey = "SatelliteTileAttribution";
    static constexpr std::string_view kSatelliteTileMaxZoomKey = "SatelliteTileMaxZoom";
    static constexpr std::string_view kHybridTileURLKey = "HybridTileURL";
    static constexpr std::string_view kHybridLabelsTileURLKey = "HybridLabelsTileURL";
    static constexpr std::string_view kHybridTileAttributionKey = "HybridTileAttribution";
    static constexpr std::string_view kHybridTileMaxZoomKey = "HybridTileMaxZoom";
    static constexpr std::string_view kTerrainTileURLKey = "TerrainTileURL";
    static constexpr std::string_view kTerrainTileAttributionKey = "TerrainTileAttribution";
    static constexpr std::string_view kTerrainTileMaxZoomKey = "TerrainTileMaxZoom";

    // Megabytes of map tiles (the map page's web cache) kept on disk between runs; 0 keeps
    // them in memory only.
    static constexpr std::string_view kMapCacheSizeKey = "MapCacheSize";
    static constexpr std::int32_t kMaximumMapCacheSize = 2047;

    static constexpr std::int32_t kMetricSystem = 0;
    static constexpr std::int32_t kImperialSystem = 1;

    // The defaults of the keys above, the one place where they are written down. Every store
    // starts with them; the application adds the defaults of its own keys with
    // registerDefaults.
    static const PreferenceDefaults& registeredDefaults();

    Preferences();
    virtual ~Preferences() = default;
    Preferences(const Preferences&) = delete;
    Preferences& operator=(const Preferences&) = delete;

    // Adds defaults, replacing those of keys registered before. Kept for this store's lifetime,
    // never written to the store.
    void registerDefaults(const PreferenceDefaults& defaults);
    std::optional<PreferenceValue> defaultValue(std::string_view key) const;

    // Whether the user has stored a value under the key (a default does not count).
    virtual bool hasValue(std::string_view key) const = 0;
    // Makes the key read its default again.
    virtual void removeValue(std::string_view key) = 0;

    bool boolForKey(std::string_view key) const;
    std::int32_t integerForKey(std::string_view key) const;
    double doubleForKey(std::string_view key) const;
    std::string stringForKey(std::string_view key) const;

    virtual void setBool(std::string_view key, bool value) = 0;
    virtual void setInteger(std::string_view key, std::int32_t value) = 0;
    virtual void setDouble(std::string_view key, double value) = 0;
    virtual void setString(std::string_view key, std::string_view value) = 0;

    bool trackSelectionChangesAreUndoable() const;
    void setTrackSelectionChangesAreUndoable(bool undoable);
    bool showTooltips() const;
    void setShowTooltips(bool show);
    bool ignoreOutliersWhenCalculatingStatistics() const;
    void setIgnoreOutliersWhenCalculatingStatistics(bool ignore);
    // kMetricSystem or kImperialSystem; readers treat every value other than 0 as imperial.
    std::int32_t measurementSystem() const;
    void setMeasurementSystem(std::int32_t system);
    bool usesMetricSystem() const { return measurementSystem() == kMetricSystem; }
    bool saveGarminFriendlyDocs() const;
    void setSaveGarminFriendlyDocs(bool save);
    // 0 street, 1 satellite, 2 hybrid, 3 terrain.
    std::int32_t mapType() const;
    void setMapType(std::int32_t type);
    bool showStatistics() const;
    void setShowStatistics(bool show);
    bool showEditablePointsList() const;
    void setShowEditablePointsList(bool show);
    bool showAdditionalWaypointFields() const;
    void setShowAdditionalWaypointFields(bool show);
    // In megabytes, within 0…kMaximumMapCacheSize whatever the store holds.
    std::int32_t mapCacheSize() const;
    void setMapCacheSize(std::int32_t megabytes);

    // Conversions between the value kinds, shared by the stores and the defaults: numbers
    // convert among each other (fractions cut toward zero, clamped to 32 bits, NaN unreadable),
    // texts parse as numbers or as "true"/"yes"/"false"/"no" (any case).
    static std::optional<bool> boolFromValue(const PreferenceValue& value);
    static std::optional<std::int32_t> integerFromValue(const PreferenceValue& value);
    static std::optional<double> doubleFromValue(const PreferenceValue& value);
    static std::optional<std::string> stringFromValue(const PreferenceValue& value);

protected:
    virtual std::optional<bool> storedBool(std::string_view key) const = 0;
    virtual std::optional<std::int32_t> storedInteger(std::string_view key) const = 0;
    virtual std::optional<double> storedDouble(std::string_view key) const = 0;
    virtual std::optional<std::string> storedString(std::string_view key) const = 0;

private:
    PreferenceDefaults m_defaults;
};

} // namespace wend
