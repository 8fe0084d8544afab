#pragma once

#include "core/model/GPSDocument.h"
#include "core/processing/WorldRect.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace wend {

class Preferences;
class WendDocument;
class WendDocumentDelegate;

// The view commands of a document window that are logic rather than widgets: map types,
// zoom senders, hiding and showing items, the rectangles to fit into the view, and the
// Google Earth hand-off. Visibility is not recorded for undo and does not mark the document
// edited.
class ViewCommands {
public:
    // ---- map types (the web map's numbers) ----------------------------------------------
    static constexpr std::int32_t kStreetMap = 0;
    static constexpr std::int32_t kSatelliteMap = 1;
    static constexpr std::int32_t kHybridMap = 2;
    static constexpr std::int32_t kTerrainMap = 3;

    // "Street Map", "Satellite Map", "Hybrid Map", "Terrain Map", indexed by map type.
    static const std::array<std::string_view, 4>& mapTypeTitles();
    // An unlisted title gives the street map.
    static std::int32_t mapTypeForTitle(std::string_view title);
    // Empty for a number that is not a map type.
    static std::string_view titleForMapType(std::int32_t mapType);
    // Stores the type of the title in the GMapType preference and returns it for the web map.
    static std::int32_t changeMapType(Preferences& preferences, std::string_view title);

    // ---- zoom ---------------------------------------------------------------------------
    enum class Zoom { None, In, Out };
    // A menu item's title: "Zoom In", "Zoom Out", anything else nothing. Without a title
    // (the toolbar's two-segment control) segment 0 zooms in, any other segment out.
    static Zoom zoomForSender(std::optional<std::string_view> title, int selectedSegment = -1);

    // ---- visibility ---------------------------------------------------------------------
    static void hideSelectedTracks(WendDocument& document);
    static void hideUnselectedTracks(WendDocument& document);
    static void showSelectedTracks(WendDocument& document);
    static void showAllTracks(WendDocument& document);

    // ---- fitting into the view ------------------------------------------------------------
    // Shows every item and returns the rectangle of all items for the view to centre on
    // (a null rectangle when there are no points).
    static WorldRect fitTracksToView(WendDocument& document);
    // Shows the selected items and returns the rectangle of the selected stretches.
    static WorldRect fitSelectionToView(WendDocument& document);

    // ---- map alignment --------------------------------------------------------------------
    // Seconds between a window resize and the realignment of the web map.
    static constexpr double kMapAlignmentDelay = 0.05;
    // When the web map zooms by itself, the editing view takes its zoom level only when it
    // differs (never its centre).
    static bool viewShouldTakeMapZoomLevel(double viewZoomLevel, double mapZoomLevel) {
        return viewZoomLevel != mapZoomLevel;
    }

    // ---- Google Earth ---------------------------------------------------------------------
    // Application names tried in this order.
    static constexpr std::array<std::string_view, 2> kGoogleEarthApplicationNames = {
        "Google Earth Pro", "Google Earth"};
    static constexpr std::string_view kGoogleEarthDownloadURL =
        "https://www.google.com/earth/versions/";
    static constexpr std::string_view kGoogleEarthMissingTitle =
        "It appears that you don't have Google Earth installed.";
    static constexpr std::string_view kGoogleEarthMissingText =
        "Google Earth is required for this feature to work.  Click 'Download' to be taken to a "
        "page where it can be downloaded free of charge.  If you already have it installed, "
        "ensure that it's located in your Applications folder and is named 'Google Earth'.";

    // The document handed to Google Earth: the selected stretches, named "Selection".
    static std::shared_ptr<GPSDocument> googleEarthDocument(const WendDocument& document);
    // The alert shown when Google Earth is missing; true when the user chose "Download".
    static bool runGoogleEarthMissingAlert(WendDocumentDelegate& delegate);
};

} // namespace wend
