#include "core/formats/GPXParser.h"

#include "core/base/LenientNumber.h"
#include "core/model/GPXTime.h"
#include "core/model/XMLFragmentEncoder.h"
#include "core/model/XMLSaxParser.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

namespace wend {

namespace {

// What the element being read is to the reader.
enum class FrameKind : unsigned char {
    Root,
    Metadata,
    Track,    // trk or rte
    Segment,  // trkseg
    Point,    // trkpt or rtept
    Waypoint, // wpt
    Text,     // an element whose text fills a field
    Author,
    Link,
    Keep,     // an element kept whole as XML
    Skip,
};

// Which field a text element fills.
enum class TextTarget : unsigned char {
    None,
    DocumentName,
    DocumentDescription,
    ItemName,
    ItemDescription,
    WaypointSymbol,
    WaypointType,
    PointTime,
    PointElevation,
    AuthorName,
};

// Who receives a finished link or author.
enum class Owner : unsigned char { Document, Item };

struct Frame {
    FrameKind kind;
    TextTarget target = TextTarget::None;
    Owner owner = Owner::Document;
    std::size_t textStart = 0;
    std::size_t scopeDeclarations = 0; // namespace declarations this element pushed
    XMLFragmentEncoder* encoder = nullptr;
    bool colourExtensions = false; // an item's extensions, read for the display colour
    bool metadataExtensions = false;
    bool hasChildElements = false; // of a kept element
};

bool isWhitespace(std::string_view text) {
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            return false;
    return true;
}

// The fields of the trk, rte or wpt being read. A track becomes one item per non-empty
// segment, all sharing these properties.
struct ItemTemplate {
    GPSItemType type = GPSItemType::Track;
    std::optional<std::string> name, description, link, symbol, waypointType;
    std::optional<ItemColor> color;
    std::vector<PointList> segments;
    PointList routePoints;
    GPSPointPtr waypointPoint;

    void reset(GPSItemType newType) {
        type = newType;
        name.reset();
        description.reset();
        link.reset();
        symbol.reset();
        waypointType.reset();
        color.reset();
        segments.clear();
        routePoints.clear();
        waypointPoint.reset();
    }
};

} // namespace

class GPXParser::Handler : public XMLSaxHandler {
public:
    Handler() : m_parser(*this) { m_document = GPSDocument::document(); }

    XMLSaxParser& parser() { return m_parser; }

    GPXReadResult result() {
        m_parser.finish();
        GPXReadResult result;
        if (!m_parser.sawElement() || !m_rootIsGPX) {
            result.error = couldNotLoadError();
            return result;
        }
        finishOpenFrames();
        m_document->setDocumentItems(std::move(m_items));
        if (!m_documentElements.empty())
            m_document->setXMLElements(m_documentElements.takeList());
        if (!m_metadataElements.empty())
            m_document->setMetadataElements(m_metadataElements.takeList());
        result.document = m_document;
        if (m_parser.hadError())
            result.error = warningForRepair(m_parser.firstError());
        return result;
    }

