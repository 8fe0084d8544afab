#include "core/formats/GPXWriter.h"

#include "core/formats/KeptFieldElements.h"
#include "core/formats/XMLNamespaceManager.h"
#include "core/model/GPXTime.h"
#include "core/model/XMLElementBuilder.h"
#include "core/model/XMLStreamWriter.h"

#include <array>
#include <charconv>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <string_view>

namespace wend {

namespace {

using Names = std::vector<std::string_view>;

const Names kRootChildren = {"metadata", "wpt", "rte", "trk", "extensions"};
const Names kTrackChildren = {"name", "cmt", "desc", "src", "link", "number", "type", "extensions", "rtept", "trkseg"};
const Names kPointChildren = {"ele",  "time", "magvar", "geoidheight", "name",          "cmt",    "desc",
                              "src",  "link", "sym",    "type",        "fix",           "sat",    "hdop",
                              "vdop", "pdop", "ageofdgpsdata",         "dgpsid",        "extensions"};

constexpr std::size_t kNoRank = static_cast<std::size_t>(-1);

std::size_t rankIn(const Names& names, std::string_view name) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return i;
    return kNoRank;
}

// "%f": fixed notation, six decimals, a point, no exponent. Positions without a value are
// written as 0 so that the file stays readable by every peer.
struct FixedNumber {
    explicit FixedNumber(double value) {
        if (!std::isfinite(value))
            value = 0.0;
        auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 6);
        length = static_cast<std::size_t>(r.ptr - buffer.data());
    }
    std::string_view view() const { return std::string_view(buffer.data(), length); }

    std::array<char, 352> buffer{};
    std::size_t length = 0;
};

struct TimeText {
    explicit TimeText(Instant time) : length(GPXTime::format(time, buffer.data())) {}
    std::string_view view() const { return std::string_view(buffer.data(), length); }

    std::array<char, GPXTime::kMaxLength> buffer{};
    std::size_t length = 0;
};

using PrefixSet = std::set<std::string, std::less<>>;

void addPrefix(PrefixSet& prefixes, std::string_view prefix) {
    if (prefixes.find(prefix) == prefixes.end())
        prefixes.insert(std::string(prefix));
}

// Adds the prefix of an element or attribute name unless the subtree declares it itself.
void addPrefixOfName(std::string_view name, const std::vector<std::string_view>& declared, PrefixSet& prefixes) {
    std::string_view prefix = prefixOfQualifiedName(name);
    if (prefix == "xml" || prefix == "xmlns" || prefix == "xsi") // xsi is always declared
        return;
    for (auto d : declared)
        if (d == prefix)
            return;
    addPrefix(prefixes, prefix);
}

// Prefixes used by elements and attributes of a kept subtree that the subtree does not declare itself.
void collectPrefixes(const unsigned char* record, std::vector<std::string_view>& declared,
                     PrefixSet& prefixes) {
    auto h = detail::ElementHeader::parse(record);
    const std::size_t mark = declared.size();
    const unsigned char* p = h.namespaces;
    for (std::uint32_t i = 0; i < h.namespaceCount; ++i) {
        declared.push_back(detail::readString(p));
        detail::readString(p);
    }
    addPrefixOfName(h.name, declared, prefixes);
    p = h.attributes;
    for (std::uint32_t i = 0; i < h.attributeCount; ++i) {
        std::string_view name = detail::readString(p);
        detail::readString(p);
        if (name.find(':') != std::string_view::npos) // unprefixed attributes need no namespace
            addPrefixOfName(name, declared, prefixes);
    }
    for (const unsigned char* c = h.children; c < h.end; c += detail::recordSize(c))
        if (detail::recordKind(c) == detail::RecordKind::Element)
            collectPrefixes(c, declared, prefixes);
    declared.resize(mark);
}

void collectPrefixes(const XMLElement& element, PrefixSet& prefixes) {
    if (element.isNull())
        return;
    std::vector<std::string_view> declared;
    collectPrefixes(element.record(), declared, prefixes);
}

