#include "ui/mapview/MapCache.h"

#include "core/document/Preferences.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <QWebEngineProfile>
#include <memory>

namespace wend {

namespace {
constexpr int kBytesPerMegabyte = 1024 * 1024;

// Held for the life of the process by the one that uses the folder.
bool lockFolder(const QString& folder) {
    static std::unique_ptr<QLockFile> lock;
    if (lock)
        return true;
    if (!QDir().mkpath(folder))
        return false;
    auto candidate = std::make_unique<QLockFile>(folder + QStringLiteral("/lock"));
    // Held as long as the editor runs: only a lock whose process has ended is stale.
    candidate->setStaleLockTime(0);
    if (!candidate->tryLock(0))
        return false;
    lock = std::move(candidate);
    return true;
}
} // namespace

QString MapCache::folder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/wend/map");
}

QWebEngineProfile* MapCache::createProfile(const Preferences& preferences, QObject* parent) {
    const QString path = folder();
    if (!lockFolder(path))
        return new QWebEngineProfile(parent); // in memory only
    auto* profile = new QWebEngineProfile(QStringLiteral("map"), parent);
    profile->setPersistentStoragePath(path + QStringLiteral("/storage"));
    profile->setCachePath(path);
    applySize(*profile, preferences);
    return profile;
}

void MapCache::applySize(QWebEngineProfile& profile, const Preferences& preferences) {
    if (profile.isOffTheRecord())
        return;
    const int megabytes = preferences.mapCacheSize();
    if (megabytes == 0) {
        profile.setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        return;
    }
    profile.setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    profile.setHttpCacheMaximumSize(megabytes * kBytesPerMegabyte);
}

} // namespace wend
