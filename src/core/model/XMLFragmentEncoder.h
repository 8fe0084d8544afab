#pragma once

#include "core/model/XMLElement.h"
#include "core/model/XMLElementList.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace wend {

// Encodes a stream of XML events into the records of an immutable fragment. The readers feed
// it while they parse; the element builder feeds it from a mutable tree. The buffer is reused
// between elements, so encoding a point's extension allocates only the finished fragment.
class XMLFragmentEncoder {
public:
    void beginElement(std::string_view qualifiedName);
    // The same with the name given as prefix and local name (no temporary string).
    void beginElement(std::string_view prefix, std::string_view localName);
    // Namespace declarations must come before the attributes of the element just begun.
    void addNamespace(std::string_view prefix, std::string_view uri);
    void addAttribute(std::string_view qualifiedName, std::string_view value);
    void addAttribute(std::string_view prefix, std::string_view localName, std::string_view value);
    void appendText(std::string_view text);
    void appendComment(std::string_view text);
    void appendCData(std::string_view text);
    // Copies a whole element (with its subtree) as the next child or top-level element.
    void appendElement(const XMLElement& element);
    void endElement();

    std::size_t depth() const { return m_open.size(); }
    bool empty() const { return m_buffer.empty(); }

    // The complete top-level elements encoded so far (open elements are closed first); the
    // encoder is empty afterwards.
    XMLElementList takeList();
    // The first complete top-level element, or a null element; the encoder is emptied.
    XMLElement takeElement();
    void clear();

private:
    struct OpenElement {
        std::size_t start;
        std::size_t namespaceCountAt;
        std::size_t attributeCountAt; // 0 until the first attribute or child
        bool headerClosed;
    };

    void putU32(std::uint32_t value);
    void patchU32(std::size_t at, std::uint32_t value);
    void putString(std::string_view s);
    void putQualifiedName(std::string_view prefix, std::string_view localName);
    void startElementRecord();
    void openAttributeCount();
    void closeHeader();
    void appendLeaf(detail::RecordKind kind, std::string_view text);
    void appendJoinedLeaf(detail::RecordKind kind, std::string_view text);
    void closeAllOpen();

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    std::vector<unsigned char> m_buffer;
    std::size_t m_lastTextRecord = kNone; // a text or CDATA record that still ends the buffer
    std::size_t m_lastLeafStart = 0;
    std::vector<OpenElement> m_open;
};

} // namespace wend