void collectPrefixes(const XMLElementBuilder& element, PrefixSet& prefixes,
                     std::vector<std::string_view>& declared) {
    const std::size_t mark = declared.size();
    for (const auto& ns : element.namespaces())
        declared.push_back(ns.prefix);
    addPrefixOfName(element.name(), declared, prefixes);
    for (const auto& attribute : element.attributes())
        if (attribute.name.find(':') != std::string::npos)
            addPrefixOfName(attribute.name, declared, prefixes);
    for (const auto& child : element.children()) {
        if (!child.isElement())
            continue;
        if (child.builder) {
            collectPrefixes(*child.builder, prefixes, declared);
        } else {
            std::vector<std::string_view> inner(declared);
            collectPrefixes(child.element.record(), inner, prefixes);
        }
    }
    declared.resize(mark);
}

// A child of a point or waypoint that the writer fills from the model.
struct Override {
    std::string_view name;
    std::string_view text;
};

// The kept elements of a point (or waypoint) that survive the schema order, with their rank.
struct RankedElements {
    std::vector<std::pair<std::size_t, XMLElement>> elements;

    explicit RankedElements(const XMLElementList& list) {
        for (auto e : list) {
            std::size_t rank = rankIn(kPointChildren, e.name());
            if (rank != kNoRank)
                elements.emplace_back(rank, e);
        }
    }
};

void collectPrefixesOfPointElements(const XMLElementList& list, PrefixSet& prefixes) {
    for (auto e : list)
        if (rankIn(kPointChildren, e.name()) != kNoRank)
            collectPrefixes(e, prefixes);
}

class DocumentWriter {
public:
    DocumentWriter(const GPSDocument& document, const GPXWriteOptions& options)
        : m_document(document), m_options(options) {}

    GPXWriteResult write(ByteSink& sink) {
        GPXWriteResult result;
        buildRootChildren();
        XMLElementBuilder root = rootElement(result.warnings);

        XMLStreamWriter writer(sink, /*indent=*/true);
        writer.startDocument();
        // version and creator lead, as readers of GPX expect to see them first.
        writer.startElement(root.name());
        for (const auto& a : root.attributes())
            if (a.name == "version" || a.name == "creator")
                writer.writeAttribute(a.name, a.value);
        for (const auto& ns : root.namespaces())
            writer.writeNamespace(ns.prefix, ns.uri);
        for (const auto& a : root.attributes())
            if (a.name != "version" && a.name != "creator")
                writer.writeAttribute(a.name, a.value);
        for (const auto& child : m_rootChildren) {
            if (child.metadata)
                writer.writeElement(*m_metadata);
            else if (child.item)
                writeItem(writer, *child.item);
            else
                writer.writeElement(child.kept);
        }
        writer.endElement();
        result.ok = writer.finish();
        return result;
    }

private:
    struct RootChild {
        std::string_view name;
        bool metadata = false;
        const GPSItem* item = nullptr;
        XMLElement kept;
    };

    // ---- structure ---------------------------------------------------------------------

    void buildRootChildren() {
        m_metadata = metadataElement();
        std::vector<RootChild> children;
        children.push_back({"metadata", true, nullptr, {}});
        for (const auto& item : m_document.documentItems()) {
            switch (item->itemType()) {
            case GPSItemType::Track:
                children.push_back({"trk", false, item.get(), {}});
                break;
            case GPSItemType::Route:
                children.push_back({"rte", false, item.get(), {}});
                break;
            case GPSItemType::Waypoint:
                if (!item->itemPoints().empty()) // a waypoint needs its position
                    children.push_back({"wpt", false, item.get(), {}});
                break;
            case GPSItemType::Unknown:
                break;
            }
        }
        // Kept root elements stay after the items, in the schema's order.
        std::vector<RootChild> kept;
        for (auto e : m_document.XMLElements())
            kept.push_back({e.name(), false, nullptr, e});
        for (auto name : kRootChildren)
            for (auto& k : kept)
                if (k.name == name)
                    children.push_back(k);
        if (m_options.saveGarminFriendly) {
            for (auto name : kRootChildren)
                for (auto& c : children)
                    if (c.name == name)
                        m_rootChildren.push_back(c);
        } else {
            m_rootChildren = std::move(children);
        }
    }

