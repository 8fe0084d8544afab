#include "core/profile/ProfileModel.h"

#include <algorithm>
#include <unordered_map>

namespace wend {

namespace {
bool isProfiled(const GPSItem& item) {
    return item.itemType() == GPSItemType::Track || item.itemType() == GPSItemType::Route;
}
} // namespace

double ProfileEntry::positionOfPoint(ProfileAxis axis, std::size_t index) const {
    const auto along = series->positions(axis);
    if (along.empty())
        return offset(axis);
    return offset(axis) + along[std::min(index, along.size() - 1)];
}

std::size_t ProfileEntry::pointNearest(ProfileAxis axis, double position) const {
    const auto along = series->positions(axis);
    if (along.empty())
        return 0;
    const double local = position - offset(axis);
    const auto after = std::lower_bound(along.begin(), along.end(), local);
    if (after == along.begin())
        return 0;
    if (after == along.end())
        return along.size() - 1;
    const auto before = after - 1;
    // Of several points at the same place (a stop), the first.
    const auto nearest = local - *before <= *after - local ? before : after;
    return static_cast<std::size_t>(std::lower_bound(along.begin(), along.end(), *nearest) -
                                    along.begin());
}

void ProfileModel::setItems(const ItemList& items,
                            const std::vector<XMLNamespaceDecl>& documentNamespaces) {
    // Other root declarations change what the extension elements mean: read them all again.
    if (documentNamespaces != m_documentNamespaces) {
        m_documentNamespaces = documentNamespaces;
        m_reader = std::make_shared<const TrackPointExtensionReader>(documentNamespaces);
        m_cache.clear();
    }
    std::unordered_map<const GPSItem*, std::size_t> cachedIndex;
    for (std::size_t i = 0; i < m_cache.size(); ++i)
        cachedIndex.emplace(m_cache[i].item.get(), i);

    std::vector<CachedSeries> cache;
    for (const auto& item : items) {
        if (!isProfiled(*item))
            continue;
        // The same item, else the one at the same place: a preview's copies share most points
        // with the items they copy.
        const CachedSeries* previous = nullptr;
        if (const auto found = cachedIndex.find(item.get()); found != cachedIndex.end())
            previous = &m_cache[found->second];
        else if (cache.size() < m_cache.size())
            previous = &m_cache[cache.size()];
        std::shared_ptr<const ItemProfileSeries> series;
        if (previous && previous->series->holdsPoints(item->itemPoints()))
            series = previous->series;
        else if (previous)
            series = ItemProfileSeries::rebuild(*previous->series, item->itemPoints(), m_reader);
        else
            series = ItemProfileSeries::build(item->itemPoints(), m_reader);
        cache.push_back({item, std::move(series)});
    }
    m_cache = std::move(cache);
    chooseEntries();
}

void ProfileModel::selectionDidChange() {
    if (m_selectedItemsOnly)
        chooseEntries();
}

void ProfileModel::setSelectedItemsOnly(bool selectedItemsOnly) {
    if (selectedItemsOnly == m_selectedItemsOnly)
        return;
    m_selectedItemsOnly = selectedItemsOnly;
    chooseEntries();
}

void ProfileModel::chooseEntries() {
    std::vector<ProfileEntry> entries;
    double distance = 0;
    double time = 0;
    for (const auto& cached : m_cache) {
        const GPSItem& item = *cached.item;
        if (!item.visible() && !item.temporarilyVisible())
            continue;
        if (m_selectedItemsOnly && item.itemSelection().isEmpty())
            continue;
        if (cached.series->pointCount() == 0)
            continue;
        entries.push_back({cached.item, cached.series, distance, time});
        distance += cached.series->length(ProfileAxis::Distance);
        time += cached.series->length(ProfileAxis::Time);
    }
    m_entries = std::move(entries);
    ++m_generation;
}

double ProfileModel::length(ProfileAxis axis) const {
    if (m_entries.empty())
        return 0;
    return m_entries.back().offset(axis) + m_entries.back().length(axis);
}

bool ProfileModel::hasValues(ProfileQuantity quantity) const {
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [quantity](const ProfileEntry& e) { return e.series->hasValues(quantity); });
}

std::optional<std::size_t> ProfileModel::entryAt(ProfileAxis axis, double position) const {
    if (m_entries.empty())
        return std::nullopt;
    // The first entry reaching past the place; entries of no length never hold one.
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const ProfileEntry& entry = m_entries[i];
        if (position < entry.offset(axis) + entry.length(axis) && entry.length(axis) > 0)
            return i;
    }
    for (std::size_t i = m_entries.size(); i-- > 0;)
        if (m_entries[i].length(axis) > 0)
            return i;
    return std::size_t{0};
}

std::vector<ProfileStretch> ProfileModel::selectedStretches(ProfileAxis axis) const {
    std::vector<ProfileStretch> stretches;
    for (const ProfileEntry& entry : m_entries)
        for (const IndexRange& range : entry.item->itemSelection().ranges())
            stretches.push_back({entry.positionOfPoint(axis, range.location),
                                 entry.positionOfPoint(axis, range.end())});
    return stretches;
}

} // namespace wend
