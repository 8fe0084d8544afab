#include "core/formats/GPXParser.h"

#include "core/base/LenientNumber.h"
#include "core/formats/GPX10RootFields.h"
#include "core/formats/KeptFieldElements.h"
#include "core/formats/MisplacedValues.h"
#include "core/formats/XMLNamespaceManager.h"
#include "core/model/GPXTime.h"
#include "core/model/XMLElementBuilder.h"
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
    Author,   // a GPX 1.0 author at the root
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
    // GPX 1.0 forms, moved to their GPX 1.1 places when their element ends.
    RootName,
    RootDescription,
    RootEmail,
    URL,
    URLName,
    Speed,
    Course,
};

struct Frame {
    FrameKind kind;
    TextTarget target = TextTarget::None;
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

bool isGPXNamespace(std::string_view uri) {
    return uri == "http://www.topografix.com/GPX/1/1" || uri == "http://www.topografix.com/GPX/1/0";
}

// The fields of the trk, rte or wpt being read. A track becomes one item per non-empty
// segment, all sharing these properties.
struct ItemTemplate {
    GPSItemType type = GPSItemType::Track;
    std::optional<std::string> name, description, symbol, waypointType;
    std::optional<ItemColor> color;
    std::vector<PointList> segments;
    std::vector<XMLElement> segmentContent; // per segment: a trkseg holding its extensions, or null
    PointList routePoints;
    GPSPointPtr waypointPoint;

    void reset(GPSItemType newType) {
        type = newType;
        name.reset();
        description.reset();
        symbol.reset();
        waypointType.reset();
        color.reset();
        segments.clear();
        segmentContent.clear();
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
        const std::string leftOut = finishMetadata();
        XMLElementList documentElements = m_documentElements.takeList();
        if (!m_rootMisplaced.empty())
            documentElements = m_rootMisplaced.takeInto(documentElements, m_naming);
        if (!documentElements.empty())
            m_document->setXMLElements(documentElements);
        result.document = m_document;
        if (m_parser.hadError())
            result.error =
                warningForRepair(m_parser.firstError() + (leftOut.empty() ? "" : "\n\n" + leftOut));
        else if (!leftOut.empty())
            result.error = warningForRepair(leftOut);
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
                startInSegment(prefix, localName, namespaces, namespaceCount, attributes,
                               attributeCount);
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
        case FrameKind::Point:
            endPoint();
            break;
        case FrameKind::Waypoint:
            endWaypoint();
            break;
        case FrameKind::Segment:
            endSegment();
            break;
        case FrameKind::Track:
            endTrack();
            break;
        case FrameKind::Root:
            m_rootClosed = true;
            break;
        case FrameKind::Metadata:
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
        if (kind == FrameKind::Text || kind == FrameKind::Author) {
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

    // Whether an element directly inside a GPX element belongs to another namespace, so that
    // GPX 1.1 keeps it in the extensions. A prefix the file never bound counts as another.
    // Unprefixed elements are written in GPX 1.1's namespace, unless a declaration below the
    // root (which they take along) binds them elsewhere.
    bool isForeign(std::string_view prefix, std::string_view localName) const {
        if (prefix.empty() && m_scope.empty())
            return false; // the common case
        if (localName == "extensions")
            return false;
        for (auto it = m_scope.rbegin(); it != m_scope.rend(); ++it)
            if (it->prefix == prefix)
                return !it->uri.empty() && !isGPXNamespace(it->uri);
        if (prefix.empty())
            return false;
        for (const auto& declaration : m_document->XMLNamespaces())
            if (declaration.prefix == prefix)
                return !isGPXNamespace(declaration.uri);
        return true;
    }

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
        m_naming = MisplacedValues::Naming::forRoot(m_document->XMLNamespaces());
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
            pushTextFor(TextTarget::RootName);
        } else if (localName == "desc") {
            pushTextFor(TextTarget::RootDescription);
        } else if (localName == "author") {
            startAuthor();
        } else if (localName == "email") {
            pushTextFor(TextTarget::RootEmail);
        } else if (localName == "url") {
            pushTextFor(TextTarget::URL);
        } else if (localName == "urlname") {
            pushTextFor(TextTarget::URLName);
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
                        isForeign(prefix, localName) ? m_rootMisplaced.foreignElements()
                                                     : m_documentElements,
                        true);
        }
    }