    std::unique_ptr<XMLElementBuilder> metadataElement() const {
        auto metadata = std::make_unique<XMLElementBuilder>("metadata");
        if (!m_document.documentName().empty())
            metadata->appendChild(XMLElementBuilder("name", m_document.documentName()));
        if (!m_document.documentDescription().empty())
            metadata->appendChild(XMLElementBuilder("desc", m_document.documentDescription()));
        // The kept author, copyright notice, links and keywords go back to their places.
        XMLElement author;
        for (auto e : m_document.metadataElements())
            if (e.name() == "author")
                author = e;
        if (XMLElement written =
                KeptFieldElements::authorToWrite(author, m_document.documentAuthor()))
            metadata->appendChild(written);
        for (auto e : m_document.metadataElements())
            if (e.name() == "copyright")
                metadata->appendChild(e);
        for (const auto& link : KeptFieldElements::linksToWrite(m_document.metadataElements(),
                                                                m_document.documentLink()))
            metadata->appendChild(link);
        Instant now = m_options.metadataTime.value_or(Instant::now());
        metadata->appendChild(XMLElementBuilder("time", TimeText(now).view()));
        for (auto e : m_document.metadataElements())
            if (e.name() == "keywords")
                metadata->appendChild(e);
        if (!m_document.metadataExtensions().isNull())
            metadata->appendChild(m_document.metadataExtensions());
        return metadata;
    }

    // The trk or rte element without its points; the points are streamed into it.
    static XMLElementBuilder trackElement(const GPSItem& item) {
        XMLElementBuilder element(item.itemType() == GPSItemType::Track ? "trk" : "rte");
        for (auto e : item.XMLElements())
            if (e.name() != "link")
                element.appendChild(e);
        if (auto colourName = ItemColor::stringFromItemColor(item.itemColor())) {
            element.createChildNamed("extensions")
                .createChildNamed("gpxx:TrackExtension")
                .createChildNamed("gpxx:DisplayColor")
                .setStringValue(*colourName);
        }
        if (!item.itemName().empty())
            element.createChildNamed("name").setStringValue(item.itemName());
        if (!item.itemDescription().empty())
            element.createChildNamed("desc").setStringValue(item.itemDescription());
        for (const auto& link :
             KeptFieldElements::linksToWrite(item.XMLElements(), item.itemLink()))
            element.appendChild(link);
        element.filterChildren(kTrackChildren);
        return element;
    }

    XMLElementBuilder& cachedTrackElement(const GPSItem& item) {
        auto it = m_trackElements.find(&item);
        if (it == m_trackElements.end())
            it = m_trackElements.emplace(&item, trackElement(item)).first;
        return it->second;
    }

    // ---- namespaces --------------------------------------------------------------------

    PrefixSet prefixesInUse() {
        PrefixSet prefixes{""}; // the root and every generated element
        std::vector<std::string_view> declared;
        collectPrefixes(*m_metadata, prefixes, declared);
        for (const auto& child : m_rootChildren) {
            if (!child.kept.isNull())
                collectPrefixes(child.kept, prefixes);
            if (!child.item)
                continue;
            if (child.item->itemType() == GPSItemType::Waypoint) {
                collectPrefixesOfPointElements(child.item->XMLElements(), prefixes);
                continue;
            }
            collectPrefixes(cachedTrackElement(*child.item), prefixes, declared);
            for (const auto& point : child.item->itemPoints())
                if (!point->XMLElements().empty())
                    collectPrefixesOfPointElements(point->XMLElements(), prefixes);
        }
        return prefixes;
    }

