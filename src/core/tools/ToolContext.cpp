#include "core/tools/ToolContext.h"

#include "core/document/WendDocument.h"

namespace wend {

UndoManager& ToolContext::undoManager() const {
    return m_document.undoManager();
}

const ItemList& ToolContext::items() const {
    return m_document.GPSViewItems();
}

} // namespace wend
