#pragma once

#include "core/document/ItemMutatorDialog.h"
#include "core/processing/UnitFormatter.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace wend {

class Preferences;

// The waypoint editor: edits one selected waypoint (its descriptive fields and its single
// point) on a copy, so the document changes only on Done, as one undo step "Edit Waypoint"
// (WendDocument::mutateItemsUsingController). The Qt layer overrides runModal(), shows the
// fields from the accessors and calls the setters as the user edits.
class WaypointEditor : public ItemMutatorDialog {
public:
    static constexpr std::string_view kActionName = "Edit Waypoint";
    // The window grows by the height of the additional fields plus this when they appear.
    static constexpr double kAdditionalFieldsExtraHeight = 57;

    // The formatter gives the locale of the elevation text; its measurement system follows
    // the MeasurementSystemKey preference at every use.
    explicit WaypointEditor(Preferences& preferences, UnitFormatter formatter = UnitFormatter());

    // Runs the editor on the document (offered with exactly one selected item, a waypoint);
    // true when the user confirmed.
    bool editWaypoint(WendDocument& document);

    // The last waypoint among the selected items (of the items handed in), or null.
    GPSItemPtr lastSelectedWaypoint() const;
    // The copy being edited (null outside a run or without a waypoint); its point list holds
    // copies of the waypoint's points.
    const GPSItemPtr& waypoint() const { return m_waypoint; }
    void setWaypoint(const GPSItemPtr& waypoint);
    // The waypoint's position, or null.
    GPSPointPtr point() const;

    ItemList mutatedItems() override;

    // ---- fields ---------------------------------------------------------------------------
    void setName(std::string_view name);
    void setDescription(std::string_view description);
    void setLink(std::string_view link);
    void setSymbol(std::string_view symbol);
    void setWaypointType(std::string_view type);
    void setLongitude(double longitude);
    void setLatitude(double latitude);
    void setTime(std::optional<Instant> time);

    // The elevation in whole metres or feet ("152 m", "500 ft"); nothing without elevation.
    std::optional<std::string> pointElevation() const;
    // Reads the number at the start of the text in the formatter's locale (feet under the
    // imperial system) and stores it as the elevation. Call it only for text the user edited:
    // the field shows whole units. Returns the text to show now (normalised).
    std::optional<std::string> setPointElevation(std::string_view text);
    // Elevation 0 (the Qt layer then selects the field's text for typing), or none.
    void addElevation();
    void deleteElevation();
    // The current time, or none. The clock can be replaced for tests.
    void addTimestamp();
    void deleteTimestamp();
    void setClock(std::function<Instant()> clock) { m_clock = std::move(clock); }

    // ---- additional fields -----------------------------------------------------------------
    // Whether the additional fields are shown when the window opens.
    bool additionalFieldsShownAtStart() const;
    // After the fields were shown or hidden: remembered for the next run.
    void setAdditionalFieldsShown(bool shown);

protected:
    void prepare() override;

private:
    UnitFormatter formatter() const;

    Preferences& m_preferences;
    UnitFormatter m_formatter;
    GPSItemPtr m_waypoint;
    GPSItemPtr m_original;
    std::function<Instant()> m_clock;
};

} // namespace wend
