#include "core/document/ViewCommands.h"

#include "core/document/Preferences.h"
#include "core/document/WendDocument.h"
#include "core/processing/TrackGeometry.h"

#include <algorithm>
#include <string>

namespace wend {

const std::array<std::string_view, 4>& ViewCommands::mapTypeTitles() {
    static constexpr std::array<std::string_view, 4> titles = {"Street Map", "Satellite Map",
                                                               "Hybrid Map", "Terrain Map"};
    return titles;
}

std::int32_t ViewCommands::mapTypeForTitle(std::string_view title) {
    const auto& titles = mapTypeTitles();
    auto it = std::find(titles.begin(), titles.end(), title);
    return it == titles.end() ? kStreetMap : static_cast<std::int32_t>(it - titles.begin());
}

std::string_view ViewCommands::titleForMapType(std::int32_t mapType) {
    if (mapType < 0 || mapType >= static_cast<std::int32_t>(mapTypeTitles().size()))
        return {};
    return mapTypeTitles()[static_cast<std::size_t>(mapType)];
}

std::int32_t ViewCommands::changeMapType(Preferences& preferences, std::string_view title) {
    const std::int32_t type = mapTypeForTitle(title);
    preferences.setMapType(type);
    return type;
}

ViewCommands::Zoom ViewCommands::zoomForSender(std::optional<std::string_view> title,
                                               int selectedSegment) {
    if (title) {
        if (*title == "Zoom In")
            return Zoom::In;
        if (*title == "Zoom Out")
            return Zoom::Out;
        return Zoom::None;
    }
    return selectedSegment == 0 ? Zoom::In : Zoom::Out;
}

void ViewCommands::hideSelectedTracks(WendDocument& document) {
    for (const auto& item : document.permanentItems())
        if (!item->itemSelection().isEmpty())
            item->setVisible(false);
    document.redisplayItems();
}

void ViewCommands::hideUnselectedTracks(WendDocument& document) {
    for (const auto& item : document.permanentItems())
        if (item->itemSelection().isEmpty())
            item->setVisible(false);
    document.redisplayItems();
}

void ViewCommands::showSelectedTracks(WendDocument& document) {
    for (const auto& item : document.permanentItems())
        if (!item->itemSelection().isEmpty())
            item->setVisible(true);
    document.redisplayItems();
}

void ViewCommands::showAllTracks(WendDocument& document) {
    for (const auto& item : document.permanentItems())
        item->setVisible(true);
    document.redisplayItems();
}

WorldRect ViewCommands::fitTracksToView(WendDocument& document) {
    showAllTracks(document);
    return TrackGeometry::boundsOfGPSItems(document.items());
}

WorldRect ViewCommands::fitSelectionToView(WendDocument& document) {
    showSelectedTracks(document);
    return TrackGeometry::boundsOfGPSItems(document.itemsForSelectedPoints());
}

std::shared_ptr<GPSDocument> ViewCommands::googleEarthDocument(const WendDocument& document) {
    return GPSDocument::documentWithItems(document.itemsForSelectedPoints(), "Selection");
}

bool ViewCommands::runGoogleEarthMissingAlert(WendDocumentDelegate& delegate) {
    return delegate.runAlert(std::string(kGoogleEarthMissingTitle),
                             std::string(kGoogleEarthMissingText), {"Download", "Cancel"}) == 0;
}

} // namespace wend
