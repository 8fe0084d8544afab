#pragma once

#include "core/tools/ToolContext.h"
#include "core/tools/ToolCursor.h"
#include "core/tools/ToolEvent.h"
#include "core/tools/ToolOverlay.h"

#include <memory>
#include <optional>
#include <string>

namespace wend {

// An editing tool of the map. It receives one mouse drag at a time: it is asked whether to
// start, fed every drag step (the press itself first), told of the release, or told that the
// drag was cancelled (Escape, focus lost), in which case it forgets the drag and the view puts
// the document back as it was before the press. Between drags it may follow the pointer, and
// it chooses the cursor for the modifier state and draws an overlay.
//
// A tool keeps drag state only from prepareForDrag to finalizeDrag or cancelDrag. Tools are
// equal by class: the shared instance of a class is found with a fresh one (tool<T>()).
class GPSViewTool {
public:
    GPSViewTool() = default;
    virtual ~GPSViewTool() = default;
    GPSViewTool(const GPSViewTool&) = delete;
    GPSViewTool& operator=(const GPSViewTool&) = delete;

    // A new tool of the class.
    template <typename Tool> static std::unique_ptr<Tool> tool() { return std::make_unique<Tool>(); }

    // The title of the help bubble and the menus, and the help lines (separated by line feeds).
    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }
    const std::string& usage() const { return m_usage; }
    void setUsage(std::string usage) { m_usage = std::move(usage); }

    // The press: whether a drag starts.
    virtual bool prepareForDrag(const ToolEvent& event, ToolContext& context);
    virtual void updateDrag(const ToolEvent& event, ToolContext& context);
    // The release, with the modifier state at that moment.
    virtual void finalizeDrag(std::uint32_t modifiers, ToolContext& context);
    // The drag ended without its release: end previews and forget the drag.
    virtual void cancelDrag(ToolContext& context);
    // The pointer moved with no button held (or the view zoomed under it).
    virtual void processMouseMove(const ToolEvent& event, ToolContext& context);
    // None keeps the view's standard cursor.
    virtual std::optional<ToolCursor> cursorForModifiers(std::uint32_t modifiers) const;
    virtual void drawTooling(ToolOverlay& overlay, const ToolContext& context) const;

    // True when `other` is of this tool's class or of a class derived from it.
    virtual bool isEqual(const GPSViewTool& other) const;

protected:
    // After the tool set a point of its own in place (not replaced): what the item derives
    // from its points and what the view keeps of them are made current.
    static void pointsDidChangeInPlace(const GPSItemPtr& item, ToolContext& context);
    template <typename Tool> static bool isKindOf(const GPSViewTool& other) {
        return dynamic_cast<const Tool*>(&other) != nullptr;
    }

private:
    std::string m_name;
    std::string m_usage;
};

} // namespace wend
