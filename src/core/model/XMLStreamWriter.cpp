#include "core/model/XMLStreamWriter.h"

#include "core/base/URIText.h"

#include <libxml/xmlwriter.h>

#include <algorithm>

#include <string>

namespace wend {

namespace {
int writeToSink(void* context, const char* buffer, int length) {
    auto* sink = static_cast<ByteSink*>(context);
    if (length <= 0)
        return 0;
    return sink->write(buffer, static_cast<std::size_t>(length)) ? length : -1;
}

int closeNothing(void*) { return 0; }

// Characters that XML 1.0 does not allow anywhere (C0 controls other than tab, line feed and
// carriage return; U+FFFE and U+FFFF) would make the whole file unreadable: they are left out.
bool hasForbiddenCharacters(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            return true;
        if (c == 0xEF && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
            (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE)
            return true;
    }
    return false;
}

std::string withoutForbiddenCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            continue;
        if (c == 0xEF && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
            (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE) {
            i += 2;
            continue;
        }
        out.push_back(text[i]);
    }
    return out;
}

// libxml2 wants NUL-terminated names; views into fragments are not.
class CString {
public:
    explicit CString(std::string_view s) {
        if (hasForbiddenCharacters(s)) {
            m_large = withoutForbiddenCharacters(s);
            m_ptr = m_large.c_str();
            return;
        }
        if (s.size() < sizeof(m_small)) {
            s.copy(m_small, s.size());
            m_small[s.size()] = '\0';
            m_ptr = m_small;
        } else {
            m_large.assign(s);
            m_ptr = m_large.c_str();
        }
    }
    const xmlChar* get() const { return reinterpret_cast<const xmlChar*>(m_ptr); }

private:
    char m_small[64];
    std::string m_large;
    const char* m_ptr;
};
} // namespace

XMLStreamWriter::XMLStreamWriter(ByteSink& sink, bool indent) : m_sink(sink), m_indent(indent) {
    m_output = xmlOutputBufferCreateIO(writeToSink, closeNothing, &m_sink, nullptr);
    m_writer = m_output ? xmlNewTextWriter(m_output) : nullptr;
    if (!m_writer) {
        m_failed = true;
        return;
    }
}

void XMLStreamWriter::flushRaw() {
    if (m_raw.empty())
        return;
    if (m_writer && xmlTextWriterWriteRawLen(m_writer, reinterpret_cast<const xmlChar*>(m_raw.data()),
                                             static_cast<int>(m_raw.size())) < 0)
        m_failed = true;
    m_raw.clear();
}

void XMLStreamWriter::newlineAndIndent(std::size_t depth) {
    m_raw.push_back('\n');
    m_raw.append(2 * depth, ' ');
}

// Lays out the next child of the current element: on a line of its own unless the element
// holds text.
void XMLStreamWriter::beginChild() {
    if (m_levels.empty())
        return;
    Level& parent = m_levels.back();
    parent.hasChildren = true;
    if (parent.startTagOpen) {
        m_raw.push_back('>');
        parent.startTagOpen = false;
    }
    if (m_indent && !parent.inlineContent)
        newlineAndIndent(m_levels.size());
}

// Text inside the current element: its children are laid out inline from now on.
void XMLStreamWriter::beginTextContent() {
    if (m_levels.empty())
        return;
    Level& level = m_levels.back();
    level.inlineContent = true;
    level.hasChildren = true;
    if (level.startTagOpen) {
        m_raw.push_back('>');
        level.startTagOpen = false;
    }
}

void XMLStreamWriter::startTrustedElement(std::string_view qualifiedName, std::string_view attributesText) {
    beginChild();
    m_raw.push_back('<');
    m_raw.append(qualifiedName);
    m_raw.append(attributesText);
    Level level;
    level.trusted = true;
    level.startTagOpen = true;
    level.name = qualifiedName;
    m_levels.push_back(level);
}

void XMLStreamWriter::writeTrustedTextElement(std::string_view qualifiedName, std::string_view text) {
    beginChild();
    m_raw.push_back('<');
    m_raw.append(qualifiedName);
    m_raw.push_back('>');
    m_raw.append(text);
    m_raw.append("</");
    m_raw.append(qualifiedName);
    m_raw.push_back('>');
    if (m_raw.size() >= (1u << 16))
        flushRaw();
}

XMLStreamWriter::~XMLStreamWriter() {
    if (m_writer)
        xmlFreeTextWriter(m_writer); // also closes the output buffer
    else if (m_output)
        xmlOutputBufferClose(m_output);
}

bool XMLStreamWriter::ok() const { return !m_failed && m_sink.ok(); }

void XMLStreamWriter::startDocument() {
    flushRaw();
    if (m_writer && xmlTextWriterStartDocument(m_writer, "1.0", "UTF-8", nullptr) < 0)
        m_failed = true;
}

void XMLStreamWriter::startElement(std::string_view qualifiedName) {
    beginChild();
    flushRaw();
    if (m_writer && xmlTextWriterStartElement(m_writer, CString(qualifiedName).get()) < 0)
        m_failed = true;
    m_levels.push_back(Level{});
    m_startTagNames.clear();
}

