#include "core/model/XMLSaxParser.h"

#include "core/base/URIText.h"
#include "core/base/UTF8Text.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <cstring>
#include <list>
#include <mutex>
#include <vector>

namespace wend {

namespace {

std::string_view view(const xmlChar* s) {
    return s ? std::string_view(reinterpret_cast<const char*>(s)) : std::string_view();
}

// The parser context is libxml2's user data (its default DTD handlers need that); the
// XMLSaxParser rides along in the context's private pointer.
XMLSaxParser* parserOf(void* context) {
    return static_cast<XMLSaxParser*>(static_cast<xmlParserCtxtPtr>(context)->_private);
}

void ignoreGenericError(void*, const char*, ...);

// Nothing is ever fetched from outside the document: not from the network, not from disk.
xmlParserInputPtr refuseExternalEntity(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }

void installEntityGuard() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlSetExternalEntityLoader(refuseExternalEntity);
        // Errors are collected per parse; nothing is printed behind the caller's back.
        xmlSetGenericErrorFunc(nullptr, ignoreGenericError);
    });
}

// Text handed to the handler is valid UTF-8: stray bytes of a file in another encoding are
// read as Windows-1252 (the parser already reported the problem). Repaired copies live until
// the callback returns; a list keeps them in place and costs nothing while empty, which it
// nearly always is (this runs for every element and text of the file).
class EventText {
public:
    std::string_view operator()(std::string_view text) {
        bool ascii = true;
        for (unsigned char c : text)
            if (c >= 0x80) {
                ascii = false;
                break;
            }
        if (ascii || UTF8Text::isValid(text))
            return text;
        return keep(UTF8Text::repaired(text));
    }
    std::string_view keep(std::string text) {
        m_storage.push_back(std::move(text));
        return m_storage.back();
    }

private:
    std::list<std::string> m_storage;
};

// libxml2 repairs broken markup into names such as ":" or "gpxx:"; such elements and
// attributes cannot be written back and are left out.
bool isWritableNamePart(std::string_view part) {
    if (part.empty())
        return false;
    unsigned char first = static_cast<unsigned char>(part.front());
    if ((first >= '0' && first <= '9') || first == '-' || first == '.')
        return false;
    for (unsigned char c : part)
        if (c == ':' || c <= ' ' || c == '<' || c == '>' || c == '&' || c == '"' || c == '\'' || c == '=' ||
            c == '/')
            return false;
    return true;
}

bool isWritableName(std::string_view prefix, std::string_view localName) {
    // "xmlns" is bound to nothing and can prefix no element or attribute.
    return isWritableNamePart(localName) &&
           (prefix.empty() || (isWritableNamePart(prefix) && prefix != "xmlns"));
}

// Without entity substitution libxml2 hands over attribute values and namespace names with
// every ampersand as "&#38;" and with references to the document's own entities left in place.
std::string_view referencesDecoded(XMLSaxParser* parser, std::string_view value, EventText& text) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(parser->parserContext());
    if (!ctxt || value.find('&') == std::string_view::npos || value.size() > INT_MAX)
        return value;
    xmlChar* plain = xmlStringLenDecodeEntities(ctxt, reinterpret_cast<const xmlChar*>(value.data()),
                                                static_cast<int>(value.size()), XML_SUBSTITUTE_REF,
                                                0, 0, 0);
    if (!plain)
        return value;
    std::string_view kept = text.keep(reinterpret_cast<const char*>(plain));
    xmlFree(plain);
    return kept;
}

// libxml2 reports an attribute given twice (by name, or by namespace and local name under two
// prefixes) and still hands over both; the first one counts, as in a repaired tree.
bool repeatsAnEarlierAttribute(const xmlChar** attributes, int index) {
    const xmlChar** a = attributes + 5 * index;
    for (int j = 0; j < index; ++j) {
        const xmlChar** b = attributes + 5 * j;
        if (view(a[0]) != view(b[0]))
            continue;
        if (a[2] && b[2] ? view(a[2]) == view(b[2]) : view(a[1]) == view(b[1]))
            return true;
    }
    return false;
}

