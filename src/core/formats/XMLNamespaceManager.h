#pragma once

#include "core/base/WendError.h"
#include "core/model/XMLElement.h"
#include "core/model/XMLElementBuilder.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wend {

// Declares on a written root element exactly the namespaces whose prefixes are used, and
// writes the schema locations. It knows the common GPX extension namespaces and merges what
// the document read from its file. Problems are reported, never fatal: the last problem of
// each operation is what the caller sees.
class XMLNamespaceManager {
public:
    struct Entry {
        std::string schema;                  // the namespace URI
        std::optional<std::string> location; // the schema document, when known
        bool operator==(const Entry&) const = default;
    };

    static constexpr std::string_view kSchemaInstanceNamespace = "http://www.w3.org/2001/XMLSchema-instance";
    // Garmin's track point extension version 2, which holds the speed and course of GPX 1.0
    // points; the built-in table knows it under this prefix.
    static constexpr std::string_view kTrackPointExtensionV2 =
        "http://www.garmin.com/xmlschemas/TrackPointExtension/v2";
    static constexpr std::string_view kTrackPointExtensionV2Prefix = "gpxtpx2";

    // A manager holding the built-in table.
    XMLNamespaceManager();

    static XMLNamespaceManager namespaceManagerWithNamespaces(const std::vector<XMLNamespaceDecl>& namespaces,
                                                              std::string_view schemaLocations,
                                                              std::optional<WendError>* error);

    void addNamespace(const std::string& prefix, const std::string& schema, std::optional<std::string> location);
    const std::map<std::string, Entry>& namespaces() const { return m_namespaces; }

    void updateElementWithNamespacesNamed(XMLElementBuilder& element, const std::vector<std::string>& prefixes,
                                          std::optional<WendError>* error) const;
    void updateSchemaLocationsForElement(XMLElementBuilder& element, std::optional<WendError>* error) const;

    // The namespace given to a prefix that a file used without declaring it.
    static std::string undeclaredNamespaceURI(const std::string& prefix);

private:
    std::map<std::string, Entry> m_namespaces;
};

} // namespace wend
