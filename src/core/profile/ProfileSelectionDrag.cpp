#include "core/profile/ProfileSelectionDrag.h"

#include "core/document/WendDocument.h"

#include <algorithm>

namespace wend {

ProfileSelectionDrag::ProfileSelectionDrag(WendDocument& document, ItemList items,
                                           GPSItemPtr item, std::uint64_t startIndex,
                                           SelectionMode mode)
    : m_document(document), m_items(std::move(items)), m_item(std::move(item)),
      m_startIndex(startIndex), m_currentIndex(startIndex), m_mode(mode) {
    for (const auto& each : m_items)
        m_originalSelections.push_back(each->itemSelection());
}

void ProfileSelectionDrag::moveTo(std::uint64_t index) {
    if (!m_active)
        return;
    m_currentIndex = index;
    m_document.prepareToUpdateSelection();
    m_document.undoManager().disableUndoRegistration();
    assignStep(index);
    m_document.undoManager().enableUndoRegistration();
    // The views follow each step; the statistics, which go over the whole selection, follow
    // when the drag ends.
    m_document.selectionDidChange().notify();
}

void ProfileSelectionDrag::finish() {
    if (!m_active)
        return;
    m_active = false;
    UndoManager& undoManager = m_document.undoManager();
    undoManager.disableUndoRegistration();
    assignOriginalSelections();
    undoManager.enableUndoRegistration();
    m_document.GPSViewWillChangeSelection();
    assignStep(m_currentIndex);
    m_document.GPSViewDidChangeSelection();
}

void ProfileSelectionDrag::cancel() {
    if (!m_active)
        return;
    m_active = false;
    m_document.prepareToUpdateSelection();
    m_document.undoManager().disableUndoRegistration();
    assignOriginalSelections();
    m_document.undoManager().enableUndoRegistration();
    m_document.completeUpdatingSelection();
}

void ProfileSelectionDrag::assignStep(std::uint64_t index) {
    const IndexRange stretch{std::min(m_startIndex, index),
                             std::max(m_startIndex, index) - std::min(m_startIndex, index)};
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        GPSItem& each = *m_items[i];
        Selection selection = m_mode != SelectionMode::Extend && m_mode != SelectionMode::Subtract
                                  ? m_originalSelections[i].selectionByDeselectingAll()
                                  : m_originalSelections[i];
        if (m_items[i] == m_item)
            selection = m_mode == SelectionMode::Subtract
                            ? selection.selectionByDeselectingRange(stretch)
                            : selection.selectionBySelectingRange(stretch);
        each.setItemSelection(selection);
    }
}

void ProfileSelectionDrag::assignOriginalSelections() {
    for (std::size_t i = 0; i < m_items.size(); ++i)
        m_items[i]->setItemSelection(m_originalSelections[i]);
}

} // namespace wend