    XMLElementBuilder rootElement(std::vector<NamespaceWarning>& warnings) {
        XMLElementBuilder root("gpx");
        root.addAttribute("version", "1.1");
        root.addAttribute("creator", GPXWriter::kCreator);

        // Unprefixed elements are written as GPX 1.1, so the default namespace is GPX 1.1
        // whatever the file read declared (a GPX 1.0 file is saved as GPX 1.1).
        std::vector<XMLNamespaceDecl> declarations;
        for (const auto& ns : m_document.XMLNamespaces())
            if (!ns.prefix.empty())
                declarations.push_back(ns);

        std::optional<WendError> first, second, third;
        auto manager = XMLNamespaceManager::namespaceManagerWithNamespaces(
            declarations, m_document.XMLSchemaLocation(), &first);
        auto used = prefixesInUse();
        manager.updateElementWithNamespacesNamed(root, std::vector<std::string>(used.begin(), used.end()), &second);
        manager.updateSchemaLocationsForElement(root, &third);
        if (first)
            warnings.push_back({1, *first});
        if (second)
            warnings.push_back({2, *second});
        if (third)
            warnings.push_back({3, *third});
        return root;
    }

    // ---- items and points --------------------------------------------------------------

    void writeItem(XMLStreamWriter& writer, const GPSItem& item) {
        if (item.itemType() == GPSItemType::Waypoint) {
            writeWaypoint(writer, item);
            return;
        }
        XMLElementBuilder& element = cachedTrackElement(item);
        const bool track = item.itemType() == GPSItemType::Track;
        writer.startElement(element.name());
        for (const auto& ns : element.namespaces())
            writer.writeNamespace(ns.prefix, ns.uri);
        for (const auto& a : element.attributes())
            writer.writeAttribute(a.name, a.value);
        // A track's kept trkseg holds what its segment had besides points (its extensions).
        std::vector<XMLElement> segmentContent;
        bool pointsWritten = false;
        auto writePoints = [&] {
            pointsWritten = true;
            if (track)
                writer.startElement("trkseg");
            for (const auto& point : item.itemPoints())
                writePoint(writer, *point, track ? "trkpt" : "rtept");
            for (const auto& content : segmentContent)
                for (const auto& e : content.childElements())
                    writer.writeElement(e);
            if (track)
                writer.endElement();
        };
        for (const auto& child : element.children()) {
            if (track && !child.builder && child.elementName() == "trkseg") {
                segmentContent.push_back(child.element);
                continue;
            }
            // A route's points come before any kept segments; a track's segment comes last.
            if (!track && !pointsWritten && child.elementName() == "trkseg")
                writePoints();
            if (child.builder)
                writer.writeElement(*child.builder);
            else
                writer.writeElement(child.element);
        }
        if (!pointsWritten)
            writePoints();
        writer.endElement();
        m_trackElements.erase(&item);
    }

    static void writeChildren(XMLStreamWriter& writer, const RankedElements& kept,
                              const Override* overrides, std::size_t overrideCount,
                              const std::vector<XMLElement>* links, bool trustedOverrides) {
        for (std::size_t rank = 0; rank < kPointChildren.size(); ++rank) {
            const Override* override = nullptr;
            for (std::size_t i = 0; i < overrideCount; ++i)
                if (kPointChildren[rank] == overrides[i].name)
                    override = &overrides[i];
            bool first = true;
            for (const auto& [r, e] : kept.elements) {
                if (r != rank)
                    continue;
                if (override && first)
                    writer.writeElementWithText(e, override->text);
                else
                    writer.writeElement(e);
                first = false;
            }
            if (override && first) {
                // Numbers and times need no escaping; names and symbols might.
                if (trustedOverrides || override->name == "ele" || override->name == "time")
                    writer.writeTrustedTextElement(override->name, override->text);
                else
                    writer.writeTextElement(override->name, override->text);
            }
            if (links && kPointChildren[rank] == "link")
                for (const auto& link : *links)
                    writer.writeElement(link);
        }
    }

