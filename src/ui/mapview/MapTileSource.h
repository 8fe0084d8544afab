#pragma once

#include <QList>
#include <QString>

namespace wend {

class Preferences;

// One XYZ tile layer of a web map type.
struct MapTileSource {
    // Address with {z}, {x}, {y} and optionally {s} (one of the subdomains a, b, c).
    QString url;
    // Plain text shown with the tiles; the providers' licences ask for it.
    QString attribution;
    // The deepest zoom the source offers; the map is blanked beyond it.
    int maxZoom = 0;

    // The layers of a map type (0 street, 1 satellite, 2 hybrid, 3 terrain), bottom layer
    // first, as the preferences describe them now. Other types have none, and so has a layer
    // whose address preference is empty.
    static QList<MapTileSource> sourcesForMapType(const Preferences& preferences, unsigned type);
};

} // namespace wend