void XMLStreamWriter::writeNamespace(std::string_view prefix, std::string_view uri) {
    std::string name = prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
    // A namespace name that is not a URI would make the file need repair when read.
    if (URIText::isParsable(uri))
        writeAttribute(name, uri);
    else
        writeAttribute(name, URIText::parsable(uri));
}

void XMLStreamWriter::writeAttribute(std::string_view qualifiedName, std::string_view value) {
    if (std::find(m_startTagNames.begin(), m_startTagNames.end(), qualifiedName) !=
        m_startTagNames.end())
        return;
    m_startTagNames.emplace_back(qualifiedName);
    flushRaw();
    if (m_writer &&
        xmlTextWriterWriteAttribute(m_writer, CString(qualifiedName).get(), CString(value).get()) < 0)
        m_failed = true;
}

void XMLStreamWriter::writeText(std::string_view text) {
    if (text.empty())
        return;
    beginTextContent();
    flushRaw();
    if (m_writer && xmlTextWriterWriteString(m_writer, CString(text).get()) < 0)
        m_failed = true;
}

void XMLStreamWriter::writeComment(std::string_view text) {
    beginChild();
    flushRaw();
    // A comment may not hold "--" nor end with "-"; a space between the hyphens keeps the
    // words readable and the file well-formed.
    std::string safe;
    safe.reserve(text.size() + 1);
    for (char c : text) {
        if (c == '-' && !safe.empty() && safe.back() == '-')
            safe.push_back(' ');
        safe.push_back(c);
    }
    if (!safe.empty() && safe.back() == '-')
        safe.push_back(' ');
    if (m_writer && xmlTextWriterWriteComment(m_writer, CString(safe).get()) < 0)
        m_failed = true;
}

void XMLStreamWriter::writeCData(std::string_view text) {
    // A CDATA section cannot hold "]]>"; such text is written as escaped text instead.
    if (text.find("]]>") != std::string_view::npos) {
        writeText(text);
        return;
    }
    beginTextContent();
    flushRaw();
    if (m_writer && xmlTextWriterWriteCDATA(m_writer, CString(text).get()) < 0)
        m_failed = true;
}

void XMLStreamWriter::endElement() {
    if (m_levels.empty())
        return;
    Level level = m_levels.back();
    m_levels.pop_back();
    if (level.trusted) {
        if (level.startTagOpen) {
            m_raw.append("/>");
        } else {
            if (m_indent && level.hasChildren && !level.inlineContent)
                newlineAndIndent(m_levels.size());
            m_raw.append("</");
            m_raw.append(level.name);
            m_raw.push_back('>');
        }
        if (m_raw.size() >= (1u << 16))
            flushRaw();
        return;
    }
    if (m_indent && level.hasChildren && !level.inlineContent)
        newlineAndIndent(m_levels.size());
    flushRaw();
    if (m_writer && xmlTextWriterEndElement(m_writer) < 0)
        m_failed = true;
}

void XMLStreamWriter::writeTextElement(std::string_view qualifiedName, std::string_view text) {
    startElement(qualifiedName);
    writeText(text);
    endElement();
}

void XMLStreamWriter::writeStartTagOf(const unsigned char* record, bool inlineContent) {
    auto h = detail::ElementHeader::parse(record);
    startElement(h.name);
    m_levels.back().inlineContent = inlineContent;
    const unsigned char* p = h.namespaces;
    for (std::uint32_t i = 0; i < h.namespaceCount; ++i) {
        auto prefix = detail::readString(p);
        auto uri = detail::readString(p);
        writeNamespace(prefix, uri);
    }
    p = h.attributes;
    for (std::uint32_t i = 0; i < h.attributeCount; ++i) {
        auto name = detail::readString(p);
        auto value = detail::readString(p);
        writeAttribute(name, value);
    }
}

namespace {
// Whether text can be written as it is: nothing to escape, no character XML forbids.
bool isPlain(std::string_view text, bool attribute) {
    for (unsigned char c : text) {
        if (c == '&' || c == '<' || c == '>')
            return false;
        if (c < 0x20 && (attribute || (c != '\n' && c != '\t')))
            return false;
        if (c == '"' && attribute)
            return false;
        if (c == 0xEF)
            return false; // might start U+FFFE or U+FFFF; leave those to the careful path
    }
    return true;
}

bool isPlainRecord(const unsigned char* record) {
    auto h = detail::ElementHeader::parse(record);
    const unsigned char* p = h.namespaces;
    for (std::uint32_t i = 0; i < h.namespaceCount; ++i) {
        detail::readString(p);
        if (!isPlain(detail::readString(p), true))
            return false;
    }
    p = h.attributes;
    for (std::uint32_t i = 0; i < h.attributeCount; ++i) {
        detail::readString(p);
        if (!isPlain(detail::readString(p), true))
            return false;
    }
    for (const unsigned char* c = h.children; c < h.end; c += detail::recordSize(c)) {
        switch (detail::recordKind(c)) {
        case detail::RecordKind::Element:
            if (!isPlainRecord(c))
                return false;
            break;
        case detail::RecordKind::Text:
            if (!isPlain(detail::recordText(c), false))
                return false;
            break;
        default:
            return false;
        }
    }
    return true;
}
} // namespace

