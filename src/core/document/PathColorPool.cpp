#include "core/document/PathColorPool.h"

namespace wend {

const std::vector<std::string>& PathColorPool::baseColors() {
    static const std::vector<std::string> colors = {"Green",      "DarkGreen", "Red",      "DarkRed", "Yellow",
                                                    "DarkYellow", "Blue",      "DarkBlue", "Magenta", "DarkMagenta"};
    return colors;
}

ItemColor PathColorPool::nextPathColor() {
    if (m_unused.empty())
        m_unused = baseColors();
    std::string name = m_unused.back();
    m_unused.pop_back();
    return *ItemColor::itemColorFromString(name);
}

} // namespace wend
