#include "ui/app/HelpLinks.h"

#include "core/document/Preferences.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace wend {

namespace {
struct KnownProvider {
    const char* hostSuffix;
    const char* title;
    const char* url;
};

constexpr std::array<KnownProvider, 4> kKnownProviders = {{
    {"openstreetmap.org", "OpenStreetMap Tile Usage Policy",
     "https://operations.osmfoundation.org/policies/tiles/"},
    {"arcgisonline.com", "Esri Terms of Use",
     "https://www.esri.com/en-us/legal/terms/full-master-agreement"},
    {"arcgis.com", "Esri Terms of Use",
     "https://www.esri.com/en-us/legal/terms/full-master-agreement"},
    {"opentopomap.org", "OpenTopoMap Terms of Use", "https://opentopomap.org/about"},
}};

bool hostMatches(const QString& host, const QString& suffix) {
    return host == suffix || host.endsWith(QLatin1Char('.') + suffix);
}
} // namespace

QUrl HelpLinks::openStreetMapCopyrightURL() {
    return QUrl(QStringLiteral("https://www.openstreetmap.org/copyright"));
}

std::optional<HelpLink> HelpLinks::linkForTileURL(const QString& tileURL) {
    // The placeholders are not valid in a host name; only the host matters here.
    QString address = tileURL;
    address.replace(QStringLiteral("{s}"), QStringLiteral("a"));
    const QUrl url(address);
    const QString host = url.host().toLower();
    if (host.isEmpty())
        return std::nullopt;
    for (const auto& provider : kKnownProviders) {
        if (hostMatches(host, QString::fromLatin1(provider.hostSuffix)))
            return HelpLink{QString::fromUtf8(provider.title),
                            QUrl(QString::fromLatin1(provider.url))};
    }
    QUrl home;
    home.setScheme(url.scheme().isEmpty() ? QStringLiteral("https") : url.scheme());
    home.setHost(host);
    home.setPort(url.port());
    home.setPath(QStringLiteral("/"));
    return HelpLink{QStringLiteral("Tile Provider %1").arg(host), home};
}

QList<HelpLink> HelpLinks::helpLinks(const Preferences& preferences) {
    QList<HelpLink> links = {
        {QStringLiteral("OpenStreetMap Copyright and License"), openStreetMapCopyrightURL()}};
    for (const std::string_view key :
         {Preferences::kStreetTileURLKey, Preferences::kSatelliteTileURLKey,
          Preferences::kHybridTileURLKey, Preferences::kHybridLabelsTileURLKey,
          Preferences::kTerrainTileURLKey}) {
        const auto link = linkForTileURL(QString::fromStdString(preferences.stringForKey(key)));
        if (!link)
            continue;
        const bool known = std::any_of(links.begin(), links.end(), [&](const HelpLink& other) {
            return other.url == link->url;
        });
        if (!known)
            links.append(*link);
    }
    return links;
}

} // namespace wend
