#pragma once

#include "core/model/XMLElement.h"
#include "core/model/XMLElementList.h"

#include <string_view>

namespace wend {

// Parses XML text into kept elements (used when unarchiving and by editors and tests).
class XMLElementParser {
public:
    // The root element of the text, or a null element when the text is not well-formed XML.
    static XMLElement parseElement(std::string_view text);
};

} // namespace wend
