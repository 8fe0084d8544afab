#include "core/tools/ToolDragSession.h"

#include "core/document/WendDocument.h"

namespace wend {

bool ToolDragSession::begin(GPSViewTool& tool, const ToolEvent& press, ToolContext& context) {
    if (m_tool || press.clickCount != 1)
        return false;
    WendDocument& document = context.document();
    m_selections.clear();
    for (const auto& item : document.permanentItems())
        m_selections.emplace_back(item, item->itemSelection());
    context.undoManager().beginUndoGrouping();
    if (!tool.prepareForDrag(press, context)) {
        // What the press did by itself (a removed point) stays, as its own step.
        context.undoManager().endUndoGrouping();
        m_selections.clear();
        return false;
    }
    m_tool = &tool;
    tool.updateDrag(press, context);
    return true;
}

void ToolDragSession::update(const ToolEvent& event, ToolContext& context) {
    if (m_tool)
        m_tool->updateDrag(event, context);
}

void ToolDragSession::finish(std::uint32_t modifiers, ToolContext& context) {
    if (!m_tool)
        return;
    GPSViewTool* tool = std::exchange(m_tool, nullptr);
    m_selections.clear();
    tool->finalizeDrag(modifiers, context);
    context.undoManager().endUndoGrouping();
    context.document().GPSViewToolWasUsed();
}

void ToolDragSession::cancel(ToolContext& context) {
    if (!m_tool)
        return;
    GPSViewTool* tool = std::exchange(m_tool, nullptr);
    WendDocument& document = context.document();
    UndoManager& undoManager = context.undoManager();
    tool->cancelDrag(context);
    context.host().setMovePreview(std::nullopt);
    if (document.tempItems())
        document.setTempItems(std::nullopt);
    undoManager.cancelUndoGrouping();
    undoManager.disableUndoRegistration();
    for (const auto& [item, selection] : m_selections)
        if (!(item->itemSelection() == selection))
            item->setItemSelection(selection);
    undoManager.enableUndoRegistration();
    m_selections.clear();
    document.postSelectionChangedNotification();
    document.postTrackDataChangedNotification();
    context.host().setNeedsDisplay();
}

} // namespace wend