void onStartElement(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar*,
                    int namespaceCount, const xmlChar** namespaces, int attributeCount, int,
                    const xmlChar** attributes) {
    auto* parser = parserOf(context);
    parser->elementOpened();
    if (parser->skipping()) {
        parser->elementOpenedWhileSkipping();
        return;
    }
    if (parser->stopped())
        return;
    EventText text;
    std::string_view elementPrefix = text(view(prefix)), elementName = text(view(localName));
    if (!isWritableName(elementPrefix, elementName)) {
        parser->startSkipping();
        return;
    }
    parser->markElementSeen();
    auto& ns = parser->namespaceBuffer();
    auto& attrs = parser->attributeBuffer();
    ns.clear();
    attrs.clear();
    for (int i = 0; i < namespaceCount; ++i) {
        std::string_view nsPrefix = text(view(namespaces[2 * i]));
        if (!nsPrefix.empty() && !isWritableNamePart(nsPrefix))
            continue;
        // A name libxml2 refused as a URI is kept percent-encoded, so that it can be written.
        std::string_view uri = text(referencesDecoded(parser, view(namespaces[2 * i + 1]), text));
        if (!URIText::isParsable(uri))
            uri = text.keep(URIText::parsable(uri));
        ns.push_back({nsPrefix, uri});
    }
    for (int i = 0; i < attributeCount; ++i) {
        const xmlChar** a = attributes + 5 * i;
        std::string_view attrPrefix = text(view(a[1])), attrName = text(view(a[0]));
        if (!isWritableName(attrPrefix, attrName) || repeatsAnEarlierAttribute(attributes, i))
            continue;
        const char* begin = reinterpret_cast<const char*>(a[3]);
        const char* end = reinterpret_cast<const char*>(a[4]);
        attrs.push_back({attrPrefix, attrName,
                         text(referencesDecoded(parser, std::string_view(begin, static_cast<std::size_t>(end - begin)), text))});
    }
    parser->handler().startElement(elementPrefix, elementName, ns.data(), ns.size(), attrs.data(),
                                   attrs.size());
}

void onEndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* parser = parserOf(context);
    parser->elementClosed();
    if (parser->skipping()) {
        parser->endSkipped();
        return;
    }
    if (!parser->stopped())
        parser->handler().endElement();
}

void onCharacters(void* context, const xmlChar* chars, int length) {
    auto* parser = parserOf(context);
    if (parser->stopped() || parser->skipping() || length <= 0)
        return;
    EventText text;
    parser->handler().characters(
        text(std::string_view(reinterpret_cast<const char*>(chars), static_cast<std::size_t>(length))));
}

void onCData(void* context, const xmlChar* chars, int length) {
    auto* parser = parserOf(context);
    if (parser->stopped() || parser->skipping() || length <= 0)
        return;
    EventText text;
    parser->handler().cdata(
        text(std::string_view(reinterpret_cast<const char*>(chars), static_cast<std::size_t>(length))));
}

void onComment(void* context, const xmlChar* chars) {
    auto* parser = parserOf(context);
    if (parser->stopped() || parser->skipping())
        return;
    EventText text;
    parser->handler().comment(text(view(chars)));
}

// libxml2 hands parser errors to the SAX error callback with the parser's user data.
void onStructuredError(void* context, xmlErrorPtr error) {
    if (!context || !error || error->level < XML_ERR_ERROR || !parserOf(context))
        return;
    auto* parser = parserOf(context);
    if (error->code == XML_ERR_DOCUMENT_END && parser->openElements() > 0) {
        // libxml2 words a file that stops inside an element as "extra content".
        parser->recordError("Premature end of data: the file ends before all elements are closed", error->line,
                            false);
        return;
    }
    parser->recordError(error->message, error->line, error->domain == XML_FROM_NAMESPACE);
}

void ignoreGenericError(void*, const char*, ...) {}

} // namespace

XMLSaxParser::XMLSaxParser(XMLSaxHandler& handler) : m_handler(handler) { installEntityGuard(); }

