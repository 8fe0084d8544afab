#include "core/profile/SelectionDragMode.h"

namespace wend {

SelectionDragMode selectionDragModeForModifiers(bool shift, bool alt, bool subtractKeyHeld) {
    if (shift)
        return SelectionDragMode::Extend;
    if (alt || subtractKeyHeld)
        return SelectionDragMode::Subtract;
    return SelectionDragMode::Replace;
}

} // namespace wend
