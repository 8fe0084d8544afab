#pragma once

#include "core/model/GPSItem.h"
#include "core/tools/GPSViewTool.h"

#include <utility>
#include <vector>

namespace wend {

// One mouse drag of a tool, from the press to the release: the tool is asked whether to
// start, gets the press as its first step, every move, and the release. The whole drag is one
// undo group, so it is one undo step however many events it spans. A drag that ends without
// its release (Escape, the window losing focus, the mouse grab lost) is cancelled: the tool
// forgets it, previews end, and the document returns exactly to its state before the press
// (items, points, selections, colours) with no undo step and no open group left.
class ToolDragSession {
public:
    // A press outside pan mode with a click count of 1 (other presses do nothing). Returns
    // whether a drag started.
    bool begin(GPSViewTool& tool, const ToolEvent& press, ToolContext& context);
    void update(const ToolEvent& event, ToolContext& context);
    // The release: the tool finishes, the step is recorded and the document is told that a
    // tool was used.
    void finish(std::uint32_t modifiers, ToolContext& context);
    void cancel(ToolContext& context);

    bool isActive() const { return m_tool != nullptr; }
    GPSViewTool* tool() const { return m_tool; }

private:
    GPSViewTool* m_tool = nullptr;
    // Selections are not recorded for undo unless the user asks for it: a cancelled drag puts
    // them back from here.
    std::vector<std::pair<GPSItemPtr, Selection>> m_selections;
};

} // namespace wend
