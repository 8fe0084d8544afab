#include "core/model/GPSDocument.h"

#include <cstdio>
#include <utility>

namespace wend {

template <typename T, typename Apply> void GPSDocument::announce(ModelKey key, T oldValue, Apply apply) {
    if (!m_observer)
        return;
    auto self = weak_from_this().lock();
    ModelChange change{key, nullptr, this, {}};
    if (self)
        change.restoreOldValue = [self, old = std::move(oldValue), apply]() { apply(*self, old); };
    m_observer->modelDidChange(change);
}

std::shared_ptr<GPSDocument> GPSDocument::document() { return std::make_shared<GPSDocument>(); }

std::shared_ptr<GPSDocument> GPSDocument::documentWithItems(ItemList items) {
    auto doc = std::make_shared<GPSDocument>();
    doc->m_documentName.clear();
    doc->setDocumentItems(std::move(items));
    return doc;
}

std::shared_ptr<GPSDocument> GPSDocument::documentWithItems(ItemList items, std::string_view name) {
    auto doc = documentWithItems(std::move(items));
    doc->setDocumentName(name);
    return doc;
}

void GPSDocument::setDocumentName(std::string_view name) {
    // The new text is made before the old one moves out: `name` may view the old one.
    auto old = std::exchange(m_documentName, std::string(name));
    announce(ModelKey::DocumentName, std::move(old),
             [](GPSDocument& d, const std::string& v) { d.setDocumentName(v); });
}

void GPSDocument::setDocumentDescription(std::string_view description) {
    auto old = std::exchange(m_documentDescription, std::string(description));
    announce(ModelKey::DocumentDescription, std::move(old),
             [](GPSDocument& d, const std::string& v) { d.setDocumentDescription(v); });
}

void GPSDocument::setDocumentAuthor(std::string_view author) {
    auto old = std::exchange(m_documentAuthor, std::string(author));
    announce(ModelKey::DocumentAuthor, std::move(old),
             [](GPSDocument& d, const std::string& v) { d.setDocumentAuthor(v); });
}

void GPSDocument::setDocumentLink(std::string_view link) {
    auto old = std::exchange(m_documentLink, std::string(link));
    announce(ModelKey::DocumentLink, std::move(old),
             [](GPSDocument& d, const std::string& v) { d.setDocumentLink(v); });
}

void GPSDocument::setDocumentItems(ItemList items) {
    auto old = std::move(m_documentItems);
    m_documentItems = std::move(items);
    announce(ModelKey::DocumentItems, std::move(old),
             [](GPSDocument& d, const ItemList& v) { d.setDocumentItems(v); });
}

void GPSDocument::setXMLNamespaces(std::vector<XMLNamespaceDecl> namespaces) {
    auto old = std::move(m_xmlNamespaces);
    m_xmlNamespaces = std::move(namespaces);
    announce(ModelKey::XMLNamespaces, std::move(old),
             [](GPSDocument& d, const std::vector<XMLNamespaceDecl>& v) { d.setXMLNamespaces(v); });
}

void GPSDocument::setXMLSchemaLocation(std::string_view schemaLocation) {
    auto old = std::exchange(m_xmlSchemaLocation, std::string(schemaLocation));
    announce(ModelKey::XMLSchemaLocation, std::move(old),
             [](GPSDocument& d, const std::string& v) { d.setXMLSchemaLocation(v); });
}

void GPSDocument::setMetadataExtensions(XMLElement extensions) {
    auto old = std::move(m_metadataExtensions);
    m_metadataExtensions = std::move(extensions);
    announce(ModelKey::MetadataExtensions, std::move(old),
             [](GPSDocument& d, const XMLElement& v) { d.setMetadataExtensions(v); });
}

void GPSDocument::setMetadataElements(XMLElementList elements) {
    auto old = std::move(m_metadataElements);
    m_metadataElements = std::move(elements);
    announce(ModelKey::MetadataElements, std::move(old),
             [](GPSDocument& d, const XMLElementList& v) { d.setMetadataElements(v); });
}

void GPSDocument::setXMLElements(XMLElementList elements) {
    auto old = std::move(m_xmlElements);
    m_xmlElements = std::move(elements);
    announce(ModelKey::XMLElements, std::move(old),
             [](GPSDocument& d, const XMLElementList& v) { d.setXMLElements(v); });
}

std::shared_ptr<GPSDocument> GPSDocument::copy() const {
    auto doc = std::make_shared<GPSDocument>();
    doc->m_documentName = m_documentName;
    doc->m_documentDescription = m_documentDescription;
    doc->m_documentAuthor = m_documentAuthor;
    doc->m_documentLink = m_documentLink;
    doc->m_documentItems.reserve(m_documentItems.size());
    for (const auto& item : m_documentItems)
        doc->m_documentItems.push_back(item->copy());
    doc->m_xmlNamespaces = m_xmlNamespaces;
    doc->m_xmlSchemaLocation = m_xmlSchemaLocation;
    doc->m_metadataExtensions = m_metadataExtensions;
    doc->m_metadataElements = m_metadataElements;
    return doc;
}

std::string GPSDocument::description() const {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "<GPSDocument: %p; ", static_cast<const void*>(this));
    std::string out = std::string(buffer) + "title = \"" + m_documentName + "\", items = (\n";
    for (const auto& item : m_documentItems)
        out += "\t" + item->description() + "\n";
    return out + ")>";
}

} // namespace wend
