#pragma once

#include "core/document/StatisticsSnapshot.h"
#include "core/model/GPSItem.h"
#include "core/processing/UnitFormatter.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wend {

class Clipboard;
class WendDocument;

// What one row of the tracks list shows for its item.
struct TracksListRow {
    std::optional<ItemColor> color; // the swatch; none for an item without colour
    std::string name;               // the editable column
    GPSItemType type = GPSItemType::Track;
    std::string typeText; // "Track", "Route", "Waypoint", "Unknown"
    std::size_t pointCount = 0;
    std::string pointCountText;
    double distance = std::numeric_limits<double>::quiet_NaN(); // metres; NaN for waypoints
    std::string distanceText;                                   // empty for waypoints
    double duration = std::numeric_limits<double>::quiet_NaN(); // seconds; NaN without times
    std::string durationText;                                   // empty for waypoints
    bool visible = true;
};

// The check state of an entry of the item-type submenu.
enum class MenuItemState { Off, On, Mixed };

struct ItemTypeMenuState {
    bool enabled = true; // the submenu: off when some selected item is a waypoint
    MenuItemState track = MenuItemState::Off;
    MenuItemState route = MenuItemState::Off;
};

// The tracks list of a document window: one row per item of the document, in document order.
// Selecting rows selects whole items, the name column renames, the context menu copies,
// deletes and sets the item type, and rows are reordered by dragging (also between windows).
// Create one per document and keep it for the document's lifetime: it holds the identity
// text that tells a drop inside the same list from a drop coming from another window.
class TracksList {
public:
    using IndexList = std::vector<std::size_t>;

    enum Column : int {
        ColorColumn = 0,
        NameColumn = 1,
        TypeColumn = 2,
        PointsColumn = 3,
        DistanceColumn = 4,
        DurationColumn = 5,
        ColumnCount = 6
    };
    // "", "Name", "Type", "Points", "Distance", "Duration"; empty for other numbers.
    static std::string_view columnTitle(int column);

    static constexpr std::string_view kDragType = "GPSItemDragType";
    static constexpr std::string_view kMoveActionName = "Move Tracks";
    static constexpr std::string_view kChangeTypeActionName = "Change Item Type";

    // Table set-up: space between cells, in points.
    static constexpr double kIntercellSpacingWidth = 3;
    static constexpr double kIntercellSpacingHeight = 16;
    // Split views: neither the list nor the map may become narrower than these.
    static constexpr double kMinimumListWidth = 265;
    static constexpr double kMinimumMapWidth = 250;

    // The formatter gives the locale of the distance texts; its measurement system is
    // replaced by the preference's at every use.
    explicit TracksList(WendDocument& document, UnitFormatter formatter = UnitFormatter());

    WendDocument& document() const { return m_document; }

    // ---- rows -------------------------------------------------------------------------
    // ComputeMissing walks the points of each item whose figures are not known for its points
    // as they are; KnownOnly shows the figures last known for the item instead (none for an
    // item never walked), for the figures to come from a walk on another thread.
    enum class Figures { ComputeMissing, KnownOnly };

    std::size_t rowCount() const;
    // An item's distance and duration are computed again only when its points changed since
    // they were last read (a walk over its points): an edit of one track of many costs the
    // walk over that track only.
    TracksListRow row(std::size_t index) const;
    std::vector<TracksListRow> rows(Figures figures = Figures::ComputeMissing) const;
    TracksListRow rowForItem(const GPSItem& item,
                             Figures figures = Figures::ComputeMissing) const;
    // The points of the items whose figures are not known for their points as they are.
    std::size_t pointsWithoutFigures() const;
    // Takes the figures of the items whose points are still those the figures were found for.
    void addKnownFigures(const StatisticsSnapshot::KnownFigures& known);
    GPSItemPtr itemAtRow(std::size_t index) const;

    // ---- selection --------------------------------------------------------------------
    IndexList selectedRows() const;
    // Selects whole items: rows that stay chosen keep their partial selection.
    void selectRows(const IndexList& rows);

    // ---- context menu and editing -----------------------------------------------------
    // Assigns the name through the item's setter: undoable, without an action name of its
    // own. False, and nothing recorded, for a row that does not exist or an unchanged name.
    bool renameRow(std::size_t row, std::string_view name);
    // Clears the clipboard and writes a document of the selected rows' items (whole items,
    // all points, no point selection). False without a selected row.
    bool copySelectedRows(Clipboard& clipboard);
    // Removes the selected rows' items; one undo step without an action name of its own.
    bool deleteSelectedRows();

    ItemTypeMenuState itemTypeMenuState() const;
    // "Track" gives tracks, any other title routes; one undo step "Change Item Type". Nothing
    // happens without a selection or while the submenu is disabled (a waypoint is selected).
    bool setTypeOfSelectedRows(std::string_view title);
    bool setTypeOfSelectedRows(GPSItemType type);

    // ---- drag and drop ----------------------------------------------------------------
    // Differs between open documents (also of different processes) and stays the same for
    // the lifetime of this list.
    const std::string& documentIdentity() const { return m_identity; }
    // The payload of type "GPSItemDragType": the row indexes, the archived items at those
    // rows and the identity of this document. Rows that do not exist are left out.
    std::vector<std::uint8_t> dragPayload(const IndexList& rows) const;
    // Every drop falls between rows, above the proposed row; a drop below the last row or
    // outside any row goes to the end.
    static std::size_t dropRowForProposedRow(std::optional<std::size_t> proposedRow,
                                             std::size_t rowCount);
    // Inserts the payload's items at the row as one undo step "Move Tracks"; a payload from
    // this document moves its rows. False, and nothing changes, for an unreadable payload.
    bool acceptDrop(std::span<const std::uint8_t> payload, std::size_t row);

    // ---- split views ------------------------------------------------------------------
    static double constrainMinCoordinate(double proposedMinimum) {
        return proposedMinimum + kMinimumListWidth;
    }
    static double constrainMaxCoordinate(double proposedMaximum) {
        return proposedMaximum - kMinimumMapWidth;
    }
    // After a window resize: whether the main split view's divider is moved back to its
    // smallest allowed position (the list is narrower than allowed, or absent).
    static bool shouldResetMainDivider(std::optional<double> listWidth) {
        return !listWidth || *listWidth < kMinimumListWidth;
    }

private:
    // The figures of one item, kept while its points stay (the outlier preference changes
    // neither the distance nor the duration).
    struct ItemFigures {
        std::uint64_t pointsRevision = 0;
        double distance = 0;
        double duration = std::numeric_limits<double>::quiet_NaN();

        // 0 and no duration for an item without points.
        static ItemFigures of(std::uint64_t pointsRevision,
                              const std::optional<TrackStatistics>& statistics) {
            if (!statistics)
                return {pointsRevision};
            return {pointsRevision, statistics->totalDistance, statistics->totalDuration};
        }
    };

    ItemList itemsAtRows(const IndexList& rows) const;
    bool hasFiguresFor(const GPSItem& item) const;
    // Nothing for an item never walked, with KnownOnly.
    const ItemFigures* figuresOf(const GPSItem& item, Figures figures) const;

    WendDocument& m_document;
    UnitFormatter m_formatter;
    std::string m_identity;
    mutable std::unordered_map<const GPSItem*, ItemFigures> m_figures;
};

} // namespace wend