// Writes a kept element that needs no escaping straight into the output buffer: the same
// bytes libxml2 would produce, without a call per tag.
void XMLStreamWriter::writePlainRecord(const unsigned char* record) {
    auto h = detail::ElementHeader::parse(record);
    std::string& attributes = m_attributeScratch;
    attributes.clear();
    m_plainNames.clear();
    // The same rules as writeNamespace and writeAttribute: a name once, URIs parsable.
    auto firstUse = [this](std::string_view name) {
        if (std::find(m_plainNames.begin(), m_plainNames.end(), name) != m_plainNames.end())
            return false;
        m_plainNames.push_back(name);
        return true;
    };
    const unsigned char* p = h.namespaces;
    for (std::uint32_t i = 0; i < h.namespaceCount; ++i) {
        auto prefix = detail::readString(p);
        auto uri = detail::readString(p);
        if (!firstUse(prefix))
            continue;
        attributes.append(prefix.empty() ? " xmlns" : " xmlns:").append(prefix).append("=\"");
        if (URIText::isParsable(uri))
            attributes.append(uri);
        else
            attributes.append(URIText::parsable(uri));
        attributes.append("\"");
    }
    const std::size_t namespaceNames = m_plainNames.size();
    p = h.attributes;
    for (std::uint32_t i = 0; i < h.attributeCount; ++i) {
        auto name = detail::readString(p);
        auto value = detail::readString(p);
        if (std::find(m_plainNames.begin() + static_cast<std::ptrdiff_t>(namespaceNames),
                      m_plainNames.end(), name) != m_plainNames.end())
            continue;
        m_plainNames.push_back(name);
        attributes.append(" ").append(name).append("=\"").append(value).append("\"");
    }
    startTrustedElement(h.name, attributes);
    for (const unsigned char* c = h.children; c < h.end; c += detail::recordSize(c)) {
        if (detail::recordKind(c) == detail::RecordKind::Element) {
            writePlainRecord(c);
        } else {
            beginTextContent();
            m_raw.append(detail::recordText(c));
        }
    }
    endElement();
}

void XMLStreamWriter::writeRecord(const unsigned char* record) {
    switch (detail::recordKind(record)) {
    case detail::RecordKind::Element: {
        if (isPlainRecord(record)) {
            writePlainRecord(record);
            break;
        }
        auto h = detail::ElementHeader::parse(record);
        // An element holding text keeps its content exactly as it was.
        bool holdsText = false;
        for (const unsigned char* c = h.children; c < h.end && !holdsText; c += detail::recordSize(c))
            holdsText = detail::recordKind(c) == detail::RecordKind::Text ||
                        detail::recordKind(c) == detail::RecordKind::CData;
        writeStartTagOf(record, holdsText);
        for (const unsigned char* c = h.children; c < h.end; c += detail::recordSize(c))
            writeRecord(c);
        // An element without children is written as an empty-element tag.
        endElement();
        break;
    }
    case detail::RecordKind::Text:
        writeText(detail::recordText(record));
        break;
    case detail::RecordKind::Comment:
        writeComment(detail::recordText(record));
        break;
    case detail::RecordKind::CData:
        writeCData(detail::recordText(record));
        break;
    }
}

void XMLStreamWriter::writeElement(const XMLElement& element) {
    if (!element.isNull())
        writeRecord(element.record());
}

void XMLStreamWriter::writeElementWithText(const XMLElement& element, std::string_view text) {
    if (element.isNull())
        return;
    writeStartTagOf(element.record(), true);
    writeText(text);
    endElement();
}

void XMLStreamWriter::writeStartOf(const XMLElementBuilder& element) {
    startElement(element.name());
    for (const auto& child : element.children())
        if (child.kind == XMLNode::Kind::Text || child.kind == XMLNode::Kind::CData)
            m_levels.back().inlineContent = true;
    for (auto& ns : element.namespaces())
        writeNamespace(ns.prefix, ns.uri);
    for (auto& a : element.attributes())
        writeAttribute(a.name, a.value);
    for (auto& child : element.children()) {
        switch (child.kind) {
        case XMLNode::Kind::Element:
            if (child.builder)
                writeElement(*child.builder);
            else
                writeElement(child.element);
            break;
        case XMLNode::Kind::Text:
            writeText(child.text);
            break;
        case XMLNode::Kind::Comment:
            writeComment(child.text);
            break;
        case XMLNode::Kind::CData:
            writeCData(child.text);
            break;
        }
    }
}

void XMLStreamWriter::writeElement(const XMLElementBuilder& element) {
    writeStartOf(element);
    endElement();
}

bool XMLStreamWriter::finish() {
    if (m_finished)
        return ok();
    m_finished = true;
    while (!m_levels.empty())
        endElement();
    flushRaw();
    if (m_writer) {
        if (xmlTextWriterEndDocument(m_writer) < 0)
            m_failed = true;
        if (xmlTextWriterFlush(m_writer) < 0)
            m_failed = true;
    }
    return ok();
}

} // namespace wend