    void startElement(std::string_view prefix, std::string_view localName, const Namespace* namespaces,
                      std::size_t namespaceCount, const Attribute* attributes,
                      std::size_t attributeCount) override {
        if (m_frames.empty()) {
            startRoot(localName, namespaces, namespaceCount, attributes, attributeCount);
            return;
        }
        Frame& parent = m_frames.back();
        switch (parent.kind) {
        case FrameKind::Keep:
            // Indentation between child elements is layout, not content.
            m_pendingWhitespace.clear();
            parent.hasChildElements = true;
            keepElement(prefix, localName, namespaces, namespaceCount, attributes, attributeCount,
                        *parent.encoder, false);
            return;
        case FrameKind::Text:
        case FrameKind::Link:
            push(FrameKind::Text); // nested markup only contributes its text
            return;
        case FrameKind::Skip:
            push(FrameKind::Skip);
            return;
        case FrameKind::Author:
            if (localName == "name" && !m_authorNameFound) {
                Frame f{FrameKind::Text};
                f.target = TextTarget::AuthorName;
                pushText(f);
            } else {
                push(FrameKind::Text);
            }
            return;
        default:
            break;
        }

        const std::size_t declarations = pushScope(namespaces, namespaceCount);
        switch (parent.kind) {
        case FrameKind::Root:
            startInRoot(prefix, localName, namespaces, namespaceCount, attributes, attributeCount);
            break;
        case FrameKind::Metadata:
            startInMetadata(prefix, localName, namespaces, namespaceCount, attributes, attributeCount);
            break;
        case FrameKind::Track:
            startInTrack(prefix, localName, namespaces, namespaceCount, attributes, attributeCount);
            break;
        case FrameKind::Segment:
            if (localName == "trkpt") {
                m_template.segments.back().push_back(makePoint(attributes, attributeCount));
                push(FrameKind::Point);
            } else {
                push(FrameKind::Skip); // a segment keeps nothing but its points
            }
            break;
        case FrameKind::Point:
        case FrameKind::Waypoint:
            startInPoint(prefix, localName, namespaces, namespaceCount, attributes, attributeCount,
                         parent.kind == FrameKind::Waypoint);
            break;
        default:
            push(FrameKind::Skip);
            break;
        }
        m_frames.back().scopeDeclarations = declarations;
    }

    void endElement() override {
        if (m_frames.empty())
            return;
        Frame frame = m_frames.back();
        m_frames.pop_back();
        popScope(frame.scopeDeclarations);
        switch (frame.kind) {
        case FrameKind::Keep:
            endKept(frame);
            break;
        case FrameKind::Text:
            endText(frame);
            break;
        case FrameKind::Author:
            endAuthor(frame);
            break;
        case FrameKind::Link:
            endLink(frame);
            break;
        case FrameKind::Point:
            endPoint();
            break;
        case FrameKind::Waypoint:
            endWaypoint();
            break;
        case FrameKind::Track:
            endTrack();
            break;
        case FrameKind::Root:
            m_rootClosed = true;
            break;
        case FrameKind::Metadata:
        case FrameKind::Segment:
        case FrameKind::Skip:
            break;
        }
        if (m_captureDepth == 0)
            m_text.clear();
    }

    void characters(std::string_view text) override {
        if (m_frames.empty())
            return;
        Frame& top = m_frames.back();
        if (top.kind == FrameKind::Keep) {
            if (isWhitespace(text)) {
                m_pendingWhitespace.append(text);
                return;
            }
            flushPendingWhitespace(*top.encoder);
            top.encoder->appendText(text);
        } else if (m_captureDepth > 0) {
            m_text.append(text);
        }
    }

    void flushPendingWhitespace(XMLFragmentEncoder& encoder) {
        if (!m_pendingWhitespace.empty()) {
            encoder.appendText(m_pendingWhitespace);
            m_pendingWhitespace.clear();
        }
    }

    void cdata(std::string_view text) override {
        if (m_frames.empty())
            return;
        Frame& top = m_frames.back();
        if (top.kind == FrameKind::Keep) {
            flushPendingWhitespace(*top.encoder);
            top.encoder->appendCData(text);
        }
        else if (m_captureDepth > 0)
            m_text.append(text);
    }

    void comment(std::string_view text) override {
        if (!m_frames.empty() && m_frames.back().kind == FrameKind::Keep) {
            m_pendingWhitespace.clear();
            m_frames.back().encoder->appendComment(text);
        }
    }

private:
    // ---- frames -----------------------------------------------------------------------

    void push(FrameKind kind) {
        Frame f{kind};
        if (kind == FrameKind::Text || kind == FrameKind::Link || kind == FrameKind::Author) {
            pushText(f);
            return;
        }
        m_frames.push_back(f);
    }

