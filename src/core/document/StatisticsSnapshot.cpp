#include "core/document/StatisticsSnapshot.h"

#include "core/document/WendDocument.h"

#include <algorithm>

namespace wend {

namespace {

// The derived values of the one point selected, counted from the start of its own item.
PointDerivedValues derivedValuesOfSelectedPoint(const WendDocument& document,
                                                DerivedValuesWalk* walk) {
    for (const auto& item : document.selectedItems())
        for (const auto& range : item->itemSelection().ranges())
            if (range.location < item->itemPoints().size())
                return walk ? walk->valuesOf(*item, range.location)
                            : derivedValuesOfPoint(*item, range.location);
    return {};
}

} // namespace

StatisticsSnapshot::StatisticsSnapshot(const WendDocument& document, UnitFormatter formatter,
                                       const KnownFigures& known, std::size_t walkLimit,
                                       Scope scope, DerivedValuesWalk* pointWalk)
    : m_document(&document), m_statisticsRevision(document.statisticsRevision()),
      m_formatter(std::move(formatter)) {
    const Preferences& preferences = document.preferences();
    m_formatter.setMeasurementSystem(
        measurementSystemFromPreference(preferences.measurementSystem()));
    m_ignoreOutliers = preferences.ignoreOutliersWhenCalculatingStatistics();

    const ItemList stretches =
        scope == Scope::WholeItems ? ItemList() : document.itemsForSelectedPoints();
    m_wholeItems = stretches.empty();
    const ItemList& items = m_wholeItems ? document.items() : stretches;
    // Nothing to walk: the message, or a single point's details (a walk along its own item up
    // to it, at most DerivedValuesWalk::kStride points with a walk kept from before).
    if (items.empty() || (items.size() == 1 && items.front() && items.front()->itemPoints().size() == 1)) {
        m_rows = StatisticsRows::selectionStatisticsForTracks(
            items, m_formatter, m_ignoreOutliers,
            m_wholeItems ? PointDerivedValues() : derivedValuesOfSelectedPoint(document, pointWalk));
        return;
    }
    const bool knownApply = known.ignoreOutliers == m_ignoreOutliers;
    for (const auto& item : items) {
        if (!item)
            continue;
        Entry entry;
        if (!m_wholeItems) {
            entry.item = item; // made for this snapshot alone
        } else {
            entry.pointsRevision = item->pointsRevision();
            const auto found = knownApply ? known.byPointsRevision.find(entry.pointsRevision)
                                          : known.byPointsRevision.end();
            if (found != known.byPointsRevision.end()) {
                entry.known = true;
                entry.part = StatisticsItemPart::ofItem(*item, found->second);
            } else if (m_pointsToWalk < walkLimit) {
                entry.item = item->copy();
            }
        }
        if (entry.item)
            m_pointsToWalk += entry.item->itemPoints().size();
        m_entries.push_back(std::move(entry));
    }
}

void StatisticsSnapshot::compute() {
    if (!m_rows.empty())
        return;
    std::vector<StatisticsItemPart> parts;
    parts.reserve(m_entries.size());
    for (Entry& entry : m_entries) {
        if (entry.item && !entry.known) {
            entry.part = StatisticsItemPart::ofItem(
                *entry.item, basicStatisticsIgnoringOutliers(*entry.item, m_ignoreOutliers));
            entry.known = true;
        }
        parts.push_back(entry.part);
    }
    m_pointsToWalk = 0;
    const bool complete =
        std::all_of(m_entries.begin(), m_entries.end(), [](const Entry& e) { return e.known; });
    if (complete)
        m_rows = StatisticsRows::rowsForParts(parts, m_formatter);
}

bool StatisticsSnapshot::isCurrentFor(const WendDocument& document) const {
    return &document == m_document && document.statisticsRevision() == m_statisticsRevision;
}

StatisticsSnapshot::KnownFigures StatisticsSnapshot::knownFigures() const {
    KnownFigures known{m_ignoreOutliers, {}};
    for (const Entry& entry : m_entries)
        if (entry.pointsRevision != 0 && entry.known)
            known.byPointsRevision.emplace(entry.pointsRevision, entry.part.statistics);
    return known;
}

} // namespace wend
