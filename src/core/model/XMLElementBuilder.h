#pragma once

#include "core/model/XMLElement.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wend {

class XMLFragmentEncoder;

// A mutable element for building and changing XML: the writers assemble their output
// elements with it and the editors use it to derive changed copies of kept elements. Children
// taken over from an immutable element stay shared until one of them is changed.
class XMLElementBuilder {
public:
    struct Child {
        XMLNode::Kind kind = XMLNode::Kind::Text;
        XMLElement element;                        // an unchanged element child
        std::unique_ptr<XMLElementBuilder> builder; // an element child being changed or built
        std::string text;                          // text, comment or CDATA

        Child() = default;
        Child(Child&&) noexcept = default;
        Child& operator=(Child&&) noexcept = default;
        Child(const Child& other);
        Child& operator=(const Child& other);

        bool isElement() const { return kind == XMLNode::Kind::Element; }
        std::string_view elementName() const;
    };

    explicit XMLElementBuilder(std::string qualifiedName);
    XMLElementBuilder(std::string qualifiedName, std::string_view stringValue);
    // Starts from an existing element: its name, declarations, attributes and children.
    explicit XMLElementBuilder(const XMLElement& element);

    const std::string& name() const { return m_name; }
    std::string_view localName() const { return localPartOfQualifiedName(m_name); }
    std::string_view prefix() const { return prefixOfQualifiedName(m_name); }

    const std::vector<XMLNamespaceDecl>& namespaces() const { return m_namespaces; }
    void addNamespace(std::string prefix, std::string uri);
    void removeNamespace(std::string_view prefix);

    const std::vector<XMLAttribute>& attributes() const { return m_attributes; }
    std::optional<std::string> attribute(std::string_view qualifiedName) const;
    void addAttribute(std::string qualifiedName, std::string value);
    void removeAttribute(std::string_view qualifiedName);

    const std::vector<Child>& children() const { return m_children; }
    std::size_t childCount() const { return m_children.size(); }
    void appendChild(const XMLElement& element);
    void appendChild(XMLElementBuilder element);
    void appendText(std::string text);
    void insertChild(std::size_t index, const XMLElement& element);
    void insertChild(std::size_t index, XMLElementBuilder element);
    void removeChildAt(std::size_t index);
    void removeAllChildren() { m_children.clear(); }

    // Whether a child element with this qualified name exists.
    bool hasChildNamed(std::string_view qualifiedName) const;
    // The first child element with this name, made changeable; appended empty when missing.
    XMLElementBuilder& createChildNamed(std::string_view qualifiedName);
    // Replaces all children by one text node.
    void setStringValue(std::string text);
    std::string stringValue() const;

    // Keeps only the child elements whose qualified name is listed, grouped in the order of
    // the list and, within a name, in their previous order. Text and comments are dropped.
    void filterChildren(const std::vector<std::string_view>& allowedNames);

    XMLElement build() const;
    void encodeInto(XMLFragmentEncoder& encoder) const;

private:
    std::string m_name;
    std::vector<XMLNamespaceDecl> m_namespaces;
    std::vector<XMLAttribute> m_attributes;
    std::vector<Child> m_children;
};

} // namespace wend
