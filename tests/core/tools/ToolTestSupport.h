#pragma once

#include "core/document/WendDocument.h"
#include "core/mapview/MapViewGeometry.h"
#include "core/mapview/PointIndexCache.h"
#include "core/tools/ToolDragSession.h"
#include "core/tools/ToolModifiers.h"
#include "core/tools/ToolSet.h"

#include <optional>
#include <vector>

namespace wend::test {

// Watches what tools ask of their window; the waypoint editor answers with `editorAnswer`.
class RecordingToolHost : public ToolHost {
public:
    void setMovePreview(std::optional<MovePreview> p) override { preview = std::move(p); }
    void selectTool(const GPSViewTool& prototype) override { selectedPosition = tools->positionOf(prototype); }
    std::optional<ItemList> editNewWaypoint(const GPSItemPtr& waypoint) override {
        if (!confirmEditor)
            return std::nullopt;
        auto copy = waypoint->copy();
        copy->setItemName("Summit");
        return ItemList{copy};
    }

    const ToolSet* tools = nullptr;
    std::optional<MovePreview> preview;
    int selectedPosition = -1;
    bool confirmEditor = true;
};

// Drives tools as the map view does, in a 800 x 600 view at zoom 16 centred near (8.02, 47),
// where 0.001 degrees of longitude are about 47 view points.
class ToolDriver {
public:
    explicit ToolDriver(WendDocument& document) : m_document(document) {
        m_geometry.setViewSize(800, 600);
        m_geometry.setZoomLevel(16);
        m_geometry.setCenter(8.02, 47.0);
        m_host.tools = &m_tools;
    }

    ToolSet& tools() { return m_tools; }
    RecordingToolHost& host() { return m_host; }
    ToolContext context() { return ToolContext(m_document, m_geometry, m_host, m_indexes); }

    ToolEvent event(WorldPoint world, std::uint32_t modifiers) const {
        return {m_geometry.transformWorldToScreen(world), world, modifiers, 1};
    }
    bool press(int tool, WorldPoint at, std::uint32_t modifiers = 0) {
        m_indexes.clear();
        auto c = context();
        return m_session.begin(*m_tools.tool(tool), event(at, modifiers), c);
    }
    void moveTo(WorldPoint at, std::uint32_t modifiers = 0) {
        auto c = context();
        m_session.update(event(at, modifiers), c);
    }
    // The release, then the end of the user's event.
    void release(std::uint32_t modifiers = 0) {
        auto c = context();
        m_session.finish(modifiers, c);
        m_document.undoManager().closeImplicitGroup();
    }
    void cancel() {
        auto c = context();
        m_session.cancel(c);
        m_document.undoManager().closeImplicitGroup();
    }
    void hover(int tool, WorldPoint at, std::uint32_t modifiers) {
        auto c = context();
        m_tools.tool(tool)->processMouseMove(event(at, modifiers), c);
    }
    // Press, a few steps along the straight way, release.
    void drag(int tool, WorldPoint from, WorldPoint to, std::uint32_t modifiers = 0, int steps = 4) {
        if (!press(tool, from, modifiers)) {
            m_document.undoManager().closeImplicitGroup();
            return;
        }
        for (int i = 1; i <= steps; ++i)
            moveTo({from.lon + (to.lon - from.lon) * i / steps, from.lat + (to.lat - from.lat) * i / steps},
                   modifiers);
        release(modifiers);
    }

private:
    WendDocument& m_document;
    MapViewGeometry m_geometry;
    RecordingToolHost m_host;
    PointIndexCache m_indexes;
    ToolSet m_tools;
    ToolDragSession m_session;
};

} // namespace wend::test
