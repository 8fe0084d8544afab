#pragma once

namespace wend {

// What a selecting drag does with the selection it starts from.
enum class SelectionDragMode { Replace, Extend, Subtract };

// The mode of a selecting drag from the keys held when it starts: Shift extends, Alt or a held
// X key subtracts (window managers often take Alt with a mouse press for moving windows, so X
// stands in for it), nothing replaces. Shift wins when both are held.
SelectionDragMode selectionDragModeForModifiers(bool shift, bool alt, bool subtractKeyHeld);

} // namespace wend
