#pragma once

#include "core/model/GPSPoint.h"
#include "core/model/IndexRange.h"
#include "core/model/ItemColor.h"
#include "core/model/ModelObserver.h"
#include "core/model/Selection.h"
#include "core/model/XMLDataContainer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wend {

enum class GPSItemType : std::uint32_t { Unknown = 0, Track = 1, Route = 2, Waypoint = 3 };

// "Track", "Route", "Waypoint", "Unknown"; empty for values beyond the known types.
std::string_view textOfItemType(GPSItemType type);

// One entry of a document: a track, a route or a waypoint (whose point list holds exactly its
// position). Points are shared with copies of the item; every property is replaced whole
// through its setter, which announces the change to the observer (the document).
class GPSItem : public XMLDataContainer, public std::enable_shared_from_this<GPSItem> {
public:
    static constexpr std::string_view kDefaultName = "Untitled Track";

    GPSItem() = default;
    GPSItem(const GPSItem&) = delete;
    GPSItem& operator=(const GPSItem&) = delete;

    static std::shared_ptr<GPSItem> item();
    static std::shared_ptr<GPSItem> itemWithName(std::string_view name, GPSItemType type, PointList points,
                                                 std::string_view link, std::string_view description,
                                                 std::string_view wptSym, std::string_view wptType,
                                                 std::optional<ItemColor> color, bool visible,
                                                 const Selection& selection, XMLElementList xmlElements);

    GPSItemType itemType() const { return m_itemType; }
    void setItemType(GPSItemType type);
    const std::string& itemName() const { return m_itemName; }
    // An empty name stores "Untitled Track" (for every item type).
    void setItemName(std::string_view name);
    const std::string& itemDescription() const { return m_itemDescription; }
    void setItemDescription(std::string_view description);
    const std::string& itemLink() const { return m_itemLink; }
    void setItemLink(std::string_view link);
    const std::string& wptSym() const { return m_wptSym; }
    void setWptSym(std::string_view symbol);
    const std::string& wptType() const { return m_wptType; }
    void setWptType(std::string_view type);

    const PointList& itemPoints() const { return m_itemPoints; }
    // Stores the list (the points themselves are shared), then restricts the selection to
    // the new point range. The change is announced as the stretch that differs from the old
    // list (points compared by identity), so undo keeps that stretch and not the whole list.
    void setItemPoints(PointList points);
    // Puts `replacement` in place of the `count` points from `location` on (both cut to the
    // list), then restricts the selection like setItemPoints. Costs what the two stretches
    // cost, not what the list costs: the way to change a few points of a long track.
    void replaceItemPoints(std::size_t location, std::size_t count, PointList replacement);
    // Differs after every change of the point list or of its points, and between items: what
    // was derived from the points (a distance, a duration) is current while it is the same.
    std::uint64_t pointsRevision() const { return m_pointsRevision; }
    // For a tool that sets a point of its own in place, without replacing it.
    void pointsDidChangeInPlace() { m_pointsRevision = nextPointsRevision(); }

    const std::optional<ItemColor>& itemColor() const { return m_itemColor; }
    void setItemColor(std::optional<ItemColor> color);

    bool visible() const { return m_visible; }
    void setVisible(bool visible);

    const Selection& itemSelection() const { return m_itemSelection; }
    // Stores the selection restricted to the item's point range.
    void setItemSelection(const Selection& selection);
    void updateValidSelectionRange();

    void setXMLElements(XMLElementList elements);

    // Derived values.
    std::optional<Instant> startDate() const;
    std::optional<Instant> finishDate() const;
    // Location 0, length count - 1 (the largest value when there are no points).
    IndexRange pointIndexRange() const;
    // A hidden item is still drawn while some of its points are selected.
    bool temporarilyVisible() const { return !m_visible && !m_itemSelection.isEmpty(); }
    // The colour of selected points: brighter and more saturated.
    ItemColor itemSelectionColor() const;

    // A new item with the same properties, its own point list holding the same point
    // objects, and the selection restricted to its own range.
    std::shared_ptr<GPSItem> copy() const;
    std::string description() const;

    void setObserver(ModelObserver* observer) { m_observer = observer; }
    ModelObserver* observer() const { return m_observer; }

private:
    // What a change of the point list replaced: `points` stood where the `count` points from
    // `location` on stand now.
    struct ReplacedPoints {
        std::size_t location = 0;
        std::size_t count = 0;
        PointList points;
    };

    static std::uint64_t nextPointsRevision();
    template <typename T, typename Apply> void announce(ModelKey key, T oldValue, Apply apply);
    void didReplacePoints(ReplacedPoints replaced);

    GPSItemType m_itemType = GPSItemType::Track;
    std::string m_itemName{kDefaultName};
    std::string m_itemDescription;
    std::string m_itemLink;
    std::string m_wptSym;
    std::string m_wptType;
    PointList m_itemPoints;
    std::uint64_t m_pointsRevision = nextPointsRevision();
    std::optional<ItemColor> m_itemColor;
    bool m_visible = true;
    Selection m_itemSelection{pointIndexRange(), {}};
    ModelObserver* m_observer = nullptr;
};

using GPSItemPtr = std::shared_ptr<GPSItem>;
using ItemList = std::vector<GPSItemPtr>;

} // namespace wend