    // ` lon="…" lat="…"`: numbers only, so the start tag needs no escaping.
    struct PositionAttributes {
        explicit PositionAttributes(const GPSPoint& point) {
            FixedNumber lon(point.longitude()), lat(point.latitude());
            text.reserve(48);
            text.append(" lon=\"").append(lon.view()).append("\" lat=\"").append(lat.view()).append("\"");
        }
        std::string text;
    };

    static void writePoint(XMLStreamWriter& writer, const GPSPoint& point, std::string_view name) {
        writer.startTrustedElement(name, PositionAttributes(point).text);
        std::optional<FixedNumber> elevation;
        std::optional<TimeText> time;
        if (!std::isnan(point.elevation()))
            elevation.emplace(point.elevation());
        if (point.time())
            time.emplace(*point.time());
        if (point.XMLElements().empty()) {
            // The common case: no kept elements, nothing to order.
            if (elevation)
                writer.writeTrustedTextElement("ele", elevation->view());
            if (time)
                writer.writeTrustedTextElement("time", time->view());
        } else {
            Override overrides[2];
            std::size_t count = 0;
            if (elevation)
                overrides[count++] = {"ele", elevation->view()};
            if (time)
                overrides[count++] = {"time", time->view()};
            writeChildren(writer, RankedElements(point.XMLElements()), overrides, count, nullptr, true);
        }
        writer.endElement();
    }

    static void writeWaypoint(XMLStreamWriter& writer, const GPSItem& item) {
        const GPSPoint& point = *item.itemPoints().front();
        writer.startTrustedElement("wpt", PositionAttributes(point).text);
        std::optional<FixedNumber> elevation;
        std::optional<TimeText> time;
        Override overrides[6];
        std::size_t count = 0;
        if (!std::isnan(point.elevation())) {
            elevation.emplace(point.elevation());
            overrides[count++] = {"ele", elevation->view()};
        }
        if (point.time()) {
            time.emplace(*point.time());
            overrides[count++] = {"time", time->view()};
        }
        if (!item.itemName().empty())
            overrides[count++] = {"name", item.itemName()};
        if (!item.itemDescription().empty())
            overrides[count++] = {"desc", item.itemDescription()};
        if (!item.wptSym().empty())
            overrides[count++] = {"sym", item.wptSym()};
        if (!item.wptType().empty())
            overrides[count++] = {"type", item.wptType()};
        // The links are written from the link field.
        RankedElements kept(item.XMLElements());
        std::erase_if(kept.elements, [](const auto& ranked) { return ranked.second.name() == "link"; });
        const auto links = KeptFieldElements::linksToWrite(item.XMLElements(), item.itemLink());
        writeChildren(writer, kept, overrides, count, &links, false);
        writer.endElement();
    }

    const GPSDocument& m_document;
    const GPXWriteOptions& m_options;
    std::unique_ptr<XMLElementBuilder> m_metadata;
    std::vector<RootChild> m_rootChildren;
    std::map<const GPSItem*, XMLElementBuilder> m_trackElements;
};

} // namespace

GPXWriteResult GPXWriter::write(const GPSDocument& document, ByteSink& sink, const GPXWriteOptions& options) {
    return DocumentWriter(document, options).write(sink);
}

std::string GPXWriter::GPXString(const GPSDocument& document, const GPXWriteOptions& options,
                                 std::vector<NamespaceWarning>* warnings) {
    std::string out;
    StringByteSink sink(out);
    auto result = write(document, sink, options);
    if (warnings)
        *warnings = std::move(result.warnings);
    return out;
}

std::string GPXWriter::dateStringFor(Instant time) { return GPXTime::format(time); }

} // namespace wend
