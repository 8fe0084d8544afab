#include "core/formats/XMLNamespaceManager.h"

#include "core/base/URIText.h"

namespace wend {

namespace {
WendError schemaError(std::string reason) {
    return WendError::errorWithCode(0, "XML Schema Error", std::move(reason));
}
WendError namespaceError(std::string reason) {
    return WendError::errorWithCode(0, "XML Namespace Error", std::move(reason));
}
void report(std::optional<WendError>* out, WendError error) {
    if (out)
        *out = std::move(error);
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::vector<std::string> splitAtWhitespace(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSpace(text[i]))
            ++i;
        std::size_t start = i;
        while (i < text.size() && !isSpace(text[i]))
            ++i;
        if (i > start)
            parts.emplace_back(text.substr(start, i - start));
    }
    return parts;
}
} // namespace

XMLNamespaceManager::XMLNamespaceManager() {
    const std::string garmin = "http://www.garmin.com/xmlschemas/";
    const std::string garminSchemas = "https://www8.garmin.com/xmlschemas/";
    auto add = [&](const std::string& prefix, std::string schema, std::string location) {
        m_namespaces[prefix] = Entry{std::move(schema), std::move(location)};
    };
    add("", "http://www.topografix.com/GPX/1/1", "http://www.topografix.com/GPX/1/1/gpx.xsd");
    add("gpxdata", "http://www.cluetrust.com/XML/GPXDATA/1/0", "http://www.cluetrust.com/Schemas/gpxdata10.xsd");
    add("geocache", "http://www.groundspeak.com/cache/1/0", "http://www.groundspeak.com/cache/1/0/cache.xsd");
    add("ox", "http://www.opencaching.com/xmlschemas/opencaching/1/0",
        "http://www.opencaching.com/xmlschemas/opencaching/1/0/opencaching.xsd");
    add("wptx1", garmin + "WaypointExtension/v1", garminSchemas + "WaypointExtensionv1.xsd");
    add("gpxtrx", garmin + "GpxExtensions/v3", garminSchemas + "GpxExtensionsv3.xsd");
    add("gpxtpx", garmin + "TrackPointExtension/v1", garminSchemas + "TrackPointExtensionv1.xsd");
    add(std::string(kTrackPointExtensionV2Prefix), std::string(kTrackPointExtensionV2),
        garminSchemas + "TrackPointExtensionv2.xsd");
    add("gpxx", garmin + "GpxExtensions/v3", garminSchemas + "GpxExtensionsv3.xsd");
    add("trp", garmin + "TripExtensions/v1", garminSchemas + "TripExtensionsv1.xsd");
    add("adv", garmin + "AdventuresExtensions/v1", garminSchemas + "AdventuresExtensionv1.xsd");
    add("prs", garmin + "PressureExtension/v1", garminSchemas + "PressureExtensionv1.xsd");
    add("tmd", garmin + "TripMetaDataExtensions/v1", garminSchemas + "TripMetaDataExtensionsv1.xsd");
    add("vptm", garmin + "ViaPointTransportationModeExtensions/v1",
        garminSchemas + "ViaPointTransportationModeExtensionsv1.xsd");
    add("ctx", garmin + "CreationTimeExtension/v1", garminSchemas + "CreationTimeExtensionsv1.xsd");
    add("gpxacc", garmin + "AccelerationExtension/v1", garminSchemas + "AccelerationExtensionv1.xsd");
    add("gpxpx", garmin + "PowerExtension/v1", garminSchemas + "PowerExtensionv1.xsd");
    add("vidx1", garmin + "VideoExtension/v1", garminSchemas + "VideoExtensionv1.xsd");
}

void XMLNamespaceManager::addNamespace(const std::string& prefix, const std::string& schema,
                                       std::optional<std::string> location) {
    m_namespaces[prefix] = Entry{schema, std::move(location)};
}

XMLNamespaceManager XMLNamespaceManager::namespaceManagerWithNamespaces(
    const std::vector<XMLNamespaceDecl>& namespaces, std::string_view schemaLocations,
    std::optional<WendError>* error) {
    auto entries = splitAtWhitespace(schemaLocations);
    if (entries.size() % 2 != 0)
        report(error, schemaError("The supplied schema location string does not contain an even number of entries:\n\n" +
                                  std::string(schemaLocations)));
    std::map<std::string, std::string> locationOf;
    for (std::size_t i = 0; i + 1 < entries.size(); i += 2)
        locationOf[entries[i]] = entries[i + 1]; // a later pair for the same URI wins

    XMLNamespaceManager manager;
    for (const auto& ns : namespaces) {
        if (ns.prefix == "xsi")
            continue;
        std::optional<std::string> location;
        if (auto it = locationOf.find(ns.uri); it != locationOf.end())
            location = it->second;
        if (!location && !manager.m_namespaces.count(ns.prefix))
            report(error, schemaError("No known location for namespace \"" + ns.prefix + "\" with schema \"" +
                                      ns.uri + "\"."));
        // The file's own declaration replaces the built-in one, even without a location.
        manager.addNamespace(ns.prefix, ns.uri, location);
    }
    return manager;
}

void XMLNamespaceManager::updateElementWithNamespacesNamed(XMLElementBuilder& element,
                                                           const std::vector<std::string>& prefixes,
                                                           std::optional<WendError>* error) const {
    for (const auto& prefix : prefixes) {
        auto it = m_namespaces.find(prefix);
        if (it == m_namespaces.end()) {
            // Elements with this prefix are written all the same; an unbound prefix would make
            // the whole file unreadable, so the prefix is bound to a placeholder namespace.
            std::string placeholder = undeclaredNamespaceURI(prefix);
            report(error, namespaceError("No information is available for the namespace \"" + prefix +
                                         "\". It is declared as \"" + placeholder +
                                         "\" so that the file stays readable."));
            element.removeNamespace(prefix);
            element.addNamespace(prefix, placeholder);
            continue;
        }
        element.removeNamespace(prefix);
        element.addNamespace(prefix, it->second.schema);
    }
    element.removeNamespace("xsi");
    element.addNamespace("xsi", std::string(kSchemaInstanceNamespace));
}

std::string XMLNamespaceManager::undeclaredNamespaceURI(const std::string& prefix) {
    // A prefix may hold letters that a URI cannot.
    return "urn:wend:undeclared-prefix:" + URIText::percentEncoded(prefix, false);
}

void XMLNamespaceManager::updateSchemaLocationsForElement(XMLElementBuilder& element,
                                                          std::optional<WendError>* error) const {
    std::string text;
    for (const auto& ns : element.namespaces()) {
        auto it = m_namespaces.find(ns.prefix);
        if (it != m_namespaces.end() && !it->second.schema.empty() && it->second.location) {
            text += it->second.schema + " " + *it->second.location + " ";
        } else if (ns.prefix != "xsi") {
            report(error, namespaceError("No information is available for the namespace \"" + ns.prefix +
                                         "\". A schema location pair will not be generated."));
        }
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    std::size_t start = text.find_first_not_of(" \t");
    text = start == std::string::npos ? std::string() : text.substr(start);
    element.removeAttribute("xsi:schemaLocation");
    element.addAttribute("xsi:schemaLocation", text);
}

} // namespace wend