    void pushText(Frame f) {
        f.textStart = m_text.size();
        ++m_captureDepth;
        m_frames.push_back(f);
    }

    std::string_view frameText(const Frame& f) const {
        return std::string_view(m_text).substr(std::min(f.textStart, m_text.size()));
    }

    // Namespace declarations of elements between the root and a kept element: the kept
    // element takes them along, so its prefixes stay bound when it is written elsewhere.
    std::size_t pushScope(const Namespace* namespaces, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            m_scope.push_back({std::string(namespaces[i].prefix), std::string(namespaces[i].uri)});
        return count;
    }

    void popScope(std::size_t count) { m_scope.resize(m_scope.size() - std::min(count, m_scope.size())); }

    // ---- root and document level ------------------------------------------------------

    void startRoot(std::string_view localName, const Namespace* namespaces, std::size_t namespaceCount,
                   const Attribute* attributes, std::size_t attributeCount) {
        if (m_rootClosed) {
            push(FrameKind::Skip); // content after the root was closed is not read
            return;
        }
        if (localName != "gpx") {
            m_parser.stop();
            push(FrameKind::Skip);
            return;
        }
        m_rootIsGPX = true;
        std::vector<XMLNamespaceDecl> declarations;
        for (std::size_t i = 0; i < namespaceCount; ++i)
            declarations.push_back({std::string(namespaces[i].prefix), std::string(namespaces[i].uri)});
        m_document->setXMLNamespaces(std::move(declarations));
        for (std::size_t i = 0; i < attributeCount; ++i)
            if (attributes[i].prefix == "xsi" && attributes[i].localName == "schemaLocation")
                m_document->setXMLSchemaLocation(attributes[i].value);
        push(FrameKind::Root);
    }

    void startInRoot(std::string_view prefix, std::string_view localName, const Namespace* namespaces,
                     std::size_t namespaceCount, const Attribute* attributes, std::size_t attributeCount) {
        if (localName == "trk" || localName == "rte") {
            m_template.reset(localName == "rte" ? GPSItemType::Route : GPSItemType::Track);
            push(FrameKind::Track);
        } else if (localName == "wpt") {
            m_template.reset(GPSItemType::Waypoint);
            m_template.waypointPoint = makePoint(attributes, attributeCount);
            push(FrameKind::Waypoint);
        } else if (localName == "name") {
            pushTextFor(TextTarget::DocumentName);
        } else if (localName == "desc") {
            pushTextFor(TextTarget::DocumentDescription);
        } else if (localName == "author") {
            startAuthor(Owner::Document);
        } else if (localName == "url") {
            startLink(Owner::Document, attributes, attributeCount);
        } else if (localName == "bounds" || localName == "time") {
            push(FrameKind::Skip);
        } else if (localName == "metadata") {
            push(FrameKind::Metadata);
        } else if (localName == "keywords") {
            // GPX 1.0 keeps keywords at the root; GPX 1.1 keeps them in the metadata.
            keepElement(prefix, localName, namespaces, namespaceCount, attributes, attributeCount,
                        m_metadataElements, true);
        } else {
            keepElement(prefix, localName, namespaces, namespaceCount, attributes, attributeCount,
                        m_documentElements, true);
        }
    }

    void startInMetadata(std::string_view prefix, std::string_view localName, const Namespace* namespaces,
                         std::size_t namespaceCount, const Attribute* attributes, std::size_t attributeCount) {
        if (localName == "name") {
            pushTextFor(TextTarget::DocumentName);
        } else if (localName == "desc") {
            pushTextFor(TextTarget::DocumentDescription);
        } else if (localName == "link") {
            startLink(Owner::Document, attributes, attributeCount);
        } else if (localName == "author") {
            startAuthor(Owner::Document);
        } else if (localName == "extensions") {
            m_scratch.clear();
            keepElement(prefix, localName, namespaces, namespaceCount, attributes, attributeCount, m_scratch,
                        true);
            m_frames.back().metadataExtensions = true;
        } else if (localName == "copyright" || localName == "keywords") {
            keepElement(prefix, localName, namespaces, namespaceCount, attributes, attributeCount,
                        m_metadataElements, true);
        } else {
            push(FrameKind::Skip); // time and bounds are written anew
        }
    }

