#pragma once

#include "core/base/ByteSink.h"
#include "core/model/XMLElement.h"
#include "core/model/XMLElementBuilder.h"

#include <string>
#include <string_view>
#include <vector>

struct _xmlTextWriter;
struct _xmlOutputBuffer;

namespace wend {

// Streams XML text into a byte sink through libxml2's text writer (escaping, UTF-8).
// Namespace declarations are written as attributes, in order, so a document comes out with
// declarations exactly as they were given. Indentation is laid out here rather than by
// libxml2: only elements whose children are all elements get line breaks, so text content
// (and mixed content) is never changed and writing what was read gives the same text again.
class XMLStreamWriter {
public:
    XMLStreamWriter(ByteSink& sink, bool indent);
    ~XMLStreamWriter();
    XMLStreamWriter(const XMLStreamWriter&) = delete;
    XMLStreamWriter& operator=(const XMLStreamWriter&) = delete;

    void startDocument();
    void startElement(std::string_view qualifiedName);
    void writeNamespace(std::string_view prefix, std::string_view uri);
    void writeAttribute(std::string_view qualifiedName, std::string_view value);
    void writeText(std::string_view text);
    void writeComment(std::string_view text);
    void writeCData(std::string_view text);
    void endElement();
    // An element with a name and one text child.
    void writeTextElement(std::string_view qualifiedName, std::string_view text);

    // Writes a kept element with its whole subtree.
    void writeElement(const XMLElement& element);
    // Writes a kept element but with its content replaced by one text (its name,
    // declarations and attributes stay).
    void writeElementWithText(const XMLElement& element, std::string_view text);
    void writeElement(const XMLElementBuilder& element);
    // Writes only the start tag of a built element (name, declarations, attributes) and its
    // children, leaving it open so that more children can be streamed into it.
    void writeStartOf(const XMLElementBuilder& element);

    // Fast paths for markup the caller knows needs no escaping (numbers, times): an element
    // start tag with preformatted attributes (` lon="8.5" lat="47.2"`), and a whole element
    // with such text. They buffer the bytes and hand them to libxml2 in large pieces.
    void startTrustedElement(std::string_view qualifiedName, std::string_view attributesText);
    void writeTrustedTextElement(std::string_view qualifiedName, std::string_view text);

    // Ends the document and flushes; false when the sink failed at any point.
    bool finish();
    bool ok() const;

private:
    struct Level {
        bool inlineContent = false; // text inside: children are written without layout
        bool hasChildren = false;
        bool trusted = false;       // opened with startTrustedElement
        bool startTagOpen = false;  // a trusted start tag still lacks its ">"
        std::string_view name;      // of a trusted element (a view of the caller's name)
    };

    void writeRecord(const unsigned char* record);
    void writePlainRecord(const unsigned char* record);
    void writeStartTagOf(const unsigned char* record, bool inlineContent);
    void beginChild();
    void beginTextContent();
    void flushRaw();
    void newlineAndIndent(std::size_t depth);

    ByteSink& m_sink;
    _xmlOutputBuffer* m_output = nullptr;
    _xmlTextWriter* m_writer = nullptr;
    bool m_failed = false;
    bool m_finished = false;
    bool m_indent = false;
    std::vector<Level> m_levels;
    std::string m_raw; // trusted bytes not yet handed to libxml2
    std::string m_attributeScratch;
    // Names written into the open start tag: a name given twice (an attribute or a namespace
    // declaration) is written once, since a repeated one makes the file unreadable.
    std::vector<std::string> m_startTagNames;
    std::vector<std::string_view> m_plainNames;
};

} // namespace wend
