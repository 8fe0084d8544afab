#pragma once

#include <functional>

namespace wend {

class GPSItem;
class GPSDocument;

// The properties of the model whose changes are announced.
enum class ModelKey {
    // GPSDocument
    DocumentName,
    DocumentDescription,
    DocumentAuthor,
    DocumentLink,
    DocumentItems,
    XMLNamespaces,
    XMLSchemaLocation,
    MetadataExtensions,
    MetadataElements,
    // GPSItem
    ItemName,
    ItemDescription,
    ItemLink,
    ItemColor,
    WptSym,
    WptType,
    ItemType,
    ItemPoints,
    ItemSelection,
    Visible,
    // both
    XMLElements,
};

// One change of one property: which object, which key, and how to put the old value back
// (through the same setter, so that putting it back is announced in turn).
struct ModelChange {
    ModelKey key;
    GPSItem* item = nullptr;         // set for item changes
    GPSDocument* document = nullptr; // set for document changes
    std::function<void()> restoreOldValue;
};

// The document observes its model and every item in it; setters call this after storing.
class ModelObserver {
public:
    virtual ~ModelObserver() = default;
    virtual void modelDidChange(const ModelChange& change) = 0;
};

} // namespace wend
