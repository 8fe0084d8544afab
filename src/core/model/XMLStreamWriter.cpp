#include "core/model/XMLStreamWriter.h"

#include <libxml/xmlwriter.h>

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

// libxml2 wants NUL-terminated names; views into fragments are not.
class CString {
public:
    explicit CString(std::string_view s) {
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

void XMLStreamWriter::writeRaw(std::string_view text) {
    if (m_writer && xmlTextWriterWriteRawLen(m_writer, reinterpret_cast<const xmlChar*>(text.data()),
                                             static_cast<int>(text.size())) < 0)
        m_failed = true;
}

// Lays out the next child of the current element: on a line of its own unless the element
// holds text.
void XMLStreamWriter::beginChild() {
    if (m_levels.empty())
        return;
    Level& parent = m_levels.back();
    parent.hasChildren = true;
    if (!m_indent || parent.inlineContent)
        return;
    m_indentText.assign(1, '\n');
    m_indentText.append(2 * m_levels.size(), ' ');
    writeRaw(m_indentText);
}

XMLStreamWriter::~XMLStreamWriter() {
    if (m_writer)
        xmlFreeTextWriter(m_writer); // also closes the output buffer
    else if (m_output)
        xmlOutputBufferClose(m_output);
}

bool XMLStreamWriter::ok() const { return !m_failed && m_sink.ok(); }

void XMLStreamWriter::startDocument() {
    if (m_writer && xmlTextWriterStartDocument(m_writer, "1.0", "UTF-8", nullptr) < 0)
        m_failed = true;
}

void XMLStreamWriter::startElement(std::string_view qualifiedName) {
    beginChild();
    if (m_writer && xmlTextWriterStartElement(m_writer, CString(qualifiedName).get()) < 0)
        m_failed = true;
    m_levels.push_back(Level{});
}

void XMLStreamWriter::writeNamespace(std::string_view prefix, std::string_view uri) {
    std::string name = prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
    writeAttribute(name, uri);
}

void XMLStreamWriter::writeAttribute(std::string_view qualifiedName, std::string_view value) {
    if (m_writer &&
        xmlTextWriterWriteAttribute(m_writer, CString(qualifiedName).get(), CString(value).get()) < 0)
        m_failed = true;
}

void XMLStreamWriter::writeText(std::string_view text) {
    if (text.empty())
        return;
    if (!m_levels.empty()) {
        m_levels.back().inlineContent = true;
        m_levels.back().hasChildren = true;
    }
    if (m_writer && xmlTextWriterWriteString(m_writer, CString(text).get()) < 0)
        m_failed = true;
}

void XMLStreamWriter::writeComment(std::string_view text) {
    beginChild();
    if (m_writer && xmlTextWriterWriteComment(m_writer, CString(text).get()) < 0)
        m_failed = true;
}

void XMLStreamWriter::writeCData(std::string_view text) {
    // A CDATA section cannot hold "]]>"; such text is written as escaped text instead.
    if (text.find("]]>") != std::string_view::npos) {
        writeText(text);
        return;
    }
    if (!m_levels.empty()) {
        m_levels.back().inlineContent = true;
        m_levels.back().hasChildren = true;
    }
    if (m_writer && xmlTextWriterWriteCDATA(m_writer, CString(text).get()) < 0)
        m_failed = true;
}

void XMLStreamWriter::endElement() {
    if (m_levels.empty())
        return;
    Level level = m_levels.back();
    m_levels.pop_back();
    if (m_indent && level.hasChildren && !level.inlineContent) {
        m_indentText.assign(1, '\n');
        m_indentText.append(2 * m_levels.size(), ' ');
        writeRaw(m_indentText);
    }
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

void XMLStreamWriter::writeRecord(const unsigned char* record) {
    switch (detail::recordKind(record)) {
    case detail::RecordKind::Element: {
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
    if (m_writer) {
        if (xmlTextWriterEndDocument(m_writer) < 0)
            m_failed = true;
        if (xmlTextWriterFlush(m_writer) < 0)
            m_failed = true;
    }
    return ok();
}

} // namespace wend
