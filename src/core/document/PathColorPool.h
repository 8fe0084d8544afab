#pragma once

#include "core/model/ItemColor.h"

#include <string>
#include <vector>

namespace wend {

// The colours handed to new items, so that neighbouring tracks differ. The pool refills with
// the ten base colours and hands them out from the end: "DarkMagenta", "Magenta", "DarkBlue", …
class PathColorPool {
public:
    // "Green", "DarkGreen", "Red", "DarkRed", "Yellow", "DarkYellow", "Blue", "DarkBlue",
    // "Magenta", "DarkMagenta" (the colour menu indexes it by tag).
    static const std::vector<std::string>& baseColors();

    ItemColor nextPathColor();
    void reset() { m_unused.clear(); }

private:
    std::vector<std::string> m_unused;
};

} // namespace wend
