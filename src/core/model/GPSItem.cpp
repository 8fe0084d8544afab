#include "core/model/GPSItem.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <iterator>
#include <utility>

namespace wend {

std::string_view textOfItemType(GPSItemType type) {
    switch (type) {
    case GPSItemType::Unknown:
        return "Unknown";
    case GPSItemType::Track:
        return "Track";
    case GPSItemType::Route:
        return "Route";
    case GPSItemType::Waypoint:
        return "Waypoint";
    }
    return {};
}

template <typename T, typename Apply> void GPSItem::announce(ModelKey key, T oldValue, Apply apply) {
    if (!m_observer)
        return;
    auto self = weak_from_this().lock();
    ModelChange change{key, this, nullptr, {}};
    if (self)
        change.restoreOldValue = [self, old = std::move(oldValue), apply]() { apply(*self, old); };
    m_observer->modelDidChange(change);
}

std::shared_ptr<GPSItem> GPSItem::item() { return std::make_shared<GPSItem>(); }

std::shared_ptr<GPSItem> GPSItem::itemWithName(std::string_view name, GPSItemType type, PointList points,
                                               std::string_view link, std::string_view description,
                                               std::string_view wptSym, std::string_view wptType,
                                               std::optional<ItemColor> color, bool visible,
                                               const Selection& selection, XMLElementList xmlElements) {
    auto item = std::make_shared<GPSItem>();
    item->m_xmlElements = std::move(xmlElements);
    item->setItemName(name);
    item->setItemType(type);
    item->setItemPoints(std::move(points));
    item->setItemLink(link);
    item->setItemDescription(description);
    item->setWptSym(wptSym);
    item->setWptType(wptType);
    item->setItemColor(color);
    item->setVisible(visible);
    item->setItemSelection(selection);
    return item;
}

void GPSItem::setItemType(GPSItemType type) {
    auto old = m_itemType;
    m_itemType = type;
    announce(ModelKey::ItemType, old, [](GPSItem& i, GPSItemType v) { i.setItemType(v); });
}

void GPSItem::setItemName(std::string_view name) {
    // The new text is made before the old one moves out: `name` may view the old one.
    auto old =
        std::exchange(m_itemName, name.empty() ? std::string(kDefaultName) : std::string(name));
    announce(ModelKey::ItemName, std::move(old), [](GPSItem& i, const std::string& v) { i.setItemName(v); });
}

void GPSItem::setItemDescription(std::string_view description) {
    auto old = std::exchange(m_itemDescription, std::string(description));
    announce(ModelKey::ItemDescription, std::move(old),
             [](GPSItem& i, const std::string& v) { i.setItemDescription(v); });
}

void GPSItem::setItemLink(std::string_view link) {
    auto old = std::exchange(m_itemLink, std::string(link));
    announce(ModelKey::ItemLink, std::move(old), [](GPSItem& i, const std::string& v) { i.setItemLink(v); });
}

void GPSItem::setWptSym(std::string_view symbol) {
    auto old = std::exchange(m_wptSym, std::string(symbol));
    announce(ModelKey::WptSym, std::move(old), [](GPSItem& i, const std::string& v) { i.setWptSym(v); });
}

void GPSItem::setWptType(std::string_view type) {
    auto old = std::exchange(m_wptType, std::string(type));
    announce(ModelKey::WptType, std::move(old), [](GPSItem& i, const std::string& v) { i.setWptType(v); });
}

void GPSItem::setItemPoints(PointList points) {
    PointList old = std::exchange(m_itemPoints, std::move(points));
    ReplacedPoints replaced;
    if (m_observer) {
        // Only the stretch between the common ends is kept: Undo puts it back into the list
        // it finds then, which is this one again since every later change is undone first.
        const std::size_t shorter = std::min(old.size(), m_itemPoints.size());
        const auto oldPrefixEnd =
            std::mismatch(old.begin(), old.begin() + shorter, m_itemPoints.begin()).first;
        const auto prefix = static_cast<std::size_t>(oldPrefixEnd - old.begin());
        const auto oldSuffixEnd =
            std::mismatch(old.rbegin(),
                          old.rbegin() + static_cast<std::ptrdiff_t>(shorter - prefix),
                          m_itemPoints.rbegin())
                .first;
        const auto suffix = static_cast<std::size_t>(oldSuffixEnd - old.rbegin());
        replaced = {prefix, m_itemPoints.size() - prefix - suffix,
                    PointList(std::make_move_iterator(oldPrefixEnd),
                              std::make_move_iterator(oldSuffixEnd.base()))};
    }
    didReplacePoints(std::move(replaced));
}

void GPSItem::replaceItemPoints(std::size_t location, std::size_t count, PointList replacement) {
    location = std::min(location, m_itemPoints.size());
    count = std::min(count, m_itemPoints.size() - location);
    const auto first = m_itemPoints.begin() + static_cast<std::ptrdiff_t>(location);
    const auto last = first + static_cast<std::ptrdiff_t>(count);
    ReplacedPoints replaced{
        location, replacement.size(),
        PointList(std::make_move_iterator(first), std::make_move_iterator(last))};
    // Overwrite what both stretches share, then insert or erase the difference.
    const auto shared = static_cast<std::ptrdiff_t>(std::min(count, replacement.size()));
    const auto sharedEnd = std::move(replacement.begin(), replacement.begin() + shared, first);
    if (replacement.size() > count)
        m_itemPoints.insert(sharedEnd, std::make_move_iterator(replacement.begin() + shared),
                            std::make_move_iterator(replacement.end()));
    else
        m_itemPoints.erase(sharedEnd, last);
    didReplacePoints(std::move(replaced));
}

std::uint64_t GPSItem::nextPointsRevision() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

void GPSItem::didReplacePoints(ReplacedPoints replaced) {
    m_pointsRevision = nextPointsRevision();
    // The restricted selection is announced before the points, so that undoing (newest first)
    // puts the points back before the selection that needs them. A selection whose range still
    // fits needs no restricting, which spares a copy of its ranges per edit.
    if (m_itemSelection.validSelectionRange() != pointIndexRange())
        updateValidSelectionRange();
    announce(ModelKey::ItemPoints, std::move(replaced), [](GPSItem& i, const ReplacedPoints& r) {
        i.replaceItemPoints(r.location, r.count, r.points);
    });
}

void GPSItem::setItemColor(std::optional<ItemColor> color) {
    auto old = m_itemColor;
    m_itemColor = color;
    announce(ModelKey::ItemColor, old, [](GPSItem& i, const std::optional<ItemColor>& v) { i.setItemColor(v); });
}

void GPSItem::setVisible(bool visible) {
    bool old = m_visible;
    m_visible = visible;
    announce(ModelKey::Visible, old, [](GPSItem& i, bool v) { i.setVisible(v); });
}

void GPSItem::setItemSelection(const Selection& selection) {
    Selection restricted = selection.selectionByChangingValidSelectionRange(pointIndexRange());
    if (restricted == m_itemSelection)
        return; // nothing changes; keeps undo free of empty selection steps
    auto old = std::move(m_itemSelection);
    m_itemSelection = std::move(restricted);
    announce(ModelKey::ItemSelection, std::move(old),
             [](GPSItem& i, const Selection& v) { i.setItemSelection(v); });
}

void GPSItem::updateValidSelectionRange() { setItemSelection(m_itemSelection); }

void GPSItem::setXMLElements(XMLElementList elements) {
    auto old = std::move(m_xmlElements);
    m_xmlElements = std::move(elements);
    announce(ModelKey::XMLElements, std::move(old),
             [](GPSItem& i, const XMLElementList& v) { i.setXMLElements(v); });
}

std::optional<Instant> GPSItem::startDate() const {
    return m_itemPoints.empty() ? std::nullopt : m_itemPoints.front()->time();
}

std::optional<Instant> GPSItem::finishDate() const {
    return m_itemPoints.empty() ? std::nullopt : m_itemPoints.back()->time();
}

IndexRange GPSItem::pointIndexRange() const {
    // With no points the length wraps to the largest value, which selections accept.
    return IndexRange{0, static_cast<std::uint64_t>(m_itemPoints.size()) - 1};
}

ItemColor GPSItem::itemSelectionColor() const {
    // An item without colour reads as all-zero components (so the result is invisible).
    ItemColor base = m_itemColor.value_or(ItemColor{0, 0, 0, 0});
    return ItemColor::fromHSBA(base.hue, base.saturation + 0.15, base.brightness + 0.325, base.alpha);
}

std::shared_ptr<GPSItem> GPSItem::copy() const {
    return itemWithName(m_itemName, m_itemType, m_itemPoints, m_itemLink, m_itemDescription, m_wptSym, m_wptType,
                        m_itemColor, m_visible, m_itemSelection, m_xmlElements);
}

std::string GPSItem::description() const {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "<GPSItem: %p; ", static_cast<const void*>(this));
    return std::string(buffer) + std::string(textOfItemType(m_itemType)) + " \"" + m_itemName + "\">";
}

} // namespace wend
