#pragma once

#include <cstdint>

namespace wend {

// What a drag does by the modifier keys held: replace, extend or subtract from the selection,
// or move points.
enum class SelectionMode : std::uint32_t { Replace = 0, Extend = 1, Subtract = 2, Move = 3 };

// The modifier state handed to the editing tools (and to anything else that selects by drag,
// such as the profile): one modifier role at a time, the first of Shift, Alt and Ctrl that is
// held, plus the pan mode (Space held), which survives modifier changes.
//
// The Alt role has a second key, a held X: several window managers take Alt+press (and others
// Super+press) to move windows, so no modifier key is safe for it on Linux.
class ToolModifiers {
public:
    static constexpr std::uint32_t kNone = 0;
    static constexpr std::uint32_t kShift = 1;
    static constexpr std::uint32_t kPanMode = 2;
    static constexpr std::uint32_t kOption = 4;
    static constexpr std::uint32_t kCommand = 8;

    // The new state from the keys held now, keeping the pan bit of `current`.
    static std::uint32_t recache(std::uint32_t current, bool shift, bool altOrX, bool control);
    static std::uint32_t withPanMode(std::uint32_t current, bool panMode);
    static bool inPanMode(std::uint32_t modifiers) { return (modifiers & kPanMode) != 0; }

    // Shift first, then Alt, then Ctrl.
    static SelectionMode selectionModeForModifiers(std::uint32_t modifiers);
};

} // namespace wend