    void startInMetadata(std::string_view prefix, std::string_view localName, const Namespace* namespaces,
                         std::size_t namespaceCount, const Attribute* attributes, std::size_t attributeCount) {
        if (localName == "name") {
            m_metadataName = true;
            pushTextFor(TextTarget::DocumentName);
        } else if (localName == "desc") {
            m_metadataDescription = true;
            pushTextFor(TextTarget::DocumentDescription);
        } else if (localName == "link" || localName == "author") {
            // Kept whole; the link and author fields are read from them at the end.
            keepElement({}, localName, namespaces, namespaceCount, attributes, attributeCount,
                        m_metadataElements, true);
        } else if (localName == "extensions") {
            m_scratch.clear();
            keepElement(prefix, localName, namespaces, namespaceCount, attributes, attributeCount, m_scratch,
                        true);
            m_frames.back().metadataExtensions = true;
        } else if (localName == "copyright" || localName == "keywords") {
            keepElement(prefix, localName, namespaces, namespaceCount, attributes, attributeCount,
                        m_metadataElements, true);
        } else if (isForeign(prefix, localName)) {
            keepElement(prefix, localName, namespaces, namespaceCount, attributes, attributeCount,
                        m_metadataMisplaced.foreignElements(), true);
        } else {
            push(FrameKind::Skip); // time and bounds are written anew
        }
    }

    // The root's GPX 1.0 fields and the metadata's kept elements complete the metadata;
    // returns the warning's text naming what was left out.
    std::string finishMetadata() {
        if (!m_metadataMisplaced.empty()) {
            const XMLElement& kept = m_document->metadataExtensions();
            m_document->setMetadataExtensions(m_metadataMisplaced.takeInto(
                kept ? XMLElementList{kept} : XMLElementList(), m_naming)[0]);
        }
        m_root.link = m_rootMisplaced.takeLink();
        return m_root.moveIntoMetadata(*m_document, m_metadataElements.takeList().toVector(),
                                       m_metadataName, m_metadataDescription);
    }

    // ---- tracks and routes ------------------------------------------------------------

    void startInTrack(std::string_view prefix, std::string_view localName, const Namespace* namespaces,
                      std::size_t namespaceCount, const Attribute* attributes, std::size_t attributeCount) {
        if (localName == "name") {
            pushTextFor(TextTarget::ItemName);
        } else if (localName == "desc") {
            pushTextFor(TextTarget::ItemDescription);
        } else if (localName == "link") {
            keepElement({}, localName, namespaces, namespaceCount, attributes, attributeCount,
                        m_itemElements, true);
        } else if (localName == "url") {
            pushTextFor(TextTarget::URL);
        } else if (localName == "urlname") {
            pushTextFor(TextTarget::URLName);
        } else if (localName == "trkseg") {
            m_template.segments.emplace_back();
            m_template.segmentContent.emplace_back();
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
            keepElement(prefix, localName, namespaces, namespaceCount, attributes, attributeCount,
                        isForeign(prefix, localName) ? m_itemMisplaced.foreignElements()
                                                     : m_itemElements,
                        true);
        }
    }

    void startInSegment(std::string_view prefix, std::string_view localName,
                        const Namespace* namespaces, std::size_t namespaceCount,
                        const Attribute* attributes, std::size_t attributeCount) {
        if (localName == "extensions") {
            keepElement(prefix, localName, namespaces, namespaceCount, attributes, attributeCount,
                        m_segmentElements, true);
        } else if (isForeign(prefix, localName)) {
            keepElement(prefix, localName, namespaces, namespaceCount, attributes, attributeCount,
                        m_segmentMisplaced.foreignElements(), true);
        } else {
            push(FrameKind::Skip);
        }
    }

    // A segment's extensions travel with its item as a kept trkseg, which the writer merges
    // into the segment it writes.
    void endSegment() {
        if (m_segmentElements.empty() && m_segmentMisplaced.empty())
            return;
        XMLElementBuilder segment("trkseg");
        for (auto e : m_segmentMisplaced.takeInto(m_segmentElements.takeList(), m_naming))
            segment.appendChild(e);
        m_template.segmentContent.back() = segment.build();
    }

    // The item's kept elements with its misplaced values in their places.
    XMLElementList finishItemElements() {
        XMLElementList elements = m_itemElements.takeList();
        if (!m_itemMisplaced.empty())
            elements = m_itemMisplaced.takeInto(elements, m_naming);
        return elements;
    }

