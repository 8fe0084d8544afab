#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

namespace wend {

class Preferences;

struct HelpLink {
    QString title;
    QUrl url;
    bool operator==(const HelpLink&) const = default;
};

// The help menu's map links: OpenStreetMap's copyright and licence page, then the terms of
// every tile provider the map types use now (the licences under which the map is shown).
class HelpLinks {
public:
    static QUrl openStreetMapCopyrightURL();
    // In the order of the map types, each provider once. A provider this list does not know
    // is linked by its home page.
    static QList<HelpLink> helpLinks(const Preferences& preferences);
    // The link for one tile address, or nothing for an address without a host.
    static std::optional<HelpLink> linkForTileURL(const QString& tileURL);
};

} // namespace wend
