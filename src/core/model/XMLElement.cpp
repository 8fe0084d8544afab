#include "core/model/XMLElement.h"

#include "core/model/XMLElementParser.h"
#include "core/model/XMLStreamWriter.h"

#include <cstring>

namespace wend {

using detail::ElementHeader;
using detail::readString;
using detail::RecordKind;

std::string_view prefixOfQualifiedName(std::string_view qualifiedName) {
    auto colon = qualifiedName.find(':');
    return colon == std::string_view::npos ? std::string_view() : qualifiedName.substr(0, colon);
}

std::string_view localPartOfQualifiedName(std::string_view qualifiedName) {
    auto colon = qualifiedName.find(':');
    return colon == std::string_view::npos ? qualifiedName : qualifiedName.substr(colon + 1);
}

XMLElement XMLElement::fromRecordBytes(const unsigned char* record, std::size_t size) {
    return XMLElement(detail::FragmentRef(detail::XMLFragment::create(record, size)), 0);
}

std::string_view XMLElement::name() const {
    if (isNull())
        return {};
    const unsigned char* p = record() + detail::kRecordHeaderSize;
    return readString(p);
}

std::string_view XMLElement::localName() const { return localPartOfQualifiedName(name()); }
std::string_view XMLElement::prefix() const { return prefixOfQualifiedName(name()); }

std::vector<XMLNamespaceDecl> XMLElement::namespaces() const {
    std::vector<XMLNamespaceDecl> result;
    if (isNull())
        return result;
    auto h = ElementHeader::parse(record());
    const unsigned char* p = h.namespaces;
    for (std::uint32_t i = 0; i < h.namespaceCount; ++i) {
        auto prefix = readString(p);
        auto uri = readString(p);
        result.push_back({std::string(prefix), std::string(uri)});
    }
    return result;
}

std::vector<XMLAttribute> XMLElement::attributes() const {
    std::vector<XMLAttribute> result;
    if (isNull())
        return result;
    auto h = ElementHeader::parse(record());
    const unsigned char* p = h.attributes;
    for (std::uint32_t i = 0; i < h.attributeCount; ++i) {
        auto name = readString(p);
        auto value = readString(p);
        result.push_back({std::string(name), std::string(value)});
    }
    return result;
}

std::optional<std::string_view> XMLElement::attribute(std::string_view qualifiedName) const {
    if (isNull())
        return std::nullopt;
    auto h = ElementHeader::parse(record());
    const unsigned char* p = h.attributes;
    for (std::uint32_t i = 0; i < h.attributeCount; ++i) {
        auto name = readString(p);
        auto value = readString(p);
        if (name == qualifiedName)
            return value;
    }
    return std::nullopt;
}

namespace {
template <typename F> void forEachChildRecord(const unsigned char* record, F&& f) {
    auto h = ElementHeader::parse(record);
    for (const unsigned char* c = h.children; c < h.end; c += detail::recordSize(c))
        f(c);
}

XMLNode::Kind nodeKind(RecordKind kind) {
    switch (kind) {
    case RecordKind::Element:
        return XMLNode::Kind::Element;
    case RecordKind::Comment:
        return XMLNode::Kind::Comment;
    case RecordKind::CData:
        return XMLNode::Kind::CData;
    case RecordKind::Text:
        break;
    }
    return XMLNode::Kind::Text;
}

void appendTextBelow(const unsigned char* record, std::string& out) {
    forEachChildRecord(record, [&](const unsigned char* c) {
        switch (detail::recordKind(c)) {
        case RecordKind::Element:
            appendTextBelow(c, out);
            break;
        case RecordKind::Text:
        case RecordKind::CData:
            out += detail::recordText(c);
            break;
        case RecordKind::Comment:
            break;
        }
    });
}
} // namespace

std::vector<XMLNode> XMLElement::children() const {
    std::vector<XMLNode> result;
    if (isNull())
        return result;
    forEachChildRecord(record(), [&](const unsigned char* c) {
        auto kind = detail::recordKind(c);
        if (kind == RecordKind::Element)
            result.emplace_back(XMLNode::Kind::Element, elementAt(c), std::string_view());
        else
            result.emplace_back(nodeKind(kind), XMLElement(), detail::recordText(c));
    });
    return result;
}

std::size_t XMLElement::childCount() const {
    std::size_t n = 0;
    if (!isNull())
        forEachChildRecord(record(), [&](const unsigned char*) { ++n; });
    return n;
}

std::vector<XMLElement> XMLElement::childElements() const {
    std::vector<XMLElement> result;
    if (!isNull())
        forEachChildRecord(record(), [&](const unsigned char* c) {
            if (detail::recordKind(c) == RecordKind::Element)
                result.push_back(elementAt(c));
        });
    return result;
}

XMLElement XMLElement::childNamed(std::string_view qualifiedName) const {
    if (isNull())
        return {};
    auto h = ElementHeader::parse(record());
    for (const unsigned char* c = h.children; c < h.end; c += detail::recordSize(c)) {
        if (detail::recordKind(c) != RecordKind::Element)
            continue;
        const unsigned char* p = c + detail::kRecordHeaderSize;
        if (readString(p) == qualifiedName)
            return elementAt(c);
    }
    return {};
}

std::vector<XMLElement> XMLElement::childrenNamed(std::string_view qualifiedName) const {
    std::vector<XMLElement> result;
    for (auto& child : childElements())
        if (child.name() == qualifiedName)
            result.push_back(child);
    return result;
}

std::string XMLElement::stringValue() const {
    std::string out;
    if (!isNull())
        appendTextBelow(record(), out);
    return out;
}

bool XMLElement::operator==(const XMLElement& other) const {
    if (isNull() || other.isNull())
        return isNull() == other.isNull();
    auto size = recordSize();
    return size == other.recordSize() && std::memcmp(record(), other.record(), size) == 0;
}

std::string XMLElement::xmlString() const {
    if (isNull())
        return {};
    std::string out;
    StringByteSink sink(out);
    XMLStreamWriter writer(sink, /*indent=*/false);
    writer.writeElement(*this);
    writer.finish();
    // Ending the document adds a line break that is no part of the element.
    if (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

XMLElement XMLElement::fromXMLString(std::string_view text) {
    return XMLElementParser::parseElement(text);
}

} // namespace wend
