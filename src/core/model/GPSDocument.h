#pragma once

#include "core/model/GPSItem.h"
#include "core/model/ModelObserver.h"
#include "core/model/XMLDataContainer.h"
#include "core/model/XMLElement.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace wend {

// The model of one GPX file: its metadata, its items in file and display order, and the
// namespace declarations and schema locations read from it (merged with the writer's own on
// saving). Kept XML elements are those found directly under the root that nothing else holds.
class GPSDocument : public XMLDataContainer, public std::enable_shared_from_this<GPSDocument> {
public:
    static constexpr std::string_view kDefaultName = "Untitled Document";

    GPSDocument() = default;
    GPSDocument(const GPSDocument&) = delete;
    GPSDocument& operator=(const GPSDocument&) = delete;

    static std::shared_ptr<GPSDocument> document();
    // A document of these items with no name.
    static std::shared_ptr<GPSDocument> documentWithItems(ItemList items);
    static std::shared_ptr<GPSDocument> documentWithItems(ItemList items, std::string_view name);

    // Texts are empty when absent.
    const std::string& documentName() const { return m_documentName; }
    void setDocumentName(std::string_view name);
    const std::string& documentDescription() const { return m_documentDescription; }
    void setDocumentDescription(std::string_view description);
    const std::string& documentAuthor() const { return m_documentAuthor; }
    void setDocumentAuthor(std::string_view author);
    const std::string& documentLink() const { return m_documentLink; }
    void setDocumentLink(std::string_view link);

    const ItemList& documentItems() const { return m_documentItems; }
    void setDocumentItems(ItemList items);

    const std::vector<XMLNamespaceDecl>& XMLNamespaces() const { return m_xmlNamespaces; }
    void setXMLNamespaces(std::vector<XMLNamespaceDecl> namespaces);
    const std::string& XMLSchemaLocation() const { return m_xmlSchemaLocation; }
    void setXMLSchemaLocation(std::string_view schemaLocation);

    // The metadata's own extensions element, kept whole (null when the file had none).
    const XMLElement& metadataExtensions() const { return m_metadataExtensions; }
    void setMetadataExtensions(XMLElement extensions);
    // Further metadata elements kept from the file (copyright, keywords), in file order.
    const XMLElementList& metadataElements() const { return m_metadataElements; }
    void setMetadataElements(XMLElementList elements);

    void setXMLElements(XMLElementList elements);

    // A new document with the same metadata and copies of every item (sharing their
    // points); the document's own kept elements are not copied.
    std::shared_ptr<GPSDocument> copy() const;
    std::string description() const;

    void setObserver(ModelObserver* observer) { m_observer = observer; }
    ModelObserver* observer() const { return m_observer; }

private:
    template <typename T, typename Apply> void announce(ModelKey key, T oldValue, Apply apply);

    std::string m_documentName{kDefaultName};
    std::string m_documentDescription;
    std::string m_documentAuthor;
    std::string m_documentLink;
    ItemList m_documentItems;
    std::vector<XMLNamespaceDecl> m_xmlNamespaces;
    std::string m_xmlSchemaLocation;
    XMLElement m_metadataExtensions;
    XMLElementList m_metadataElements;
    ModelObserver* m_observer = nullptr;
};

using GPSDocumentPtr = std::shared_ptr<GPSDocument>;

} // namespace wend
