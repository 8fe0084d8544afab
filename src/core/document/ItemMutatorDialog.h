#pragma once

#include "core/model/GPSItem.h"

#include <optional>

namespace wend {

class WendDocument;

// A dialog that rewrites the item list as a whole (simplification, rest-stop splitting,
// timestamps, waypoint editing). It is handed copies of all the document's items, may preview
// its result on the map through the document's temporary items, and returns a complete new
// list on Done, or nothing on Cancel. It never changes the document itself. The Qt layer
// supplies the modal run; the logic lives in subclasses in the core.
class ItemMutatorDialog {
public:
    virtual ~ItemMutatorDialog() = default;

    // The modal flow: keeps the copies, runs the dialog, computes the result from the final
    // settings, clears any preview and returns the result unless the user cancelled.
    std::optional<ItemList> mutateItems(WendDocument& document, const ItemList& items);

    // The result for the current settings; called for previews and once after the run.
    virtual ItemList mutatedItems() = 0;

    const ItemList& originalItems() const { return m_originalItems; }
    // The items whose point selection is not empty, in order.
    ItemList selectedItems() const;
    WendDocument* document() const { return m_document; }

    // The actions of the Done and Cancel buttons end the run the UI started.
    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }

protected:
    // Sets the opening values; called before the run, with the items in place.
    virtual void prepare() {}
    // Runs the dialog until Done or Cancel. Tests and scripted callers may leave it empty.
    virtual void runModal() {}
    // Hands the current result to the map as temporary items.
    void showPreview();
    void clearPreview();

private:
    ItemList m_originalItems;
    WendDocument* m_document = nullptr;
    bool m_cancelled = false;
};

} // namespace wend
