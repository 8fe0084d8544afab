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

XMLStreamWriter::XMLStreamWriter(ByteSink& sink, bool indent) : m_sink(sink) {
    m_output = xmlOutputBufferCreateIO(writeToSink, closeNothing, &m_sink, nullptr);
    m_writer = m_output ? xmlNewTextWriter(m_output) : nullptr;
    if (!m_writer) {
        m_failed = true;
        return;
    }
    if (indent) {
        xmlTextWriterSetIndent(m_writer, 1);
        xmlTextWriterSetIndentString(m_writer, reinterpret_cast<const xmlChar*>("  "));
    }
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
    if (m_writer && xmlTextWriterStartElement(m_writer, CString(qualifiedName).get()) < 0)
        m_failed = true;
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
    if (m_writer && !text.empty() && xmlTextWriterWriteString(m_writer, CString(text).get()) < 0)
        m_failed = true;
}

void XMLStreamWriter::writeComment(std::string_view text) {
    if (m_writer && xmlTextWriterWriteComment(m_writer, CString(text).get()) < 0)
        m_failed = true;
}

void XMLStreamWriter::writeCData(std::string_view text) {
    // A CDATA section cannot hold "]]>"; such text is written as escaped text instead.
    if (text.find("]]>") != std::string_view::npos) {
        writeText(text);
        return;
    }
    if (m_writer && xmlTextWriterWriteCDATA(m_writer, CString(text).get()) < 0)
        m_failed = true;
}

void XMLStreamWriter::endElement() {
    if (m_writer && xmlTextWriterEndElement(m_writer) < 0)
        m_failed = true;
}

void XMLStreamWriter::writeTextElement(std::string_view qualifiedName, std::string_view text) {
    startElement(qualifiedName);
    writeText(text);
    endElement();
}

void XMLStreamWriter::writeStartTagOf(const unsigned char* record) {
    auto h = detail::ElementHeader::parse(record);
    startElement(h.name);
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
        writeStartTagOf(record);
        auto h = detail::ElementHeader::parse(record);
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
    writeStartTagOf(element.record());
    writeText(text);
    endElement();
}

void XMLStreamWriter::writeStartOf(const XMLElementBuilder& element) {
    startElement(element.name());
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
    if (m_writer) {
        if (xmlTextWriterEndDocument(m_writer) < 0)
            m_failed = true;
        if (xmlTextWriterFlush(m_writer) < 0)
            m_failed = true;
    }
    return ok();
}

} // namespace wend
