#include "core/document/WaypointEditor.h"

#include "core/base/LenientNumber.h"
#include "core/document/Preferences.h"
#include "core/document/TrackCommands.h"
#include "core/document/WendDocument.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace wend {

namespace {

// The characters the formatter puts between the leading "1" of a number and its next digit.
std::string separatorAfterLeadingOne(const std::string& formatted) {
    auto start = formatted.find('1');
    if (start == std::string::npos)
        return {};
    auto end = start + 1;
    while (end < formatted.size() && !std::isdigit(static_cast<unsigned char>(formatted[end])))
        ++end;
    return formatted.substr(start + 1, end - start - 1);
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    if (from.empty())
        return;
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// The text as the formatter writes numbers: its grouping marks are dropped and its decimal
// mark read as one, so the field's own text reads back as the value it shows.
double readLocalizedNumber(std::string_view text, const UnitFormatter& formatter) {
    const std::string grouping = separatorAfterLeadingOne(formatter.formattedInt(1000000));
    const std::string decimal = separatorAfterLeadingOne(formatter.formattedDouble(1.5));
    std::string normalized(text);
    if (!grouping.empty() && grouping != decimal)
        replaceAll(normalized, grouping, "");
    if (!decimal.empty() && decimal != ".")
        replaceAll(normalized, decimal, ".");
    return readLenientNumber(normalized);
}

} // namespace

WaypointEditor::WaypointEditor(Preferences& preferences, UnitFormatter formatter)
    : m_preferences(preferences), m_formatter(std::move(formatter)),
      m_clock([] { return Instant::now(); }) {}

bool WaypointEditor::editWaypoint(WendDocument& document) {
    bool done = TrackCommands::editWaypoint(document, *this);
    m_waypoint.reset();
    m_original.reset();
    return done;
}

GPSItemPtr WaypointEditor::lastSelectedWaypoint() const {
    GPSItemPtr last;
    for (const auto& item : selectedItems())
        if (item->itemType() == GPSItemType::Waypoint)
            last = item;
    return last;
}

void WaypointEditor::prepare() {
    m_original = lastSelectedWaypoint();
    setWaypoint(m_original);
}

void WaypointEditor::setWaypoint(const GPSItemPtr& waypoint) {
    if (!waypoint) {
        m_waypoint.reset();
        return;
    }
    m_waypoint = waypoint->copy();
    PointList points;
    for (const auto& point : waypoint->itemPoints())
        points.push_back(point->copy());
    m_waypoint->setItemPoints(std::move(points));
}

GPSPointPtr WaypointEditor::point() const {
    if (!m_waypoint || m_waypoint->itemPoints().empty())
        return nullptr;
    return m_waypoint->itemPoints().front();
}

ItemList WaypointEditor::mutatedItems() {
    ItemList result = originalItems();
    if (!m_waypoint || !m_original)
        return result;
    auto it = std::find(result.begin(), result.end(), m_original);
    if (it != result.end())
        *it = m_waypoint;
    return result;
}

// ---- fields
// ---------------------------------------------------------------------------------------

void WaypointEditor::setName(std::string_view name) {
    if (m_waypoint)
        m_waypoint->setItemName(name);
}

void WaypointEditor::setDescription(std::string_view description) {
    if (m_waypoint)
        m_waypoint->setItemDescription(description);
}

void WaypointEditor::setLink(std::string_view link) {
    if (m_waypoint)
        m_waypoint->setItemLink(link);
}

void WaypointEditor::setSymbol(std::string_view symbol) {
    if (m_waypoint)
        m_waypoint->setWptSym(symbol);
}

void WaypointEditor::setWaypointType(std::string_view type) {
    if (m_waypoint)
        m_waypoint->setWptType(type);
}

void WaypointEditor::setLongitude(double longitude) {
    if (auto p = point())
        p->setLongitude(longitude);
}

void WaypointEditor::setLatitude(double latitude) {
    if (auto p = point())
        p->setLatitude(latitude);
}

void WaypointEditor::setTime(std::optional<Instant> time) {
    if (auto p = point())
        p->setTime(time);
}

UnitFormatter WaypointEditor::formatter() const {
    UnitFormatter formatter = m_formatter;
    formatter.setMeasurementSystem(
        measurementSystemFromPreference(m_preferences.measurementSystem()));
    return formatter;
}

std::optional<std::string> WaypointEditor::pointElevation() const {
    auto p = point();
    if (!p || std::isnan(p->elevation()))
        return std::nullopt;
    return formatter().elevationStringForMetres(p->elevation());
}

std::optional<std::string> WaypointEditor::setPointElevation(std::string_view text) {
    auto p = point();
    if (!p)
        return std::nullopt;
    const UnitFormatter units = formatter();
    double value = readLocalizedNumber(text, units);
    if (units.measurementSystem() == MeasurementSystem::Imperial)
        value /= UnitFormatter::kFeetPerMetre;
    p->setElevation(value);
    return pointElevation();
}

void WaypointEditor::addElevation() {
    if (auto p = point())
        p->setElevation(0);
}

void WaypointEditor::deleteElevation() {
    if (auto p = point())
        p->setElevation(GPSPoint::NaN);
}

void WaypointEditor::addTimestamp() {
    setTime(m_clock());
}

void WaypointEditor::deleteTimestamp() {
    setTime(std::nullopt);
}

// ---- additional fields -------------------------------------------------------------------------

bool WaypointEditor::additionalFieldsShownAtStart() const {
    return m_preferences.showAdditionalWaypointFields();
}

void WaypointEditor::setAdditionalFieldsShown(bool shown) {
    m_preferences.setShowAdditionalWaypointFields(shown);
}

} // namespace wend