    // ---- tracks and routes ------------------------------------------------------------

    void startInTrack(std::string_view prefix, std::string_view localName, const Namespace* namespaces,
                      std::size_t namespaceCount, const Attribute* attributes, std::size_t attributeCount) {
        if (localName == "name") {
            pushTextFor(TextTarget::ItemName);
        } else if (localName == "desc") {
            pushTextFor(TextTarget::ItemDescription);
        } else if (localName == "link" || localName == "url") {
            startLink(Owner::Item, attributes, attributeCount);
        } else if (localName == "trkseg") {
            m_template.segments.emplace_back();
            push(FrameKind::Segment);
        } else if (localName == "rtept") {
            m_template.routePoints.push_back(makePoint(attributes, attributeCount));
            push(FrameKind::Point);
        } else if (localName == "extensions") {
            m_scratch.clear();
            keepElement(prefix, localName, namespaces, namespaceCount, attributes, attributeCount, m_scratch,
                        true);
            m_frames.back().colourExtensions = true;
        } else {
            keepElement(prefix, localName, namespaces, namespaceCount, attributes, attributeCount, m_itemElements,
                        true);
        }
    }

    void endTrack() {
        auto elements = m_itemElements.takeList();
        auto makeItem = [&](PointList points) {
            auto item = GPSItem::item();
            item->setXMLElements(elements);
            if (m_template.name)
                item->setItemName(*m_template.name);
            item->setItemType(m_template.type);
            item->setItemPoints(std::move(points));
            if (m_template.link)
                item->setItemLink(*m_template.link);
            if (m_template.description)
                item->setItemDescription(*m_template.description);
            item->setItemColor(m_template.color);
            m_items.push_back(std::move(item));
        };
        for (auto& segment : m_template.segments)
            if (!segment.empty())
                makeItem(std::move(segment));
        if (!m_template.routePoints.empty())
            makeItem(std::move(m_template.routePoints));
        m_template.reset(GPSItemType::Track);
    }

    // ---- points and waypoints ---------------------------------------------------------

    GPSPointPtr makePoint(const Attribute* attributes, std::size_t attributeCount) {
        double lon = 0, lat = 0;
        for (std::size_t i = 0; i < attributeCount; ++i) {
            const auto& a = attributes[i];
            if (!a.prefix.empty())
                continue;
            if (a.localName == "lon")
                lon = readLenientNumber(a.value);
            else if (a.localName == "lat")
                lat = readLenientNumber(a.value);
        }
        auto point = std::make_shared<GPSPoint>();
        point->setLongitude(lon);
        point->setLatitude(lat);
        m_point = point;
        return point;
    }

    void startInPoint(std::string_view prefix, std::string_view localName, const Namespace* namespaces,
                      std::size_t namespaceCount, const Attribute* attributes, std::size_t attributeCount,
                      bool waypoint) {
        if (localName == "time") {
            pushTextFor(TextTarget::PointTime);
        } else if (localName == "ele") {
            pushTextFor(TextTarget::PointElevation);
        } else if (waypoint && localName == "name") {
            pushTextFor(TextTarget::ItemName);
        } else if (waypoint && localName == "desc") {
            pushTextFor(TextTarget::ItemDescription);
        } else if (waypoint && localName == "sym") {
            pushTextFor(TextTarget::WaypointSymbol);
        } else if (waypoint && localName == "type") {
            pushTextFor(TextTarget::WaypointType);
        } else if (waypoint && (localName == "link" || localName == "url")) {
            startLink(Owner::Item, attributes, attributeCount);
        } else {
            // A waypoint's other elements belong to the item, a track point's to the point.
            keepElement(prefix, localName, namespaces, namespaceCount, attributes, attributeCount,
                        waypoint ? m_itemElements : m_pointElements, true);
        }
    }

