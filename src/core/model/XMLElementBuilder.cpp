#include "core/model/XMLElementBuilder.h"

#include "core/model/XMLFragmentEncoder.h"

#include <algorithm>

namespace wend {

XMLElementBuilder::Child::Child(const Child& other)
    : kind(other.kind), element(other.element),
      builder(other.builder ? std::make_unique<XMLElementBuilder>(*other.builder) : nullptr),
      text(other.text) {}

XMLElementBuilder::Child& XMLElementBuilder::Child::operator=(const Child& other) {
    if (this != &other) {
        Child copy(other);
        *this = std::move(copy);
    }
    return *this;
}

std::string_view XMLElementBuilder::Child::elementName() const {
    if (!isElement())
        return {};
    return builder ? std::string_view(builder->name()) : element.name();
}

XMLElementBuilder::XMLElementBuilder(std::string qualifiedName) : m_name(std::move(qualifiedName)) {}

XMLElementBuilder::XMLElementBuilder(std::string qualifiedName, std::string_view stringValue)
    : m_name(std::move(qualifiedName)) {
    if (!stringValue.empty())
        appendText(std::string(stringValue));
}

XMLElementBuilder::XMLElementBuilder(const XMLElement& element)
    : m_name(element.name()), m_namespaces(element.namespaces()), m_attributes(element.attributes()) {
    for (auto& node : element.children()) {
        Child child;
        child.kind = node.kind();
        if (node.isElement())
            child.element = node.element();
        else
            child.text = std::string(node.text());
        m_children.push_back(std::move(child));
    }
}

void XMLElementBuilder::addNamespace(std::string prefix, std::string uri) {
    m_namespaces.push_back({std::move(prefix), std::move(uri)});
}

void XMLElementBuilder::removeNamespace(std::string_view prefix) {
    // A copy, since the view may point into a declaration that the removal overwrites.
    const std::string removed(prefix);
    std::erase_if(m_namespaces, [&](const XMLNamespaceDecl& ns) { return ns.prefix == removed; });
}

std::optional<std::string> XMLElementBuilder::attribute(std::string_view qualifiedName) const {
    for (auto& a : m_attributes)
        if (a.name == qualifiedName)
            return a.value;
    return std::nullopt;
}

void XMLElementBuilder::addAttribute(std::string qualifiedName, std::string value) {
    removeAttribute(qualifiedName);
    m_attributes.push_back({std::move(qualifiedName), std::move(value)});
}

void XMLElementBuilder::removeAttribute(std::string_view qualifiedName) {
    // A copy, since the view may point into an attribute that the removal overwrites.
    const std::string removed(qualifiedName);
    std::erase_if(m_attributes, [&](const XMLAttribute& a) { return a.name == removed; });
}

void XMLElementBuilder::appendChild(const XMLElement& element) { insertChild(m_children.size(), element); }

void XMLElementBuilder::appendChild(XMLElementBuilder element) {
    insertChild(m_children.size(), std::move(element));
}

void XMLElementBuilder::appendText(std::string text) {
    Child child;
    child.kind = XMLNode::Kind::Text;
    child.text = std::move(text);
    m_children.push_back(std::move(child));
}

void XMLElementBuilder::insertChild(std::size_t index, const XMLElement& element) {
    if (element.isNull())
        return;
    Child child;
    child.kind = XMLNode::Kind::Element;
    child.element = element;
    m_children.insert(m_children.begin() + static_cast<std::ptrdiff_t>(std::min(index, m_children.size())),
                      std::move(child));
}

void XMLElementBuilder::insertChild(std::size_t index, XMLElementBuilder element) {
    Child child;
    child.kind = XMLNode::Kind::Element;
    child.builder = std::make_unique<XMLElementBuilder>(std::move(element));
    m_children.insert(m_children.begin() + static_cast<std::ptrdiff_t>(std::min(index, m_children.size())),
                      std::move(child));
}

void XMLElementBuilder::removeChildAt(std::size_t index) {
    if (index < m_children.size())
        m_children.erase(m_children.begin() + static_cast<std::ptrdiff_t>(index));
}

bool XMLElementBuilder::hasChildNamed(std::string_view qualifiedName) const {
    return std::any_of(m_children.begin(), m_children.end(),
                       [&](const Child& c) { return c.isElement() && c.elementName() == qualifiedName; });
}

XMLElementBuilder& XMLElementBuilder::createChildNamed(std::string_view qualifiedName) {
    for (auto& child : m_children) {
        if (!child.isElement() || child.elementName() != qualifiedName)
            continue;
        if (!child.builder) {
            child.builder = std::make_unique<XMLElementBuilder>(child.element);
            child.element = XMLElement();
        }
        return *child.builder;
    }
    appendChild(XMLElementBuilder(std::string(qualifiedName)));
    return *m_children.back().builder;
}

void XMLElementBuilder::setStringValue(std::string text) {
    m_children.clear();
    if (!text.empty())
        appendText(std::move(text));
}

std::string XMLElementBuilder::stringValue() const {
    std::string out;
    for (auto& child : m_children) {
        switch (child.kind) {
        case XMLNode::Kind::Element:
            out += child.builder ? child.builder->stringValue() : child.element.stringValue();
            break;
        case XMLNode::Kind::Text:
        case XMLNode::Kind::CData:
            out += child.text;
            break;
        case XMLNode::Kind::Comment:
            break;
        }
    }
    return out;
}

void XMLElementBuilder::filterChildren(const std::vector<std::string_view>& allowedNames) {
    std::vector<Child> kept;
    for (auto name : allowedNames)
        for (auto& child : m_children)
            if (child.isElement() && child.elementName() == name)
                kept.push_back(std::move(child));
    m_children = std::move(kept);
}

void XMLElementBuilder::encodeInto(XMLFragmentEncoder& encoder) const {
    encoder.beginElement(m_name);
    for (auto& ns : m_namespaces)
        encoder.addNamespace(ns.prefix, ns.uri);
    for (auto& a : m_attributes)
        encoder.addAttribute(a.name, a.value);
    for (auto& child : m_children) {
        switch (child.kind) {
        case XMLNode::Kind::Element:
            if (child.builder)
                child.builder->encodeInto(encoder);
            else
                encoder.appendElement(child.element);
            break;
        case XMLNode::Kind::Text:
            encoder.appendText(child.text);
            break;
        case XMLNode::Kind::Comment:
            encoder.appendComment(child.text);
            break;
        case XMLNode::Kind::CData:
            encoder.appendCData(child.text);
            break;
        }
    }
    encoder.endElement();
}

XMLElement XMLElementBuilder::build() const {
    XMLFragmentEncoder encoder;
    encodeInto(encoder);
    return encoder.takeElement();
}

} // namespace wend
