#include "core/tools/GPSViewTool.h"

namespace wend {

bool GPSViewTool::prepareForDrag(const ToolEvent&, ToolContext&) {
    return true;
}

void GPSViewTool::updateDrag(const ToolEvent&, ToolContext&) {}

void GPSViewTool::finalizeDrag(std::uint32_t, ToolContext&) {}

void GPSViewTool::cancelDrag(ToolContext&) {}

void GPSViewTool::processMouseMove(const ToolEvent&, ToolContext&) {}

std::optional<ToolCursor> GPSViewTool::cursorForModifiers(std::uint32_t) const {
    return std::nullopt;
}

void GPSViewTool::drawTooling(ToolOverlay&, const ToolContext&) const {}

bool GPSViewTool::isEqual(const GPSViewTool&) const {
    return true; // every tool is of the base class
}

void GPSViewTool::pointsDidChangeInPlace(const GPSItemPtr& item, ToolContext& context) {
    item->pointsDidChangeInPlace();
    context.host().pointsDidChangeInPlace(item);
}

} // namespace wend
