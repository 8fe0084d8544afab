#include "core/document/MetadataEditor.h"

#include "core/document/WendDocument.h"
#include "core/model/XMLElementBuilder.h"

#include <algorithm>
#include <map>

namespace wend {

namespace {

// An element holding nothing but its text: the only kind the table shows and edits, so
// that editing a row never flattens an element with structure (such as extensions).
bool isSimpleElement(const XMLElement& element) {
    if (element.childCount() != 1)
        return false;
    auto kind = element.children().front().kind();
    return kind == XMLNode::Kind::Text || kind == XMLNode::Kind::CData;
}

bool isNameStartByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}

bool isNameByte(unsigned char c) {
    return isNameStartByte(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// Keeps the characters an XML name without colon may hold and turns the others into "_".
std::string ncName(std::string_view text) {
    std::string name;
    for (char c : text)
        name += isNameByte(static_cast<unsigned char>(c)) ? c : '_';
    if (!name.empty() && !isNameStartByte(static_cast<unsigned char>(name.front())))
        name.insert(name.begin(), '_');
    return name;
}

XMLElement elementWithText(std::string_view name, std::string_view text) {
    return XMLElementBuilder(std::string(name), text).build();
}

// The element under a new name and text, keeping its namespace declarations and attributes.
XMLElement rebuiltElement(const XMLElement& original, std::string_view name,
                          const MetadataValue& value) {
    std::string newName = MetadataEditor::elementName(name);
    if (newName.empty())
        newName = std::string(original.name());
    const std::string text = value.isMultipleValues() ? original.stringValue() : value.text();
    if (newName == original.name() && text == original.stringValue())
        return original;
    XMLElementBuilder builder{newName};
    for (const auto& declaration : original.namespaces())
        builder.addNamespace(declaration.prefix, declaration.uri);
    for (const auto& attribute : original.attributes())
        builder.addAttribute(attribute.name, attribute.value);
    builder.setStringValue(text);
    return builder.build();
}

// The first of the row's elements in this object that is still where the row found it.
const MetadataElementReference* referenceInObject(const MetadataPropertyRow& row,
                                                  std::size_t objectIndex,
                                                  const std::vector<XMLElement>& elements) {
    const MetadataElementReference* first = nullptr;
    for (const auto& reference : row.originalElements) {
        if (reference.objectIndex != objectIndex || reference.elementIndex >= elements.size() ||
            !(elements[reference.elementIndex] == reference.element))
            continue;
        if (!first || reference.elementIndex < first->elementIndex)
            first = &reference;
    }
    return first;
}

} // namespace

MetadataValue MetadataValue::multipleValues() {
    MetadataValue value;
    value.m_multipleValues = true;
    return value;
}

MetadataEditor::MetadataEditor(WendDocument& document) : m_document(document) {}

std::string MetadataEditor::elementName(std::string_view name) {
    if (name.empty())
        return {};
    auto colon = name.find(':');
    if (colon != std::string_view::npos && colon > 0 && colon + 1 < name.size() &&
        name.find(':', colon + 1) == std::string_view::npos && name.substr(0, colon) != "xmlns")
        return ncName(name.substr(0, colon)) + ":" + ncName(name.substr(colon + 1));
    std::string result = ncName(name);
    // "xmlns" declares namespaces; it is no element name.
    return result == "xmlns" ? "_xmlns" : result;
}

// ---- runs ---------------------------------------------------------------------------------------

bool MetadataEditor::editDocumentMetadata() {
    const auto& model = *m_document.GPSDoc();
    m_tracks.clear();
    m_metaName = MetadataValue(model.documentName());
    m_metaDescription = MetadataValue(model.documentDescription());
    m_metaAuthor = MetadataValue(model.documentAuthor());
    m_metaLink = MetadataValue(model.documentLink());
    generateAdditionalMetadataForDocument();
    return run();
}

bool MetadataEditor::editItemMetadata(const ItemList& items) {
    if (items.empty())
        return false;
    m_tracks = items;
    m_metaName = uniqueValue(items, [](const GPSItem& item) { return item.itemName(); });
    m_metaDescription =
        uniqueValue(items, [](const GPSItem& item) { return item.itemDescription(); });
    m_metaLink = uniqueValue(items, [](const GPSItem& item) { return item.itemLink(); });
    m_metaAuthor = MetadataValue();
    generateAdditionalMetadataForTracks();
    return run();
}

bool MetadataEditor::editSelectionMetadata() {
    return editItemMetadata(m_document.selectedItems());
}

bool MetadataEditor::run() {
    m_deletedMetadata.clear();
    m_confirmed = false;
    runModal();
    const bool confirmed = m_confirmed;
    if (confirmed)
        apply();
    m_tracks.clear();
    m_confirmed = false;
    return confirmed;
}

MetadataValue MetadataEditor::uniqueValue(const ItemList& items,
                                          const std::function<std::string(const GPSItem&)>& value) {
    if (items.empty())
        return MetadataValue();
    std::string first = value(*items.front());
    for (std::size_t i = 1; i < items.size(); ++i)
        if (value(*items[i]) != first)
            return MetadataValue::multipleValues();
    return MetadataValue(std::move(first));
}

void MetadataEditor::setMetaAuthor(MetadataValue value) {
    if (canEditAuthor())
        m_metaAuthor = std::move(value);
}

// ---- rows ---------------------------------------------------------------------------------------

void MetadataEditor::generateAdditionalMetadataForDocument() {
    m_additionalMetadata.clear();
    const auto elements = m_document.GPSDoc()->XMLElements().toVector();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const auto& element = elements[i];
        if (!isSimpleElement(element))
            continue;
        MetadataPropertyRow row;
        row.name = row.originalName = std::string(element.name());
        row.value = MetadataValue(element.stringValue());
        row.originalElements.push_back({0, i, element});
        m_additionalMetadata.push_back(std::move(row));
    }
}

void MetadataEditor::generateAdditionalMetadataForTracks() {
    m_additionalMetadata.clear();
    std::map<std::string, std::size_t, std::less<>> rowOfName;
    for (std::size_t objectIndex = 0; objectIndex < m_tracks.size(); ++objectIndex) {
        const auto elements = m_tracks[objectIndex]->XMLElements().toVector();
        for (std::size_t i = 0; i < elements.size(); ++i) {
            const auto& element = elements[i];
            if (!isSimpleElement(element))
                continue;
            auto found = rowOfName.find(element.name());
            if (found == rowOfName.end()) {
                MetadataPropertyRow row;
                row.name = row.originalName = std::string(element.name());
                row.value = MetadataValue(element.stringValue());
                row.originalElements.push_back({objectIndex, i, element});
                rowOfName.emplace(row.name, m_additionalMetadata.size());
                m_additionalMetadata.push_back(std::move(row));
                continue;
            }
            auto& row = m_additionalMetadata[found->second];
            row.originalElements.push_back({objectIndex, i, element});
            if (!row.value.isMultipleValues() && row.value.text() != element.stringValue())
                row.value = MetadataValue::multipleValues();
        }
    }
}

std::size_t MetadataEditor::addProperty() {
    MetadataPropertyRow row;
    row.name = std::string(kNewPropertyName);
    row.value = MetadataValue(kNewPropertyValue);
    row.newProperty = true;
    m_additionalMetadata.push_back(std::move(row));
    return m_additionalMetadata.size() - 1;
}

void MetadataEditor::removeProperties(const IndexList& rows) {
    std::vector<MetadataPropertyRow> kept;
    for (std::size_t i = 0; i < m_additionalMetadata.size(); ++i) {
        if (std::find(rows.begin(), rows.end(), i) != rows.end())
            m_deletedMetadata.push_back(std::move(m_additionalMetadata[i]));
        else
            kept.push_back(std::move(m_additionalMetadata[i]));
    }
    m_additionalMetadata = std::move(kept);
}

bool MetadataEditor::setPropertyName(std::size_t row, std::string_view name) {
    if (row >= m_additionalMetadata.size())
        return false;
    m_additionalMetadata[row].name = std::string(name);
    return true;
}

bool MetadataEditor::setPropertyValue(std::size_t row, MetadataValue value) {
    if (row >= m_additionalMetadata.size())
        return false;
    m_additionalMetadata[row].value = std::move(value);
    return true;
}

// ---- confirming ---------------------------------------------------------------------------------

XMLElementList MetadataEditor::updatedElements(std::size_t objectIndex,
                                               const XMLElementList& elements) const {
    const std::vector<XMLElement> original = elements.toVector();
    std::vector<XMLElement> updated = original;
    std::vector<bool> removed(original.size(), false);
    std::vector<XMLElement> added;

    for (const auto& row : m_additionalMetadata) {
        if (row.newProperty) {
            auto name = elementName(row.name);
            if (!name.empty() && !row.value.isMultipleValues())
                added.push_back(elementWithText(name, row.value.text()));
            continue;
        }
        if (auto reference = referenceInObject(row, objectIndex, original))
            updated[reference->elementIndex] =
                rebuiltElement(original[reference->elementIndex], row.name, row.value);
    }
    for (const auto& row : m_deletedMetadata)
        for (const auto& reference : row.originalElements)
            if (reference.objectIndex == objectIndex && reference.elementIndex < original.size() &&
                original[reference.elementIndex] == reference.element)
                removed[reference.elementIndex] = true;

    std::vector<XMLElement> result;
    for (std::size_t i = 0; i < updated.size(); ++i)
        if (!removed[i])
            result.push_back(updated[i]);
    result.insert(result.end(), added.begin(), added.end());
    return XMLElementList(result);
}

void MetadataEditor::apply() {
    // The changes are gathered first: confirming without a change records no step.
    std::vector<std::function<void()>> changes;
    auto changeText = [&changes](const MetadataValue& value, const std::string& current,
                                 auto assign) {
        if (!value.isMultipleValues() && value.text() != current)
            changes.push_back([assign, text = value.text()] { assign(text); });
    };
    if (!m_tracks.empty()) {
        for (std::size_t i = 0; i < m_tracks.size(); ++i) {
            GPSItemPtr item = m_tracks[i];
            auto elements = updatedElements(i, item->XMLElements());
            if (!(elements == item->XMLElements()))
                changes.push_back([item, elements] { item->setXMLElements(elements); });
            // An empty name reads "Untitled Track" anyway.
            if (!(m_metaName.text().empty() && item->itemName() == GPSItem::kDefaultName))
                changeText(m_metaName, item->itemName(),
                           [item](const std::string& t) { item->setItemName(t); });
            changeText(m_metaDescription, item->itemDescription(),
                       [item](const std::string& t) { item->setItemDescription(t); });
            changeText(m_metaLink, item->itemLink(),
                       [item](const std::string& t) { item->setItemLink(t); });
        }
    } else {
        auto model = m_document.GPSDoc();
        auto elements = updatedElements(0, model->XMLElements());
        if (!(elements == model->XMLElements()))
            changes.push_back([model, elements] { model->setXMLElements(elements); });
        changeText(m_metaName, model->documentName(),
                   [model](const std::string& t) { model->setDocumentName(t); });
        changeText(m_metaDescription, model->documentDescription(),
                   [model](const std::string& t) { model->setDocumentDescription(t); });
        changeText(m_metaAuthor, model->documentAuthor(),
                   [model](const std::string& t) { model->setDocumentAuthor(t); });
        changeText(m_metaLink, model->documentLink(),
                   [model](const std::string& t) { model->setDocumentLink(t); });
    }
    if (changes.empty())
        return;
    auto& undoManager = m_document.undoManager();
    undoManager.beginUndoGrouping();
    for (const auto& change : changes)
        change();
    undoManager.setActionName(kActionName);
    undoManager.endUndoGrouping();
    m_document.postTrackDataChangedNotification();
}

} // namespace wend