    void endPoint() {
        if (m_point && !m_pointElements.empty())
            m_point->setXMLElements(m_pointElements.takeList());
        m_pointElements.clear();
        m_point.reset();
    }

    void endWaypoint() {
        auto item = GPSItem::item();
        item->setXMLElements(m_itemElements.takeList());
        item->setItemType(GPSItemType::Waypoint);
        item->setItemPoints({m_template.waypointPoint});
        if (m_template.name)
            item->setItemName(*m_template.name);
        if (m_template.description)
            item->setItemDescription(*m_template.description);
        if (m_template.symbol)
            item->setWptSym(*m_template.symbol);
        if (m_template.waypointType)
            item->setWptType(*m_template.waypointType);
        if (m_template.link)
            item->setItemLink(*m_template.link);
        m_items.push_back(std::move(item));
        m_template.reset(GPSItemType::Track);
        m_point.reset();
    }

    // ---- texts, links, authors --------------------------------------------------------

    void pushTextFor(TextTarget target) {
        Frame f{FrameKind::Text};
        f.target = target;
        pushText(f);
    }

    void endText(const Frame& frame) {
        --m_captureDepth;
        if (frame.target == TextTarget::None)
            return;
        std::string_view text = frameText(frame);
        switch (frame.target) {
        case TextTarget::DocumentName:
            m_document->setDocumentName(text);
            break;
        case TextTarget::DocumentDescription:
            m_document->setDocumentDescription(text);
            break;
        case TextTarget::ItemName:
            m_template.name = std::string(text);
            break;
        case TextTarget::ItemDescription:
            m_template.description = std::string(text);
            break;
        case TextTarget::WaypointSymbol:
            m_template.symbol = std::string(text);
            break;
        case TextTarget::WaypointType:
            m_template.waypointType = std::string(text);
            break;
        case TextTarget::PointTime:
            if (m_point)
                m_point->setTime(GPXTime::parse(text));
            break;
        case TextTarget::PointElevation:
            if (m_point)
                m_point->setElevation(readLenientNumber(text));
            break;
        case TextTarget::AuthorName:
            m_authorNameFound = true;
            m_authorName = std::string(text);
            break;
        case TextTarget::None:
            break;
        }
    }

    void startLink(Owner owner, const Attribute* attributes, std::size_t attributeCount) {
        Frame f{FrameKind::Link};
        f.owner = owner;
        m_linkHref.reset();
        for (std::size_t i = 0; i < attributeCount; ++i)
            if (attributes[i].prefix.empty() && attributes[i].localName == "href")
                m_linkHref = std::string(attributes[i].value);
        pushText(f);
    }

    void endLink(const Frame& frame) {
        --m_captureDepth;
        std::string link = m_linkHref ? *m_linkHref : std::string(frameText(frame));
        m_linkHref.reset();
        if (frame.owner == Owner::Document)
            m_document->setDocumentLink(link);
        else
            m_template.link = std::move(link);
    }

    void startAuthor(Owner owner) {
        Frame f{FrameKind::Author};
        f.owner = owner;
        m_authorNameFound = false;
        m_authorName.clear();
        pushText(f);
    }

    void endAuthor(const Frame& frame) {
        --m_captureDepth;
        m_document->setDocumentAuthor(m_authorNameFound ? std::string_view(m_authorName) : frameText(frame));
        m_authorNameFound = false;
    }

    // ---- kept elements ----------------------------------------------------------------

