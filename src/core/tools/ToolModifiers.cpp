#include "core/tools/ToolModifiers.h"

namespace wend {

std::uint32_t ToolModifiers::recache(std::uint32_t current, bool shift, bool altOrX, bool control) {
    std::uint32_t modifiers = current & kPanMode;
    if (shift)
        modifiers |= kShift;
    else if (altOrX)
        modifiers |= kOption;
    else if (control)
        modifiers |= kCommand;
    return modifiers;
}

std::uint32_t ToolModifiers::withPanMode(std::uint32_t current, bool panMode) {
    return panMode ? (current | kPanMode) : (current & ~kPanMode);
}

SelectionMode ToolModifiers::selectionModeForModifiers(std::uint32_t modifiers) {
    if (modifiers & kShift)
        return SelectionMode::Extend;
    if (modifiers & kOption)
        return SelectionMode::Subtract;
    if (modifiers & kCommand)
        return SelectionMode::Move;
    return SelectionMode::Replace;
}

} // namespace wend
