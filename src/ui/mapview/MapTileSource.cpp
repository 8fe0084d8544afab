#include "ui/mapview/MapTileSource.h"

#include "core/document/Preferences.h"

#include <algorithm>
#include <string_view>

namespace wend {

namespace {

// Deeper than any tile service offers; keeps a mistyped preference from asking for absurd
// zoom levels.
constexpr int kDeepestZoom = 30;

struct TileKeys {
    std::string_view url;
    std::string_view labelsURL;
    std::string_view attribution;
    std::string_view maxZoom;
};

constexpr TileKeys kTileKeys[] = {
    {Preferences::kStreetTileURLKey,
     {},
     Preferences::kStreetTileAttributionKey,
     Preferences::kStreetTileMaxZoomKey},
    {Preferences::kSatelliteTileURLKey,
     {},
     Preferences::kSatelliteTileAttributionKey,
     Preferences::kSatelliteTileMaxZoomKey},
    {Preferences::kHybridTileURLKey, Preferences::kHybridLabelsTileURLKey,
     Preferences::kHybridTileAttributionKey, Preferences::kHybridTileMaxZoomKey},
    {Preferences::kTerrainTileURLKey,
     {},
     Preferences::kTerrainTileAttributionKey,
     Preferences::kTerrainTileMaxZoomKey},
};

QString text(const Preferences& preferences, std::string_view key) {
    return QString::fromStdString(preferences.stringForKey(key)).trimmed();
}

} // namespace

QList<MapTileSource> MapTileSource::sourcesForMapType(const Preferences& preferences,
                                                      unsigned type) {
    QList<MapTileSource> sources;
    if (type >= std::size(kTileKeys))
        return sources;
    const TileKeys& keys = kTileKeys[type];
    const QString attribution = text(preferences, keys.attribution);
    const int maxZoom = std::clamp(preferences.integerForKey(keys.maxZoom), 0, kDeepestZoom);
    for (const std::string_view urlKey : {keys.url, keys.labelsURL}) {
        if (urlKey.empty())
            continue;
        const QString url = text(preferences, urlKey);
        if (!url.isEmpty())
            sources.append({url, attribution, maxZoom});
    }
    return sources;
}

} // namespace wend
