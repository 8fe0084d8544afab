#pragma once

#include "core/model/GPSItem.h"
#include "core/model/XMLElement.h"
#include "core/model/XMLElementList.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace wend {

class WendDocument;

// A value of the metadata editor: a text (empty for nothing) or the multiple-values marker,
// which stands for "the edited items differ here" and can never equal a real text.
class MetadataValue {
public:
    MetadataValue() = default;
    MetadataValue(std::string text) : m_text(std::move(text)) {}
    MetadataValue(std::string_view text) : m_text(text) {}
    MetadataValue(const char* text) : m_text(text) {}
    static MetadataValue multipleValues();

    bool isMultipleValues() const { return m_multipleValues; }
    // Empty for the marker.
    const std::string& text() const { return m_text; }

    bool operator==(const MetadataValue&) const = default;

private:
    std::string m_text;
    bool m_multipleValues = false;
};

// One kept element a property row stands for: which edited object holds it (the position in
// the edited items; 0 for the document) and where in that object's element list.
struct MetadataElementReference {
    std::size_t objectIndex = 0;
    std::size_t elementIndex = 0;
    XMLElement element;
};

// A row of the additional properties table: a simple kept element (one holding only its text).
struct MetadataPropertyRow {
    std::string name;         // shown and edited
    std::string originalName; // when the row was made; empty for a new row
    MetadataValue value;
    // The elements the row stands for, one or more per object that has an element of the name.
    std::vector<MetadataElementReference> originalElements;
    bool newProperty = false; // added by the user during this run
};

// The metadata editor: the document's metadata (name, description, author, link) or the
// common metadata of the selected items (name, description, link), plus the table of
// additional properties. It changes the model only on Done, as one undo step
// "Edit Metadata", and then only what the user changed. The Qt layer overrides runModal(),
// shows the fields and rows, calls the setters and ends the run after done() or cancel().
class MetadataEditor {
public:
    using IndexList = std::vector<std::size_t>;

    static constexpr std::string_view kActionName = "Edit Metadata";
    static constexpr std::string_view kNewPropertyName = "Property Name";
    static constexpr std::string_view kNewPropertyValue = "Property Value";

    explicit MetadataEditor(WendDocument& document);
    virtual ~MetadataEditor() = default;
    MetadataEditor(const MetadataEditor&) = delete;
    MetadataEditor& operator=(const MetadataEditor&) = delete;

    WendDocument& document() const { return m_document; }

    // The runs. Each fills the fields and rows, runs the dialog and, when the user confirmed,
    // applies the edits; returns whether it did.
    bool editDocumentMetadata();
    // False without items (there is nothing to edit then).
    bool editItemMetadata(const ItemList& items);
    // The selected items; offered with a selection.
    bool editSelectionMetadata();

    // The items' common value: the marker as soon as one item's value differs from the
    // previous item's; empty without items.
    static MetadataValue uniqueValue(const ItemList& items,
                                     const std::function<std::string(const GPSItem&)>& value);

    // ---- fields ---------------------------------------------------------------------------
    // The items being edited; empty while the document's metadata is edited.
    const ItemList& tracks() const { return m_tracks; }
    // Items have no author.
    bool canEditAuthor() const { return m_tracks.empty(); }
    const MetadataValue& metaName() const { return m_metaName; }
    const MetadataValue& metaDescription() const { return m_metaDescription; }
    const MetadataValue& metaAuthor() const { return m_metaAuthor; }
    const MetadataValue& metaLink() const { return m_metaLink; }
    void setMetaName(MetadataValue value) { m_metaName = std::move(value); }
    void setMetaDescription(MetadataValue value) { m_metaDescription = std::move(value); }
    void setMetaAuthor(MetadataValue value);
    void setMetaLink(MetadataValue value) { m_metaLink = std::move(value); }

    // ---- additional properties ------------------------------------------------------------
    const std::vector<MetadataPropertyRow>& additionalMetadata() const {
        return m_additionalMetadata;
    }
    const std::vector<MetadataPropertyRow>& deletedMetadata() const { return m_deletedMetadata; }
    // Appends the row "Property Name" = "Property Value" and returns its index; the Qt layer
    // selects it and starts editing its name.
    std::size_t addProperty();
    // Moves the rows to the deleted ones.
    void removeProperties(const IndexList& rows);
    static bool canRemoveProperty(const IndexList& selectedRows) { return !selectedRows.empty(); }
    bool setPropertyName(std::size_t row, std::string_view name);
    bool setPropertyValue(std::size_t row, MetadataValue value);

    // The element name a row's name gives on confirmation: characters that XML names cannot
    // hold become "_" ("Property Name" gives "Property_Name"). Empty for an empty name: the
    // row's element then keeps its name, and a new row adds nothing.
    static std::string elementName(std::string_view name);

    // ---- buttons --------------------------------------------------------------------------
    void done() { m_confirmed = true; }
    void cancel() { m_confirmed = false; }

protected:
    // Runs the dialog until Done or Cancel; scripted callers and tests may leave it empty
    // and call the setters and done() from a subclass.
    virtual void runModal() {}

private:
    bool run();
    void apply();
    void generateAdditionalMetadataForDocument();
    void generateAdditionalMetadataForTracks();
    XMLElementList updatedElements(std::size_t objectIndex, const XMLElementList& elements) const;

    WendDocument& m_document;
    ItemList m_tracks;
    MetadataValue m_metaName;
    MetadataValue m_metaDescription;
    MetadataValue m_metaAuthor;
    MetadataValue m_metaLink;
    std::vector<MetadataPropertyRow> m_additionalMetadata;
    std::vector<MetadataPropertyRow> m_deletedMetadata;
    bool m_confirmed = false;
};

} // namespace wend
