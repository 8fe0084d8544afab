#include "core/document/Preferences.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace wend {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::optional<bool> parseBoolWord(std::string_view text) {
    if (equalsIgnoringCase(text, "true") || equalsIgnoringCase(text, "yes"))
        return true;
    if (equalsIgnoringCase(text, "false") || equalsIgnoringCase(text, "no"))
        return false;
    return std::nullopt;
}

std::optional<double> parseNumber(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    if (text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> integerFromDouble(double value) {
    if (std::isnan(value))
        return std::nullopt;
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(std::trunc(value), kMin, kMax));
}

constexpr std::string_view kEsriImageryURL =
    "https://server.arcgisonline.com/ArcGIS/rest/services/World_Imagery/MapServer/tile/{z}/{y}/{x}";
constexpr std::string_view kEsriImageryAttribution =
    "Tiles \u00A9 Esri \u2014 Source: Esri, Maxar, Earthstar Geographics, and the GIS User "
    "Community";

} // namespace

const PreferenceDefaults& Preferences::registeredDefaults() {
    // Keys that only ever read false (HideErr1…3, HideBetaNotification, ShowEditablePointsList,
    // ShowAdditionalWaypointFields) need no entry.
    static const PreferenceDefaults defaults = {
        {std::string(kTrackSelectionChangesAreUndoableKey), false},
        {std::string(kShowTooltipsKey), true},
        {std::string(kIgnoreOutliersWhenCalculatingStatisticsKey), true},
        {std::string(kMeasurementSystemKey), kMetricSystem},
        {std::string(kSaveGarminDocsKey), true},
        {std::string(kMapTypeKey), std::int32_t{3}},
        {std::string(kShowStatisticsViewKey), true},
        {std::string(kStreetTileURLKey),
         std::string("https://tile.openstreetmap.org/{z}/{x}/{y}.png")},
        {std::string(kStreetTileAttributionKey), std::string("\u00A9 OpenStreetMap contributors")},
        {std::string(kStreetTileMaxZoomKey), std::int32_t{19}},
        {std::string(kSatelliteTileURLKey), std::string(kEsriImageryURL)},
        {std::string(kSatelliteTileAttributionKey), std::string(kEsriImageryAttribution)},
        {std::string(kSatelliteTileMaxZoomKey), std::int32_t{19}},
        {std::string(kHybridTileURLKey), std::string(kEsriImageryURL)},
        {std::string(kHybridLabelsTileURLKey),
         std::string("https://server.arcgisonline.com/ArcGIS/rest/services/Reference/"
                     "World_Boundaries_and_Places/MapServer/tile/{z}/{y}/{x}")},
        {std::string(kHybridTileAttributionKey), std::string(kEsriImageryAttribution)},
        {std::string(kHybridTileMaxZoomKey), std::int32_t{19}},
        {std::string(kTerrainTileURLKey),
         std::string("https://{s}.tile.opentopomap.org/{z}/{x}/{y}.png")},
        {std::string(kTerrainTileAttributionKey),
         std::string("Map data: \u00A9 OpenStreetMap contributors, SRTM | Map style: \u00A9 "
                     "OpenTopoMap (CC-BY-SA)")},
        {std::string(kTerrainTileMaxZoomKey), std::int32_t{17}},
        {std::string(kMapCacheSizeKey), std::int32_t{256}},
    };
    return defaults;
}

Preferences::Preferences() : m_defaults(registeredDefaults()) {}

void Preferences::registerDefaults(const PreferenceDefaults& defaults) {
    for (const auto& [key, value] : defaults)
        m_defaults.insert_or_assign(key, value);
}

std::optional<PreferenceValue> Preferences::defaultValue(std::string_view key) const {
    const auto it = m_defaults.find(key);
    if (it == m_defaults.end())
        return std::nullopt;
    return it->second;
}

bool Preferences::boolForKey(std::string_view key) const {
    if (const auto stored = storedBool(key))
        return *stored;
    const auto fallback = defaultValue(key);
    return fallback ? boolFromValue(*fallback).value_or(false) : false;
}

std::int32_t Preferences::integerForKey(std::string_view key) const {
    if (const auto stored = storedInteger(key))
        return *stored;
    const auto fallback = defaultValue(key);
    return fallback ? integerFromValue(*fallback).value_or(0) : 0;
}

double Preferences::doubleForKey(std::string_view key) const {
    if (const auto stored = storedDouble(key))
        return *stored;
    const auto fallback = defaultValue(key);
    return fallback ? doubleFromValue(*fallback).value_or(0.0) : 0.0;
}

std::string Preferences::stringForKey(std::string_view key) const {
    if (auto stored = storedString(key))
        return std::move(*stored);
    const auto fallback = defaultValue(key);
    return fallback ? stringFromValue(*fallback).value_or(std::string()) : std::string();
}