    void keepElement(std::string_view prefix, std::string_view localName, const Namespace* namespaces,
                     std::size_t namespaceCount, const Attribute* attributes, std::size_t attributeCount,
                     XMLFragmentEncoder& encoder, bool topLevel) {
        encoder.beginElement(prefix, localName);
        for (std::size_t i = 0; i < namespaceCount; ++i)
            encoder.addNamespace(namespaces[i].prefix, namespaces[i].uri);
        if (topLevel) {
            // Declarations inherited from the elements between the root and this one. The
            // element's own declarations were pushed onto the scope just before this call.
            const std::size_t inherited = m_scope.size() - namespaceCount;
            for (std::size_t i = 0; i < inherited; ++i) {
                const auto& decl = m_scope[i];
                bool shadowed = false;
                for (std::size_t j = i + 1; j < m_scope.size() && !shadowed; ++j)
                    shadowed = m_scope[j].prefix == decl.prefix;
                if (!shadowed)
                    encoder.addNamespace(decl.prefix, decl.uri);
            }
        }
        for (std::size_t i = 0; i < attributeCount; ++i)
            encoder.addAttribute(attributes[i].prefix, attributes[i].localName, attributes[i].value);
        Frame f{FrameKind::Keep};
        f.encoder = &encoder;
        m_frames.push_back(f);
    }

    void endKept(const Frame& frame) {
        // Whitespace is content only in an element without child elements.
        if (!frame.hasChildElements)
            flushPendingWhitespace(*frame.encoder);
        m_pendingWhitespace.clear();
        frame.encoder->endElement();
        if (frame.colourExtensions) {
            XMLElement extensions = m_scratch.takeElement();
            auto colourName = extensions.childNamed("gpxx:TrackExtension").childNamed("gpxx:DisplayColor");
            m_template.color = colourName ? ItemColor::itemColorFromString(colourName.stringValue()) : std::nullopt;
            m_itemElements.appendElement(extensions);
        } else if (frame.metadataExtensions) {
            m_document->setMetadataExtensions(m_scratch.takeElement());
        }
    }

    // ---- end of input -----------------------------------------------------------------

    // A truncated file leaves elements open: what was read of them is kept.
    void finishOpenFrames() {
        while (!m_frames.empty())
            endElement();
    }

    XMLSaxParser m_parser;
    std::shared_ptr<GPSDocument> m_document;
    ItemList m_items;
    std::vector<Frame> m_frames;
    std::vector<XMLNamespaceDecl> m_scope;
    ItemTemplate m_template;
    GPSPointPtr m_point;

    std::string m_text;
    std::string m_pendingWhitespace;
    int m_captureDepth = 0;
    std::optional<std::string> m_linkHref;
    bool m_authorNameFound = false;
    std::string m_authorName;

    XMLFragmentEncoder m_documentElements;
    XMLFragmentEncoder m_metadataElements;
    XMLFragmentEncoder m_itemElements;
    XMLFragmentEncoder m_pointElements;
    XMLFragmentEncoder m_scratch;

    bool m_rootIsGPX = false;
    bool m_rootClosed = false;
};

// Inflates gzip-compressed input as it arrives.
class GPXParser::Inflater {
public:
    Inflater() {
        std::memset(&m_stream, 0, sizeof m_stream);
        m_ok = inflateInit2(&m_stream, 15 + 32) == Z_OK; // gzip or zlib header
    }
    ~Inflater() { inflateEnd(&m_stream); }

    // Calls `out` with every inflated chunk; false when the data is corrupt.
    template <typename Out> bool inflate(const char* bytes, std::size_t size, Out&& out) {
        if (!m_ok)
            return false;
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes));
        m_stream.avail_in = static_cast<uInt>(size);
        while (m_stream.avail_in > 0) {
            char buffer[1 << 16];
            m_stream.next_out = reinterpret_cast<Bytef*>(buffer);
            m_stream.avail_out = sizeof buffer;
            int status = ::inflate(&m_stream, Z_NO_FLUSH);
            std::size_t produced = sizeof buffer - m_stream.avail_out;
            if (produced)
                out(buffer, produced);
            if (status == Z_STREAM_END) {
                // Concatenated gzip members continue with a fresh stream.
                if (m_stream.avail_in == 0 || inflateReset(&m_stream) != Z_OK)
                    break;
                continue;
            }
            if (status != Z_OK && status != Z_BUF_ERROR) {
                m_ok = false;
                return false;
            }
            if (status == Z_BUF_ERROR && produced == 0)
                break;
        }
        return true;
    }

