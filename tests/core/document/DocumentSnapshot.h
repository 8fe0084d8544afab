#pragma once

#include "core/document/WendDocument.h"

#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace wend::test {

// Everything a command may change in a document (metadata, namespaces and kept elements
// included), with the identities of items and points, so that a test can tell "restored" from
// "rebuilt alike".
struct PointSnapshot {
    const GPSPoint* identity = nullptr;
    double longitude = 0, latitude = 0;
    std::optional<double> elevation;
    std::optional<Instant> time;
    XMLElementList elements;

    bool operator==(const PointSnapshot&) const = default;
};

struct ItemSnapshot {
    const GPSItem* identity = nullptr;
    std::string name, description, link, wptSym, wptType;
    GPSItemType type = GPSItemType::Unknown;
    std::optional<ItemColor> color;
    bool visible = true;
    std::vector<IndexRange> selection;
    std::vector<PointSnapshot> points;
    XMLElementList elements;

    bool operator==(const ItemSnapshot&) const = default;
};

struct DocumentSnapshot {
    std::string documentName, description, author, link, schemaLocation;
    std::vector<XMLNamespaceDecl> namespaces;
    XMLElement metadataExtensions;
    XMLElementList metadataElements;
    std::vector<ItemSnapshot> items;

    bool operator==(const DocumentSnapshot&) const = default;

    static DocumentSnapshot of(const WendDocument& document) {
        DocumentSnapshot snapshot;
        const GPSDocument& gpx = *document.GPSDoc();
        snapshot.documentName = gpx.documentName();
        snapshot.description = gpx.documentDescription();
        snapshot.author = gpx.documentAuthor();
        snapshot.link = gpx.documentLink();
        snapshot.schemaLocation = gpx.XMLSchemaLocation();
        snapshot.namespaces = gpx.XMLNamespaces();
        snapshot.metadataExtensions = gpx.metadataExtensions();
        snapshot.metadataElements = gpx.metadataElements();
        for (const auto& item : document.permanentItems()) {
            ItemSnapshot s;
            s.identity = item.get();
            s.name = item->itemName();
            s.description = item->itemDescription();
            s.link = item->itemLink();
            s.wptSym = item->wptSym();
            s.wptType = item->wptType();
            s.type = item->itemType();
            s.color = item->itemColor();
            s.visible = item->visible();
            s.selection = item->itemSelection().ranges();
            s.elements = item->XMLElements();
            s.points.reserve(item->itemPoints().size());
            for (const auto& point : item->itemPoints()) {
                PointSnapshot p;
                p.identity = point.get();
                p.longitude = point->longitude();
                p.latitude = point->latitude();
                if (!std::isnan(point->elevation()))
                    p.elevation = point->elevation();
                p.time = point->time();
                p.elements = point->XMLElements();
                s.points.push_back(p);
            }
            snapshot.items.push_back(std::move(s));
        }
        return snapshot;
    }
};

// A short account for failure messages: names, colours, selections and point counts.
inline void PrintTo(const DocumentSnapshot& snapshot, std::ostream* os) {
    *os << "{";
    for (const auto& item : snapshot.items) {
        *os << " [" << item.name << " " << item.identity << " "
            << ItemColor::stringFromItemColor(item.color).value_or("-") << " sel";
        for (const auto& r : item.selection)
            *os << " " << stringFromRange(r);
        *os << " " << item.points.size() << " pts]";
    }
    *os << " }";
}

} // namespace wend::test
