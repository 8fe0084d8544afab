#pragma once

#include "core/base/ByteSink.h"
#include "core/model/GPSDocument.h"
#include "core/model/GPSItem.h"
#include "core/model/ItemColor.h"
#include "core/model/XMLElementBuilder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wend {

// Renders a document as KML 2.2 for Google Earth, or in the variant Google Maps reads: one
// line style and one placemark per item (a point for a waypoint, a line for anything else).
// Nothing is read back from KML, and export never fails: absent texts become empty elements
// and absent elevations 0. One writer makes one export; placemark identities are unique
// within it.
class KMLWriter {
public:
    static constexpr std::string_view kKMLNamespace = "http://www.opengis.net/kml/2.2";
    static constexpr std::string_view kGxNamespace = "http://www.google.com/kml/ext/2.2";
    // The namespace Google Earth used for KML 2.2 before the OGC published it.
    static constexpr std::string_view kGoogleEarthKMLNamespace = "http://earth.google.com/kml/2.2";

    explicit KMLWriter(const GPSDocument& document) : m_document(document) {}

    // The root `kml` element with its `Document`: name, description, the styles of all items,
    // then the placemarks of all items.
    XMLElementBuilder KMLDocument();
    // KMLDocument as UTF-8 XML without indentation.
    std::string KMLData();
    // The same elements, declaring only Google Earth's earlier namespace as the default one.
    std::string GMapsData();
    // Streams KMLData (or GMapsData) into a sink; false when the sink failed.
    bool writeKML(ByteSink& sink, bool forGoogleMaps = false);

    // Building blocks.
    // "ff" then blue, green and red as two lower-case hex digits each (KML's alpha-blue-
    // green-red with the alpha always opaque); "ff000000" without a colour.
    static std::string hexValueForColor(const std::optional<ItemColor>& color);
    // "Style-" and the item's identity in the "%p" form: stable for one item in one export.
    static std::string styleIDForItem(const GPSItem& item);
    static XMLElementBuilder styleNodeForItem(const GPSItem& item);
    XMLElementBuilder placemarkNodeForItem(const GPSItem& item);
    static XMLElementBuilder pointNodeForItem(const GPSItem& item);
    static XMLElementBuilder lineStringNodeForItem(const GPSItem& item);
    // One "lon,lat,ele\n" line per point with six decimals whatever the locale; 0 for a
    // missing elevation. Points without a position are left out (KML has no way to say so).
    static std::string coordStringForItem(const GPSItem& item);

private:
    static XMLElementBuilder geometryNode(const char* name, const GPSItem& item);

    const GPSDocument& m_document;
    std::uint64_t m_placemarkCount = 0;
};

} // namespace wend