private:
    z_stream m_stream;
    bool m_ok = false;
};

GPXParser::GPXParser() : m_handler(std::make_unique<Handler>()) {}
GPXParser::~GPXParser() = default;

WendError GPXParser::couldNotLoadError() {
    return WendError::errorWithCode(0, "Couldn't Load GPX Data", "The selected file does not contain valid GPX data");
}

WendError GPXParser::warningForRepair(const std::string& xmlError) {
    return WendError::errorWithCode(
        0, "Warning", "An error occurred while loading the document. Some data may be missing or corrupt:\n\n" + xmlError);
}

void GPXParser::feedXML(const char* bytes, std::size_t size) { m_handler->parser().feed(bytes, size); }

void GPXParser::feed(const char* bytes, std::size_t size) {
    if (!m_started) {
        // Two bytes tell gzip from XML.
        m_head.append(bytes, size);
        if (m_head.size() < 2)
            return;
        m_started = true;
        if (static_cast<unsigned char>(m_head[0]) == 0x1f && static_cast<unsigned char>(m_head[1]) == 0x8b)
            m_inflater = std::make_unique<Inflater>();
        std::string head = std::move(m_head);
        m_head.clear();
        feed(head.data(), head.size());
        return;
    }
    if (m_inflater) {
        if (!m_inflater->inflate(bytes, size, [&](const char* out, std::size_t n) { feedXML(out, n); }))
            m_handler->parser().recordError("the compressed data is corrupt", 0, false);
        return;
    }
    feedXML(bytes, size);
}

GPXReadResult GPXParser::finish() {
    if (!m_started && !m_head.empty()) {
        m_started = true;
        std::string head = std::move(m_head);
        feedXML(head.data(), head.size());
    }
    return m_handler->result();
}

GPXReadResult GPXParser::parseData(std::string_view bytes) {
    GPXParser parser;
    parser.feed(bytes.data(), bytes.size());
    return parser.finish();
}

GPXReadResult GPXParser::parseFile(const std::string& path,
                                   const std::function<void(std::size_t, std::size_t)>& progress) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        GPXReadResult result;
        result.error = WendError::errorWithCode(0, "Couldn't Load GPX Data",
                                                "The file could not be opened: " + std::string(std::strerror(errno)));
        return result;
    }
    std::size_t total = 0;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        long size = std::ftell(file);
        total = size > 0 ? static_cast<std::size_t>(size) : 0;
        std::fseek(file, 0, SEEK_SET);
    }
    GPXParser parser;
    std::vector<char> buffer(1 << 18);
    std::size_t done = 0;
    bool readFailed = false;
    while (true) {
        std::size_t n = std::fread(buffer.data(), 1, buffer.size(), file);
        if (n > 0) {
            parser.feed(buffer.data(), n);
            done += n;
            if (progress)
                progress(done, total);
        }
        if (n < buffer.size()) {
            readFailed = std::ferror(file) != 0;
            break;
        }
    }
    int readErrno = errno;
    std::fclose(file);
    GPXReadResult result = parser.finish();
    if (readFailed) {
        // What was read is kept, but the user must know that the file was not read whole.
        std::string reason = "The file could not be read completely: " + std::string(std::strerror(readErrno));
        if (result.document)
            result.error = warningForRepair(reason);
        else
            result.error = WendError::errorWithCode(0, "Couldn't Load GPX Data", reason);
    }
    return result;
}

} // namespace wend