XMLSaxParser::~XMLSaxParser() {
    if (m_context) {
        auto* ctxt = static_cast<xmlParserCtxtPtr>(m_context);
        if (ctxt->myDoc)
            xmlFreeDoc(ctxt->myDoc);
        xmlFreeParserCtxt(ctxt);
    }
}

void XMLSaxParser::recordError(const char* message, int line, bool namespaceError) {
    if (namespaceError)
        m_hadNamespaceError = true;
    else
        m_hadSyntaxError = true;
    if (!m_firstError.empty())
        return;
    std::string text = message ? message : "unknown error";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    m_firstError = "Line " + std::to_string(line) + ": " + text;
}

void XMLSaxParser::start(const char* firstBytes, std::size_t size) {
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof(sax));
    xmlSAXVersion(&sax, 2);
    // The default handlers keep the internal DTD subset (for entity expansion) in a tiny
    // side document; element content goes to our callbacks only.
    sax.startElementNs = onStartElement;
    sax.endElementNs = onEndElement;
    sax.characters = onCharacters;
    sax.ignorableWhitespace = onCharacters;
    sax.cdataBlock = onCData;
    sax.comment = onComment;
    sax.reference = nullptr;
    sax.processingInstruction = nullptr;
    sax.serror = onStructuredError;
    sax.error = nullptr;
    sax.warning = nullptr;
    sax.fatalError = nullptr;
    sax.externalSubset = nullptr;

    int chunk = static_cast<int>(size);
    xmlParserCtxtPtr ctxt = xmlCreatePushParserCtxt(&sax, nullptr, firstBytes, chunk, nullptr);
    if (!ctxt) {
        recordError("out of memory", 0, false);
        m_stopped = true;
        return;
    }
    ctxt->_private = this;
    xmlCtxtUseOptions(ctxt, XML_PARSE_RECOVER | XML_PARSE_NONET);
    ctxt->replaceEntities = 0;
    ctxt->loadsubset = 0;
    ctxt->validate = 0;
    m_context = ctxt;
}

void XMLSaxParser::feed(const char* bytes, std::size_t size) {
    if (m_stopped || m_finished)
        return;
    if (!m_context) {
        // libxml2 detects the encoding (byte order marks, UTF-16) from the first bytes.
        m_pending.append(bytes, size);
        if (m_pending.size() < 4)
            return;
        start(m_pending.data(), 4);
        if (!m_context)
            return;
        std::string rest = m_pending.substr(4);
        m_pending.clear();
        if (!rest.empty())
            feed(rest.data(), rest.size());
        return;
    }
    auto* ctxt = static_cast<xmlParserCtxtPtr>(m_context);
    while (size > 0 && !m_stopped) {
        int chunk = static_cast<int>(size > (1u << 30) ? (1u << 30) : size);
        xmlParseChunk(ctxt, bytes, chunk, 0);
        bytes += chunk;
        size -= static_cast<std::size_t>(chunk);
        if (ctxt->instate == XML_PARSER_EOF)
            m_stopped = true;
    }
}

void XMLSaxParser::finish() {
    if (m_finished)
        return;
    if (!m_context && !m_pending.empty() && !m_stopped) {
        start(m_pending.data(), m_pending.size());
        m_pending.clear();
    }
    m_finished = true;
    if (!m_context) {
        if (!m_stopped && m_firstError.empty())
            recordError("Document is empty", 1, false);
        return;
    }
    auto* ctxt = static_cast<xmlParserCtxtPtr>(m_context);
    if (!m_stopped || ctxt->instate != XML_PARSER_EOF)
        xmlParseChunk(ctxt, nullptr, 0, 1);
}

void XMLSaxParser::stop() {
    m_stopped = true;
    if (m_context)
        xmlStopParser(static_cast<xmlParserCtxtPtr>(m_context));
}

void XMLSaxParser::parse(std::string_view bytes) {
    feed(bytes.data(), bytes.size());
    finish();
}

} // namespace wend
