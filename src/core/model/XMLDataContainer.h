#pragma once

#include "core/model/XMLElementList.h"

#include <string_view>

namespace wend {

// The base of points, items and documents: the XML elements of a file that the model does
// not hold in fields, in file order, so that saving writes them back. The list is immutable
// and shared; each subclass offers the setter (items and documents announce it).
class XMLDataContainer {
public:
    XMLDataContainer() = default;
    explicit XMLDataContainer(XMLElementList elements) : m_xmlElements(std::move(elements)) {}

    const XMLElementList& XMLElements() const { return m_xmlElements; }
    // The first kept element with this qualified name, or a null element.
    XMLElement XMLElementNamed(std::string_view qualifiedName) const {
        return m_xmlElements.elementNamed(qualifiedName);
    }

protected:
    XMLElementList m_xmlElements;
};

} // namespace wend
