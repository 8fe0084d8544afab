#include "core/document/ItemMutatorDialog.h"

#include "core/document/WendDocument.h"

namespace wend {

std::optional<ItemList> ItemMutatorDialog::mutateItems(WendDocument& document, const ItemList& items) {
    m_document = &document;
    m_originalItems = items;
    m_cancelled = false;
    prepare();
    runModal();
    ItemList result = mutatedItems();
    m_originalItems.clear();
    clearPreview();
    m_document = nullptr;
    if (m_cancelled)
        return std::nullopt;
    return result;
}

ItemList ItemMutatorDialog::selectedItems() const {
    ItemList result;
    for (const auto& item : m_originalItems)
        if (!item->itemSelection().isEmpty())
            result.push_back(item);
    return result;
}

void ItemMutatorDialog::showPreview() {
    if (m_document)
        m_document->setTempItems(mutatedItems());
}

void ItemMutatorDialog::clearPreview() {
    if (m_document)
        m_document->setTempItems(std::nullopt);
}

} // namespace wend
