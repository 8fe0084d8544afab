#pragma once

#include "core/model/GPSItem.h"
#include "core/profile/ItemProfileSeries.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace wend {

// One item on the profile and where it lies along the two axes.
struct ProfileEntry {
    GPSItemPtr item;
    std::shared_ptr<const ItemProfileSeries> series;
    double distanceOffset = 0;
    double timeOffset = 0;

    double offset(ProfileAxis axis) const {
        return axis == ProfileAxis::Distance ? distanceOffset : timeOffset;
    }
    double length(ProfileAxis axis) const { return series->length(axis); }
    // Where a point of the item lies on the profile's axis.
    double positionOfPoint(ProfileAxis axis, std::size_t index) const;
    // The item's point nearest to a place on the profile's axis (its first or last point for
    // places before or after it).
    std::size_t pointNearest(ProfileAxis axis, double position) const;
};

// A selected stretch of an entry's item, from and to places on the axis.
struct ProfileStretch {
    double from = 0;
    double to = 0;
};

// What the profile shows: the visible tracks and routes of a document, one after the other in
// list order along both axes (each item's distance and elapsed time start where the previous
// item's end), optionally only those that hold a selection.
//
// The series of every track and route is kept between updates: setItems computes again only
// the items whose points changed, and for those only what changed (ItemProfileSeries::rebuild).
// Selection changes cost nothing but choosing the entries again.
class ProfileModel {
public:
    // The document's items (or the items of a running preview) and the namespace declarations
    // of its root, which the extension reader needs.
    void setItems(const ItemList& items, const std::vector<XMLNamespaceDecl>& documentNamespaces);
    // Reads the track point extension of the items' points.
    const TrackPointExtensionReader& extensionReader() const { return *m_reader; }
    // Chooses the entries again after selections changed.
    void selectionDidChange();
    bool selectedItemsOnly() const { return m_selectedItemsOnly; }
    void setSelectedItemsOnly(bool selectedItemsOnly);

    const std::vector<ProfileEntry>& entries() const { return m_entries; }
    bool isEmpty() const { return m_entries.empty(); }
    // The length of all entries along the axis.
    double length(ProfileAxis axis) const;
    // Whether some entry has values of that quantity (the first question about an extension
    // quantity reads the extension of every point shown).
    bool hasValues(ProfileQuantity quantity) const;
    // The entry whose stretch of the axis holds the place; places before the first entry
    // belong to it, places after the last to the last. None without entries.
    std::optional<std::size_t> entryAt(ProfileAxis axis, double position) const;
    // Every selected stretch of the entries' items; a selected single point is a stretch of
    // no length.
    std::vector<ProfileStretch> selectedStretches(ProfileAxis axis) const;
    // Counts up whenever the entries or their series change.
    std::uint64_t generation() const { return m_generation; }

private:
    struct CachedSeries {
        GPSItemPtr item;
        std::shared_ptr<const ItemProfileSeries> series;
    };

    void chooseEntries();

    std::vector<CachedSeries> m_cache; // every track and route of the items, in their order
    std::vector<ProfileEntry> m_entries;
    std::vector<XMLNamespaceDecl> m_documentNamespaces;
    ItemProfileSeries::Reader m_reader = std::make_shared<const TrackPointExtensionReader>();
    bool m_selectedItemsOnly = false;
    std::uint64_t m_generation = 0;
};

} // namespace wend
