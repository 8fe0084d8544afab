#include "core/model/XMLFragmentEncoder.h"

#include <cstring>
#include <limits>

namespace wend {

using detail::RecordKind;

namespace {
// Lengths are stored in 32 bits; longer texts are cut rather than corrupting the record.
std::string_view clampLength(std::string_view s) {
    constexpr std::size_t limit = std::numeric_limits<std::uint32_t>::max() / 4;
    return s.size() > limit ? s.substr(0, limit) : s;
}
} // namespace

void XMLFragmentEncoder::putU32(std::uint32_t value) {
    unsigned char bytes[4];
    std::memcpy(bytes, &value, 4);
    m_buffer.insert(m_buffer.end(), bytes, bytes + 4);
}

void XMLFragmentEncoder::patchU32(std::size_t at, std::uint32_t value) {
    std::memcpy(m_buffer.data() + at, &value, 4);
}

void XMLFragmentEncoder::putString(std::string_view s) {
    s = clampLength(s);
    putU32(static_cast<std::uint32_t>(s.size()));
    m_buffer.insert(m_buffer.end(), s.begin(), s.end());
}

void XMLFragmentEncoder::closeHeader() {
    m_lastTextRecord = kNone;
    if (m_open.empty())
        return;
    auto& top = m_open.back();
    if (top.headerClosed)
        return;
    if (top.attributeCountAt == 0) {
        top.attributeCountAt = m_buffer.size();
        putU32(0);
    }
    top.headerClosed = true;
}

void XMLFragmentEncoder::putQualifiedName(std::string_view prefix, std::string_view localName) {
    if (prefix.empty()) {
        putString(localName);
        return;
    }
    prefix = clampLength(prefix);
    localName = clampLength(localName);
    putU32(static_cast<std::uint32_t>(prefix.size() + 1 + localName.size()));
    m_buffer.insert(m_buffer.end(), prefix.begin(), prefix.end());
    m_buffer.push_back(':');
    m_buffer.insert(m_buffer.end(), localName.begin(), localName.end());
}

void XMLFragmentEncoder::startElementRecord() {
    closeHeader();
    m_open.push_back(OpenElement{m_buffer.size(), 0, 0, false});
    m_buffer.push_back(static_cast<unsigned char>(RecordKind::Element));
    putU32(0); // size, patched on end
}

void XMLFragmentEncoder::beginElement(std::string_view qualifiedName) {
    startElementRecord();
    putString(qualifiedName);
    m_open.back().namespaceCountAt = m_buffer.size();
    putU32(0);
}

void XMLFragmentEncoder::beginElement(std::string_view prefix, std::string_view localName) {
    startElementRecord();
    putQualifiedName(prefix, localName);
    m_open.back().namespaceCountAt = m_buffer.size();
    putU32(0);
}

void XMLFragmentEncoder::addNamespace(std::string_view prefix, std::string_view uri) {
    if (m_open.empty() || m_open.back().attributeCountAt != 0)
        return;
    auto at = m_open.back().namespaceCountAt;
    std::uint32_t count = detail::readU32(m_buffer.data() + at);
    putString(prefix);
    putString(uri);
    patchU32(at, count + 1);
}

void XMLFragmentEncoder::openAttributeCount() {
    auto& top = m_open.back();
    if (top.attributeCountAt == 0) {
        top.attributeCountAt = m_buffer.size();
        putU32(0);
    }
}

void XMLFragmentEncoder::addAttribute(std::string_view qualifiedName, std::string_view value) {
    addAttribute(std::string_view(), qualifiedName, value);
}

void XMLFragmentEncoder::addAttribute(std::string_view prefix, std::string_view localName, std::string_view value) {
    if (m_open.empty() || m_open.back().headerClosed)
        return;
    openAttributeCount();
    auto at = m_open.back().attributeCountAt;
    std::uint32_t count = detail::readU32(m_buffer.data() + at);
    putQualifiedName(prefix, localName);
    putString(value);
    patchU32(at, count + 1);
}

void XMLFragmentEncoder::appendLeaf(RecordKind kind, std::string_view text) {
    if (m_open.empty())
        return; // lists hold elements only
    closeHeader();
    text = clampLength(text);
    m_lastTextRecord = kNone;
    m_lastLeafStart = m_buffer.size();
    m_buffer.push_back(static_cast<unsigned char>(kind));
    putU32(static_cast<std::uint32_t>(detail::kRecordHeaderSize + text.size()));
    m_buffer.insert(m_buffer.end(), text.begin(), text.end());
}

void XMLFragmentEncoder::appendText(std::string_view text) { appendJoinedLeaf(RecordKind::Text, text); }

void XMLFragmentEncoder::appendJoinedLeaf(RecordKind kind, std::string_view text) {
    if (text.empty() || m_open.empty())
        return;
    // Adjacent text or CDATA (split by the parser's buffering, which depends on where the
    // input's chunks end) becomes one node, so that a file reads the same however it arrives.
    if (m_lastTextRecord != kNone && m_buffer[m_lastTextRecord] == static_cast<unsigned char>(kind)) {
        text = clampLength(text);
        std::uint32_t size = detail::readU32(m_buffer.data() + m_lastTextRecord + 1);
        m_buffer.insert(m_buffer.end(), text.begin(), text.end());
        patchU32(m_lastTextRecord + 1, size + static_cast<std::uint32_t>(text.size()));
        return;
    }
    appendLeaf(kind, text);
    m_lastTextRecord = m_lastLeafStart;
}

void XMLFragmentEncoder::appendComment(std::string_view text) { appendLeaf(RecordKind::Comment, text); }
void XMLFragmentEncoder::appendCData(std::string_view text) { appendJoinedLeaf(RecordKind::CData, text); }

void XMLFragmentEncoder::appendElement(const XMLElement& element) {
    if (element.isNull())
        return;
    closeHeader();
    const unsigned char* r = element.record();
    m_buffer.insert(m_buffer.end(), r, r + element.recordSize());
}

void XMLFragmentEncoder::endElement() {
    if (m_open.empty())
        return;
    closeHeader();
    auto top = m_open.back();
    m_open.pop_back();
    patchU32(top.start + 1, static_cast<std::uint32_t>(m_buffer.size() - top.start));
}

void XMLFragmentEncoder::closeAllOpen() {
    while (!m_open.empty())
        endElement();
}

XMLElementList XMLFragmentEncoder::takeList() {
    closeAllOpen();
    XMLElementList list = XMLElementList::fromRecords(m_buffer.data(), m_buffer.size());
    clear();
    return list;
}

XMLElement XMLFragmentEncoder::takeElement() {
    closeAllOpen();
    XMLElement element;
    if (!m_buffer.empty())
        element = XMLElement::fromRecordBytes(m_buffer.data(), detail::recordSize(m_buffer.data()));
    clear();
    return element;
}

void XMLFragmentEncoder::clear() {
    m_lastTextRecord = kNone;
    m_buffer.clear();
    m_open.clear();
}

} // namespace wend
