#pragma once

#include "core/model/XMLFragment.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wend {

struct XMLNamespaceDecl {
    std::string prefix; // empty for the default namespace
    std::string uri;
    bool operator==(const XMLNamespaceDecl&) const = default;
};

struct XMLAttribute {
    std::string name; // qualified
    std::string value;
    bool operator==(const XMLAttribute&) const = default;
};

class XMLNode;

// An immutable XML element kept from a file. Copying a handle shares the nodes; an element
// never changes, so every holder behaves as if it owned its own copy. To "change" one, build
// a new one with XMLElementBuilder.
class XMLElement {
public:
    XMLElement() = default;

    bool isNull() const { return !m_fragment; }
    explicit operator bool() const { return !isNull(); }

    std::string_view name() const; // qualified name, "gpxtpx:hr"
    std::string_view localName() const;
    std::string_view prefix() const; // empty when the name has none

    std::vector<XMLNamespaceDecl> namespaces() const;
    std::vector<XMLAttribute> attributes() const;
    std::optional<std::string_view> attribute(std::string_view qualifiedName) const;

    std::vector<XMLNode> children() const;
    std::size_t childCount() const;
    std::vector<XMLElement> childElements() const;
    // The first child element with this qualified name, or a null element.
    XMLElement childNamed(std::string_view qualifiedName) const;
    std::vector<XMLElement> childrenNamed(std::string_view qualifiedName) const;

    // All text below the element, concatenated, untrimmed.
    std::string stringValue() const;

    // The element as XML text (its own namespace declarations included), and back. Text
    // that does not parse gives a null element.
    std::string xmlString() const;
    static XMLElement fromXMLString(std::string_view text);

    // Equal when both are null or both hold the same name, declarations, attributes and
    // children in the same order.
    bool operator==(const XMLElement& other) const;

    // Low-level access for serialisers: the encoded record of this element.
    const unsigned char* record() const { return m_fragment.get()->data() + m_offset; }
    std::size_t recordSize() const { return detail::recordSize(record()); }
    XMLElement elementAt(const unsigned char* childRecord) const {
        return XMLElement(m_fragment, static_cast<std::uint32_t>(childRecord - m_fragment.get()->data()));
    }

    // Builds an element from one encoded element record.
    static XMLElement fromRecordBytes(const unsigned char* record, std::size_t size);
    XMLElement(detail::FragmentRef fragment, std::uint32_t offset)
        : m_fragment(std::move(fragment)), m_offset(offset) {}

private:
    detail::FragmentRef m_fragment;
    std::uint32_t m_offset = 0;
};

// One child of an element: an element, or a run of text, a comment or a CDATA section.
class XMLNode {
public:
    enum class Kind { Element, Text, Comment, CData };

    XMLNode(Kind kind, XMLElement element, std::string_view text)
        : m_kind(kind), m_element(std::move(element)), m_text(text) {}

    Kind kind() const { return m_kind; }
    bool isElement() const { return m_kind == Kind::Element; }
    const XMLElement& element() const { return m_element; }
    // For text, comment and CDATA nodes; valid while the parent element is alive.
    std::string_view text() const { return m_text; }

private:
    Kind m_kind;
    XMLElement m_element;
    std::string_view m_text;
};

// Splits "prefix:local" at the first colon.
std::string_view prefixOfQualifiedName(std::string_view qualifiedName);
std::string_view localPartOfQualifiedName(std::string_view qualifiedName);

} // namespace wend
