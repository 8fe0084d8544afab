#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wend {

// Receives the events of a streaming parse. Names arrive split into prefix and local name
// (the prefix is empty when there is none).
class XMLSaxHandler {
public:
    struct Namespace {
        std::string_view prefix;
        std::string_view uri;
    };
    struct Attribute {
        std::string_view prefix;
        std::string_view localName;
        std::string_view value;
    };

    virtual ~XMLSaxHandler() = default;
    virtual void startElement(std::string_view prefix, std::string_view localName,
                              const Namespace* namespaces, std::size_t namespaceCount,
                              const Attribute* attributes, std::size_t attributeCount) = 0;
    virtual void endElement() = 0;
    virtual void characters(std::string_view text) = 0;
    virtual void cdata(std::string_view text) { characters(text); }
    virtual void comment(std::string_view) {}
};

// A streaming libxml2 parse that repairs malformed input where it can and never loads
// external entities, DTDs or anything from the network. Entities declared inside the
// document are expanded. Feed the bytes in chunks, then finish.
class XMLSaxParser {
public:
    explicit XMLSaxParser(XMLSaxHandler& handler);
    ~XMLSaxParser();
    XMLSaxParser(const XMLSaxParser&) = delete;
    XMLSaxParser& operator=(const XMLSaxParser&) = delete;

    void feed(const char* bytes, std::size_t size);
    void finish();
    // Stops the parse; later feeds are ignored.
    void stop();

    // Whether the XML layer reported an error (malformed input that was repaired, or an
    // unbound namespace prefix), and the first such message with its line.
    bool hadError() const { return !m_firstError.empty(); }
    // Whether the input was not well-formed XML (as opposed to only using an undeclared
    // namespace prefix).
    bool hadSyntaxError() const { return m_hadSyntaxError; }
    const std::string& firstError() const { return m_firstError; }
    // Whether any element was seen (a document came back).
    bool sawElement() const { return m_sawElement; }

    // Parses a whole buffer in one go.
    void parse(std::string_view bytes);

    // libxml2 callbacks (public so the C trampolines can reach them).
    void recordError(const char* message, int line, bool namespaceError);
    void markElementSeen() { m_sawElement = true; }
    void elementOpened() { ++m_openElements; }
    void elementClosed() {
        if (m_openElements > 0)
            --m_openElements;
    }
    std::size_t openElements() const { return m_openElements; }
    // An element that cannot be kept is skipped with everything inside it.
    bool skipping() const { return m_skipDepth > 0; }
    void startSkipping() { m_skipDepth = 1; }
    void elementOpenedWhileSkipping() { ++m_skipDepth; }
    void endSkipped() { --m_skipDepth; }
    XMLSaxHandler& handler() { return m_handler; }
    bool stopped() const { return m_stopped; }
    void* parserContext() const { return m_context; } // xmlParserCtxtPtr
    // Reused for every element, so that reading one allocates nothing.
    std::vector<XMLSaxHandler::Namespace>& namespaceBuffer() { return m_namespaceBuffer; }
    std::vector<XMLSaxHandler::Attribute>& attributeBuffer() { return m_attributeBuffer; }

private:
    void start(const char* firstBytes, std::size_t size);

    XMLSaxHandler& m_handler;
    void* m_context = nullptr; // xmlParserCtxtPtr
    std::string m_firstError;
    bool m_sawElement = false;
    std::size_t m_openElements = 0;
    std::size_t m_skipDepth = 0;
    bool m_hadSyntaxError = false;
    bool m_hadNamespaceError = false;
    bool m_stopped = false;
    bool m_finished = false;
    std::vector<XMLSaxHandler::Namespace> m_namespaceBuffer;
    std::vector<XMLSaxHandler::Attribute> m_attributeBuffer;
    std::string m_pending; // bytes held back until the encoding can be detected
};

} // namespace wend
