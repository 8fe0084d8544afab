#include "core/formats/KMLWriter.h"

#include "core/model/XMLStreamWriter.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace wend {

namespace {

// The "%p" form of an identity: "0x" and lower-case hexadecimal digits.
std::string identityText(std::uintptr_t identity) {
    char buffer[2 + 2 * sizeof(std::uintptr_t)] = {'0', 'x'};
    auto result = std::to_chars(buffer + 2, buffer + sizeof buffer, identity, 16);
    return std::string(buffer, result.ptr);
}

// Six decimals and a point, as "%f" gives in the C locale, whatever the user's locale is.
void appendFixed(std::string& out, double value) {
    // Room for the largest double written out in full.
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (result.ec == std::errc())
        out.append(buffer, result.ptr);
    else
        out.append("0.000000");
}

unsigned colorByte(double component) {
    if (!(component > 0))
        return 0;
    if (component >= 1)
        return 255;
    return static_cast<unsigned>(component * 255.0);
}

void appendHexByte(std::string& out, unsigned value) {
    static constexpr char digits[] = "0123456789abcdef";
    out.push_back(digits[(value >> 4) & 0xF]);
    out.push_back(digits[value & 0xF]);
}

} // namespace

std::string KMLWriter::hexValueForColor(const std::optional<ItemColor>& color) {
    if (!color)
        return "ff000000";
    const RGBAColor rgb = color->rgba();
    std::string out = "ff";
    appendHexByte(out, colorByte(rgb.blue));
    appendHexByte(out, colorByte(rgb.green));
    appendHexByte(out, colorByte(rgb.red));
    return out;
}

std::string KMLWriter::styleIDForItem(const GPSItem& item) {
    return "Style-" + identityText(reinterpret_cast<std::uintptr_t>(&item));
}

XMLElementBuilder KMLWriter::styleNodeForItem(const GPSItem& item) {
    XMLElementBuilder style("Style");
    style.addAttribute("id", styleIDForItem(item));
    XMLElementBuilder lineStyle("LineStyle");
    lineStyle.appendChild(XMLElementBuilder("color", hexValueForColor(item.itemColor())));
    lineStyle.appendChild(XMLElementBuilder("width", "3"));
    style.appendChild(std::move(lineStyle));
    return style;
}

XMLElementBuilder KMLWriter::placemarkNodeForItem(const GPSItem& item) {
    XMLElementBuilder placemark("Placemark");
    placemark.addAttribute("id", "Placemark-" + identityText(++m_placemarkCount));
    placemark.appendChild(XMLElementBuilder("name", item.itemName()));
    placemark.appendChild(XMLElementBuilder("description", item.itemDescription()));
    std::string styleURL = "#";
    styleURL += styleIDForItem(item); // not `"#" + id`: GCC 12 warns falsely at -O3
    placemark.appendChild(XMLElementBuilder("styleUrl", styleURL));
    if (item.itemType() == GPSItemType::Waypoint)
        placemark.appendChild(pointNodeForItem(item));
    else
        placemark.appendChild(lineStringNodeForItem(item));
    return placemark;
}

XMLElementBuilder KMLWriter::geometryNode(const char* name, const GPSItem& item) {
    XMLElementBuilder geometry(name);
    geometry.appendChild(XMLElementBuilder("altitudeMode", "clampToGround"));
    geometry.appendChild(XMLElementBuilder("coordinates", coordStringForItem(item)));
    return geometry;
}

XMLElementBuilder KMLWriter::pointNodeForItem(const GPSItem& item) {
    return geometryNode("Point", item);
}

XMLElementBuilder KMLWriter::lineStringNodeForItem(const GPSItem& item) {
    return geometryNode("LineString", item);
}

std::string KMLWriter::coordStringForItem(const GPSItem& item) {
    std::string out;
    out.reserve(item.itemPoints().size() * 36);
    for (const auto& point : item.itemPoints()) {
        if (!point || !std::isfinite(point->longitude()) || !std::isfinite(point->latitude()))
            continue;
        const double elevation = std::isfinite(point->elevation()) ? point->elevation() : 0.0;
        appendFixed(out, point->longitude());
        out.push_back(',');
        appendFixed(out, point->latitude());
        out.push_back(',');
        appendFixed(out, elevation);
        out.push_back('\n');
    }
    return out;
}

XMLElementBuilder KMLWriter::KMLDocument() {
    // Each export numbers its placemarks afresh, so equal documents give equal files.
    m_placemarkCount = 0;
    XMLElementBuilder root("kml");
    root.addNamespace("", std::string(kKMLNamespace));
    root.addNamespace("gx", std::string(kGxNamespace));

    XMLElementBuilder document("Document");
    // Both are written even when empty.
    document.appendChild(XMLElementBuilder("name", m_document.documentName()));
    document.appendChild(XMLElementBuilder("description", m_document.documentDescription()));
    for (const auto& item : m_document.documentItems())
        if (item)
            document.appendChild(styleNodeForItem(*item));
    for (const auto& item : m_document.documentItems())
        if (item)
            document.appendChild(placemarkNodeForItem(*item));
    root.appendChild(std::move(document));
    return root;
}

bool KMLWriter::writeKML(ByteSink& sink, bool forGoogleMaps) {
    XMLElementBuilder root = KMLDocument();
    if (forGoogleMaps) {
        root.removeNamespace("");
        root.removeNamespace("gx");
        root.addNamespace("", std::string(kGoogleEarthKMLNamespace));
    }
    XMLStreamWriter writer(sink, /*indent=*/false);
    writer.startDocument();
    writer.writeElement(root);
    return writer.finish();
}

std::string KMLWriter::KMLData() {
    std::string out;
    StringByteSink sink(out);
    writeKML(sink, false);
    return out;
}

std::string KMLWriter::GMapsData() {
    std::string out;
    StringByteSink sink(out);
    writeKML(sink, true);
    return out;
}

} // namespace wend
