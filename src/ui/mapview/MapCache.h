#pragma once

#include <QString>

class QObject;
class QWebEngineProfile;

namespace wend {

class Preferences;

// Where the map page keeps what it fetched: an HTTP cache on disk under the user's cache
// folder ($XDG_CACHE_HOME/wend/map), bounded by the MapCacheSize preference, so that places
// seen before show without the network and the tile servers are asked less. Everything the
// page stores lives there: none of it is worth keeping beyond a cache.
//
// One process at a time uses the folder (a lock file inside it); another process, such as a
// screenshot taken while the editor runs, keeps its tiles in memory.
class MapCache {
public:
    static QString folder();

    // The web profile for the map pages, owned by `parent`.
    static QWebEngineProfile* createProfile(const Preferences& preferences, QObject* parent);
    // Takes up a changed size; 0 MB keeps the tiles in memory only.
    static void applySize(QWebEngineProfile& profile, const Preferences& preferences);
};

} // namespace wend