bool Preferences::trackSelectionChangesAreUndoable() const {
    return boolForKey(kTrackSelectionChangesAreUndoableKey);
}
void Preferences::setTrackSelectionChangesAreUndoable(bool undoable) {
    setBool(kTrackSelectionChangesAreUndoableKey, undoable);
}
bool Preferences::showTooltips() const {
    return boolForKey(kShowTooltipsKey);
}
void Preferences::setShowTooltips(bool show) {
    setBool(kShowTooltipsKey, show);
}
bool Preferences::ignoreOutliersWhenCalculatingStatistics() const {
    return boolForKey(kIgnoreOutliersWhenCalculatingStatisticsKey);
}
void Preferences::setIgnoreOutliersWhenCalculatingStatistics(bool ignore) {
    setBool(kIgnoreOutliersWhenCalculatingStatisticsKey, ignore);
}
std::int32_t Preferences::measurementSystem() const {
    return integerForKey(kMeasurementSystemKey);
}
void Preferences::setMeasurementSystem(std::int32_t system) {
    setInteger(kMeasurementSystemKey, system);
}
bool Preferences::saveGarminFriendlyDocs() const {
    return boolForKey(kSaveGarminDocsKey);
}
void Preferences::setSaveGarminFriendlyDocs(bool save) {
    setBool(kSaveGarminDocsKey, save);
}
std::int32_t Preferences::mapType() const {
    return integerForKey(kMapTypeKey);
}
void Preferences::setMapType(std::int32_t type) {
    setInteger(kMapTypeKey, type);
}
bool Preferences::showStatistics() const {
    return boolForKey(kShowStatisticsViewKey);
}
void Preferences::setShowStatistics(bool show) {
    setBool(kShowStatisticsViewKey, show);
}
bool Preferences::showEditablePointsList() const {
    return boolForKey(kShowEditablePointsListKey);
}
void Preferences::setShowEditablePointsList(bool show) {
    setBool(kShowEditablePointsListKey, show);
}
bool Preferences::showAdditionalWaypointFields() const {
    return boolForKey(kShowAdditionalWaypointFieldsKey);
}
void Preferences::setShowAdditionalWaypointFields(bool show) {
    setBool(kShowAdditionalWaypointFieldsKey, show);
}
std::int32_t Preferences::mapCacheSize() const {
    return std::clamp(integerForKey(kMapCacheSizeKey), 0, kMaximumMapCacheSize);
}
void Preferences::setMapCacheSize(std::int32_t megabytes) {
    setInteger(kMapCacheSizeKey, megabytes);
}

std::optional<bool> Preferences::boolFromValue(const PreferenceValue& value) {
    if (const auto* b = std::get_if<bool>(&value))
        return *b;
    if (const auto* i = std::get_if<std::int32_t>(&value))
        return *i != 0;
    if (const auto* d = std::get_if<double>(&value))
        return std::isnan(*d) ? std::nullopt : std::optional<bool>(*d != 0.0);
    const std::string_view text = trimmed(std::get<std::string>(value));
    if (const auto word = parseBoolWord(text))
        return word;
    if (const auto number = parseNumber(text); number && !std::isnan(*number))
        return *number != 0.0;
    return std::nullopt;
}

std::optional<std::int32_t> Preferences::integerFromValue(const PreferenceValue& value) {
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? 1 : 0;
    if (const auto* i = std::get_if<std::int32_t>(&value))
        return *i;
    if (const auto* d = std::get_if<double>(&value))
        return integerFromDouble(*d);
    const std::string_view text = trimmed(std::get<std::string>(value));
    if (const auto number = parseNumber(text))
        return integerFromDouble(*number);
    if (const auto word = parseBoolWord(text))
        return *word ? 1 : 0;
    return std::nullopt;
}

std::optional<double> Preferences::doubleFromValue(const PreferenceValue& value) {
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? 1.0 : 0.0;
    if (const auto* i = std::get_if<std::int32_t>(&value))
        return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&value))
        return *d;
    const std::string_view text = trimmed(std::get<std::string>(value));
    if (const auto number = parseNumber(text))
        return number;
    if (const auto word = parseBoolWord(text))
        return *word ? 1.0 : 0.0;
    return std::nullopt;
}

std::optional<std::string> Preferences::stringFromValue(const PreferenceValue& value) {
    if (const auto* b = std::get_if<bool>(&value))
        return std::string(*b ? "true" : "false");
    if (const auto* i = std::get_if<std::int32_t>(&value))
        return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&value)) {
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, *d);
        return std::string(buffer, result.ptr);
    }
    return std::get<std::string>(value);
}

} // namespace wend
