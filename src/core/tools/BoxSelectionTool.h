#pragma once

#include "core/tools/GenericSelectionTool.h"

namespace wend {

// Selects the points inside the rectangle spanned by the press and the pointer: every run of
// consecutive inside points becomes one selected stretch. Hidden items are left alone. The
// rectangle is drawn while the drag lasts.
class BoxSelectionTool : public GenericSelectionTool {
public:
    static constexpr RGBAColor kFillColor{0, 0, 1, 0.1};
    static constexpr RGBAColor kStrokeColor{1, 1, 1, 1};

    BoxSelectionTool() { setName("Box Selection Tool (B)"); }

    bool prepareForDrag(const ToolEvent& event, ToolContext& context) override;
    void updateDrag(const ToolEvent& event, ToolContext& context) override;
    void finalizeDrag(std::uint32_t modifiers, ToolContext& context) override;
    void cancelDrag(ToolContext& context) override;
    void drawTooling(ToolOverlay& overlay, const ToolContext& context) const override;
    bool isEqual(const GPSViewTool& other) const override { return isKindOf<BoxSelectionTool>(other); }

    // The selection of one item for the rectangle (world coordinates).
    void updateSelectionForItem(ToolContext& context, const GPSItemPtr& item, const WorldRect& rect) const;

protected:
    void updateSelections(ToolContext& context, WorldPoint dragStart, WorldPoint dragFinish) override;

private:
    ViewPoint m_toolingStartPoint;
    ViewPoint m_toolingFinishPoint;
};

} // namespace wend