    void endTrack() {
        const XMLElementList elements = finishItemElements();
        const std::string link = KeptFieldElements::linkField(elements);
        auto makeItem = [&](PointList points, const XMLElement& segmentContent) {
            auto item = GPSItem::item();
            item->setXMLElements(segmentContent ? elements.appending(segmentContent) : elements);
            if (m_template.name)
                item->setItemName(*m_template.name);
            item->setItemType(m_template.type);
            item->setItemPoints(std::move(points));
            item->setItemLink(link);
            if (m_template.description)
                item->setItemDescription(*m_template.description);
            item->setItemColor(m_template.color);
            m_items.push_back(std::move(item));
        };
        for (std::size_t i = 0; i < m_template.segments.size(); ++i)
            if (!m_template.segments[i].empty())
                makeItem(std::move(m_template.segments[i]), m_template.segmentContent[i]);
        if (!m_template.routePoints.empty())
            makeItem(std::move(m_template.routePoints), XMLElement());
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
        } else {
            // A waypoint's other elements belong to the item, a track point's to the point.
            XMLFragmentEncoder* kept = waypoint ? &m_itemElements : &m_pointElements;
            if (localName != "extensions") // the common case needs no more looks
                kept = placeInPoint(prefix, localName, waypoint, kept);
            if (kept)
                keepElement(prefix, localName, namespaces, namespaceCount, attributes, attributeCount,
                            *kept, true);
        }
    }

    // Where an element of a point other than its time, elevation and the fields of a waypoint
    // goes: GPX 1.0 values become texts for their GPX 1.1 places (no encoder then), elements
    // of other namespaces go to the extensions, a waypoint's link is kept unprefixed (its link
    // field is read from it), the rest stays where given. Out of line, so that the compiler
    // keeps the path of every point's common elements as short as it was.
    [[gnu::noinline]] XMLFragmentEncoder* placeInPoint(std::string_view& prefix, std::string_view localName, bool waypoint,
                                     XMLFragmentEncoder* kept) {
        const TextTarget target = localName == "speed"     ? TextTarget::Speed
                                  : localName == "course"  ? TextTarget::Course
                                  : localName == "url"     ? TextTarget::URL
                                  : localName == "urlname" ? TextTarget::URLName
                                                           : TextTarget::None;
        if (target != TextTarget::None) {
            pushTextFor(target);
            return nullptr;
        }
        if (isForeign(prefix, localName))
            return &(waypoint ? m_itemMisplaced : m_pointMisplaced).foreignElements();
        if (waypoint && localName == "link")
            prefix = {};
        return kept;
    }

    void endPoint() {
        if (!m_pointMisplaced.empty()) {
            if (m_point)
                m_point->setXMLElements(
                    m_pointMisplaced.takeInto(m_pointElements.takeList(), m_naming));
            m_pointMisplaced.clear();
        } else if (m_point && !m_pointElements.empty()) {
            m_point->setXMLElements(m_pointElements.takeList());
        }
        m_pointElements.clear();
        m_point.reset();
    }

    void endWaypoint() {
        auto item = GPSItem::item();
        const XMLElementList elements = finishItemElements();
        item->setXMLElements(elements);
        item->setItemLink(KeptFieldElements::linkField(elements));
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
        m_items.push_back(std::move(item));
        m_template.reset(GPSItemType::Track);
        m_point.reset();
    }

    // ---- texts and the GPX 1.0 author -------------------------------------------------

    void pushTextFor(TextTarget target) {
        Frame f{FrameKind::Text};
        f.target = target;
        pushText(f);
    }

    // Where a GPX 1.0 url, urlname, speed or course goes: to the values of the element
    // holding it (the frame below its own).
    MisplacedValues& misplacedValuesOfHolder() {
        switch (m_frames.empty() ? FrameKind::Root : m_frames.back().kind) {
        case FrameKind::Root:
            return m_rootMisplaced;
        case FrameKind::Point:
            return m_pointMisplaced;
        default:
            return m_itemMisplaced;
        }
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
        default:
            takeMisplacedText(frame.target, text);
            break;
        case TextTarget::None:
            break;
        }
    }

    // The text of a GPX 1.0 form, kept for its GPX 1.1 place.
    void takeMisplacedText(TextTarget target, std::string_view text) {
        switch (target) {
        case TextTarget::RootName:
            m_root.name = std::string(text);
            break;
        case TextTarget::RootDescription:
            m_root.description = std::string(text);
            break;
        case TextTarget::RootEmail:
            m_root.email = std::string(text);
            break;
        case TextTarget::URL:
            misplacedValuesOfHolder().setURL(text);
            break;
        case TextTarget::URLName:
            misplacedValuesOfHolder().setURLName(text);
            break;
        case TextTarget::Speed:
            misplacedValuesOfHolder().addTrackPointValue("speed", text);
            break;
        case TextTarget::Course:
            misplacedValuesOfHolder().addTrackPointValue("course", text);
            break;
        default:
            break;
        }
    }

    void startAuthor() {
        Frame f{FrameKind::Author};
        m_authorNameFound = false;
        m_authorName.clear();
        pushText(f);
    }

    void endAuthor(const Frame& frame) {
        --m_captureDepth;
        m_root.author = m_authorNameFound ? m_authorName : std::string(frameText(frame));
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
    bool m_authorNameFound = false;
    std::string m_authorName;

    XMLFragmentEncoder m_documentElements;
    XMLFragmentEncoder m_metadataElements;
    XMLFragmentEncoder m_itemElements;
    XMLFragmentEncoder m_segmentElements;
    XMLFragmentEncoder m_pointElements;
    XMLFragmentEncoder m_scratch;

    // GPX 1.0 forms and elements of other namespaces, per level being read.
    GPX10RootFields m_root;
    MisplacedValues m_rootMisplaced;
    MisplacedValues m_metadataMisplaced;
    MisplacedValues m_itemMisplaced;
    MisplacedValues m_segmentMisplaced;
    MisplacedValues m_pointMisplaced;
    MisplacedValues::Naming m_naming;
    bool m_metadataName = false;
    bool m_metadataDescription = false;

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
