#include "core/formats/KeyedArchive.h"

#include <limits>
#include <nlohmann/json.hpp>
#include <string>

namespace wend {

using Value = KeyedArchive::Value;

namespace {

constexpr const char* kXMLElements = "XMLElements";
constexpr const char* kXMLString = "XMLString";

// Times this far from 1970 (about three million years) keep every difference of two of them
// inside 64 bits; anything beyond cannot come from a file and reads as no time.
constexpr std::int64_t kMaxTimeMagnitude = 100'000'000'000'000'000;

// UTF-8 holding only characters XML 1.0 can carry: every text of the model ends up in a GPX
// or KML file, and one control character would make that file unreadable.
bool isXMLText(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                return false;
            ++i;
            continue;
        }
        std::size_t extra;
        std::uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (n - i <= extra)
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF)
            return false;
        i += extra + 1;
    }
    return true;
}

// Walks the CBOR events once without building anything, so that nesting and counts are
// checked before the recursive reader of the library builds a value.
class CBORShapeCheck {
public:
    using number_integer_t = Value::number_integer_t;
    using number_unsigned_t = Value::number_unsigned_t;
    using number_float_t = Value::number_float_t;
    using string_t = Value::string_t;
    using binary_t = Value::binary_t;

    explicit CBORShapeCheck(std::size_t inputSize) : m_inputSize(inputSize) {}

    bool null() { return true; }
    bool boolean(bool) { return true; }
    bool number_integer(number_integer_t) { return true; }
    bool number_unsigned(number_unsigned_t) { return true; }
    bool number_float(number_float_t, const string_t&) { return true; }
    bool string(string_t&) { return true; }
    bool binary(binary_t&) { return true; }
    bool start_object(std::size_t count) { return enter(count); }
    bool key(string_t&) { return true; }
    bool end_object() { return leave(); }
    bool start_array(std::size_t count) { return enter(count); }
    bool end_array() { return leave(); }
    template <class Exception> bool parse_error(std::size_t, const std::string&, const Exception&) {
        return false;
    }

private:
    bool enter(std::size_t count) {
        // Every entry takes at least one byte, so a larger count can only be a lie.
        if (count != static_cast<std::size_t>(-1) && count > m_inputSize)
            return false;
        return ++m_depth <= KeyedArchive::kMaxDepth;
    }
    bool leave() {
        --m_depth;
        return true;
    }

    std::size_t m_inputSize;
    std::size_t m_depth = 0;
};

// Reading one key of a map. `Missing` covers an absent key and an explicit null; `Wrong`
// means the value is there but of another kind, which makes the whole archive unusable.
enum class Read { Ok, Missing, Wrong };

const Value* member(const Value& map, const char* key) {
    auto it = map.find(key);
    if (it == map.end() || it->is_null())
        return nullptr;
    return &*it;
}

Read readDouble(const Value& map, const char* key, double& out) {
    out = 0;
    const Value* v = member(map, key);
    if (!v)
        return Read::Missing;
    if (!v->is_number())
        return Read::Wrong;
    out = v->get<double>();
    return Read::Ok;
}

Read readText(const Value& map, const char* key, std::string& out) {
    out.clear();
    const Value* v = member(map, key);
    if (!v)
        return Read::Missing;
    if (!v->is_string())
        return Read::Wrong;
    const auto& text = v->get_ref<const std::string&>();
    if (!isXMLText(text))
        return Read::Wrong;
    out = text;
    return Read::Ok;
}

Read readTime(const Value& map, const char* key, std::optional<Instant>& out) {
    out.reset();
    const Value* v = member(map, key);
    if (!v)
        return Read::Missing;
    if (v->is_number_unsigned()) {
        auto us = v->get<std::uint64_t>();
        if (us <= static_cast<std::uint64_t>(kMaxTimeMagnitude))
            out = Instant::fromMicroseconds(static_cast<std::int64_t>(us));
        return Read::Ok;
    }
    if (v->is_number_integer()) {
        auto us = v->get<std::int64_t>();
        if (us >= -kMaxTimeMagnitude && us <= kMaxTimeMagnitude)
            out = Instant::fromMicroseconds(us);
        return Read::Ok;
    }
    return Read::Wrong;
}

Read readColor(const Value& map, const char* key, std::optional<ItemColor>& out) {
    out.reset();
    const Value* v = member(map, key);
    if (!v)
        return Read::Missing;
    if (!v->is_array() || v->size() != 4)
        return Read::Wrong;
    double c[4];
    for (std::size_t i = 0; i < 4; ++i) {
        if (!(*v)[i].is_number())
            return Read::Wrong;
        c[i] = (*v)[i].get<double>();
    }
    // Through the clamping constructor: components stay within 0...1 and are never NaN.
    out = ItemColor::fromHSBA(c[0], c[1], c[2], c[3]);
    return Read::Ok;
}

// The kept elements under `key`; false when the value is not a list of element archives.
bool readElementList(const Value& map, const char* key, XMLElementList& out) {
    out = XMLElementList();
    const Value* v = member(map, key);
    if (!v)
        return true;
    auto list = KeyedArchive::decodeElementList(*v);
    if (!list)
        return false;
    out = std::move(*list);
    return true;
}

bool readElement(const Value& map, const char* key, XMLElement& out) {
    out = XMLElement();
    const Value* v = member(map, key);
    if (!v)
        return true;
    auto element = KeyedArchive::decodeElement(*v);
    if (!element)
        return false;
    out = std::move(*element);
    return true;
}

bool readRange(const Value& v, IndexRange& out) {
    if (!v.is_string())
        return false;
    out = rangeFromString(v.get_ref<const std::string&>());
    return true;
}

// Whether the ranges already satisfy every invariant of a selection over `valid`, in which
// case selecting them one by one would give them back unchanged.
bool isNormal(IndexRange valid, const std::vector<IndexRange>& ranges) {
    const IndexRange* previous = nullptr;
    for (const auto& r : ranges) {
        if (r.isNotFound() || r.location > valid.length || r.length > valid.length - r.location)
            return false;
        if (previous) {
            if (r.location <= previous->end())
                return false;
            if ((r.length == 0 || previous->length == 0) && r.location == previous->end() + 1)
                return false;
        }
        previous = &r;
    }
    return true;
}

template <typename Decode> auto guarded(Decode&& decode) noexcept -> decltype(decode()) {
    try {
        return decode();
    } catch (...) {
        return {};
    }
}

} // namespace

// --- encoding ----------------------------------------------------------------------------

Value KeyedArchive::encodeElement(const XMLElement& element) {
    Value v = Value::object();
    v[kXMLString] = element.isNull() ? std::string() : element.xmlString();
    return v;
}

Value KeyedArchive::encodeElementList(const XMLElementList& elements) {
    Value v = Value::array();
    for (const auto& element : elements)
        v.push_back(encodeElement(element));
    return v;
}

Value KeyedArchive::encodePoint(const GPSPoint& point) {
    Value v = Value::object();
    // Most points keep no elements; leaving the key out keeps large tracks compact.
    if (!point.XMLElements().empty())
        v[kXMLElements] = encodeElementList(point.XMLElements());
    v["Lon"] = point.longitude();
    v["Lat"] = point.latitude();
    v["Elev"] = point.elevation();
    if (point.time())
        v["Time"] = point.time()->microsecondsSince1970();
    return v;
}

Value KeyedArchive::encodeSelection(const Selection& selection) {
    Value v = Value::object();
    v["ValidSelectionRange"] = stringFromRange(selection.validSelectionRange());
    Value ranges = Value::array();
    for (const auto& r : selection.ranges())
        ranges.push_back(stringFromRange(r));
    v["Ranges"] = std::move(ranges);
    return v;
}

Value KeyedArchive::encodeItem(const GPSItem& item) {
    Value v = Value::object();
    if (!item.XMLElements().empty())
        v[kXMLElements] = encodeElementList(item.XMLElements());
    v["Name"] = item.itemName();
    Value points = Value::array();
    for (const auto& point : item.itemPoints())
        if (point)
            points.push_back(encodePoint(*point));
    v["Points"] = std::move(points);
    v["Type"] = static_cast<std::uint32_t>(item.itemType());
    v["Link"] = item.itemLink();
    v["Description"] = item.itemDescription();
    v["WptSym"] = item.wptSym();
    v["WptType"] = item.wptType();
    if (const auto& c = item.itemColor())
        v["Color"] = Value::array({c->hue, c->saturation, c->brightness, c->alpha});
    v["Selection"] = encodeSelection(item.itemSelection());
    return v;
}

Value KeyedArchive::encodeDocument(const GPSDocument& document) {
    Value v = Value::object();
    if (!document.XMLElements().empty())
        v[kXMLElements] = encodeElementList(document.XMLElements());
    v["Name"] = document.documentName();
    v["Description"] = document.documentDescription();
    v["Author"] = document.documentAuthor();
    v["Link"] = document.documentLink();
    Value items = Value::array();
    for (const auto& item : document.documentItems())
        if (item)
            items.push_back(encodeItem(*item));
    v["Tracks"] = std::move(items);
    Value namespaces = Value::array();
    for (const auto& ns : document.XMLNamespaces())
        namespaces.push_back(Value::array({ns.prefix, ns.uri}));
    v["XMLNamespaces"] = std::move(namespaces);
    v["XMLSchemaLocation"] = document.XMLSchemaLocation();
    if (!document.metadataExtensions().isNull())
        v["MetadataExtensions"] = encodeElement(document.metadataExtensions());
    if (!document.metadataElements().empty())
        v["MetadataElements"] = encodeElementList(document.metadataElements());
    return v;
}

// --- decoding ----------------------------------------------------------------------------

std::optional<XMLElement> KeyedArchive::decodeElement(const Value& value) {
    return guarded([&]() -> std::optional<XMLElement> {
        if (!value.is_object())
            return std::nullopt;
        std::string text;
        if (readText(value, kXMLString, text) == Read::Wrong)
            return std::nullopt;
        return XMLElement::fromXMLString(text);
    });
}

std::optional<XMLElementList> KeyedArchive::decodeElementList(const Value& value) {
    return guarded([&]() -> std::optional<XMLElementList> {
        if (!value.is_array())
            return std::nullopt;
        std::vector<XMLElement> elements;
        elements.reserve(value.size());
        for (const auto& entry : value) {
            auto element = decodeElement(entry);
            if (!element)
                return std::nullopt;
            // Text that does not parse gives no element; the others are kept in order.
            if (!element->isNull())
                elements.push_back(std::move(*element));
        }
        return XMLElementList(elements);
    });
}

std::shared_ptr<GPSPoint> KeyedArchive::decodePoint(const Value& value) {
    return guarded([&]() -> std::shared_ptr<GPSPoint> {
        if (!value.is_object())
            return nullptr;
        XMLElementList elements;
        if (!readElementList(value, kXMLElements, elements))
            return nullptr;
        double lon, lat, elev;
        std::optional<Instant> time;
        if (readDouble(value, "Lon", lon) == Read::Wrong ||
            readDouble(value, "Lat", lat) == Read::Wrong ||
            readDouble(value, "Elev", elev) == Read::Wrong ||
            readTime(value, "Time", time) == Read::Wrong)
            return nullptr;
        auto point = GPSPoint::point();
        point->setXMLElements(std::move(elements));
        // The setters keep crafted positions inside the world; archived ones pass unchanged.
        point->setLongitude(lon);
        point->setLatitude(lat);
        point->setElevation(elev);
        point->setTime(time);
        return point;
    });
}

std::optional<Selection> KeyedArchive::decodeSelection(const Value& value) {
    return guarded([&]() -> std::optional<Selection> {
        if (!value.is_object())
            return std::nullopt;
        IndexRange valid{0, 0};
        if (const Value* v = member(value, "ValidSelectionRange"))
            if (!readRange(*v, valid))
                return std::nullopt;
        // Valid ranges always start at the first point.
        valid.location = 0;
        std::vector<IndexRange> ranges;
        if (const Value* list = member(value, "Ranges")) {
            if (!list->is_array())
                return std::nullopt;
            ranges.reserve(list->size());
            for (const auto& entry : *list) {
                IndexRange r;
                if (!readRange(entry, r))
                    return std::nullopt;
                ranges.push_back(r);
            }
        }
        if (isNormal(valid, ranges))
            return Selection(valid, std::move(ranges));
        // Repairing costs a pass over the stored ranges per range; refuse hostile sizes.
        if (ranges.size() > kMaxRangesToRepair)
            return std::nullopt;
        return Selection::selectionWithValidSelectionRange(valid, ranges);
    });
}

std::shared_ptr<GPSItem> KeyedArchive::decodeItem(const Value& value) {
    return guarded([&]() -> std::shared_ptr<GPSItem> {
        if (!value.is_object())
            return nullptr;
        XMLElementList elements;
        if (!readElementList(value, kXMLElements, elements))
            return nullptr;

        std::string name, link, description, wptSym, wptType;
        if (readText(value, "Name", name) == Read::Wrong ||
            readText(value, "Link", link) == Read::Wrong ||
            readText(value, "Description", description) == Read::Wrong ||
            readText(value, "WptSym", wptSym) == Read::Wrong ||
            readText(value, "WptType", wptType) == Read::Wrong)
            return nullptr;

        PointList points;
        if (const Value* list = member(value, "Points")) {
            if (!list->is_array())
                return nullptr;
            points.reserve(list->size());
            for (const auto& entry : *list) {
                auto point = decodePoint(entry);
                if (!point)
                    return nullptr;
                points.push_back(std::move(point));
            }
        }

        auto type = GPSItemType::Unknown;
        if (const Value* v = member(value, "Type")) {
            std::int64_t raw = -1;
            if (v->is_number_unsigned())
                raw = v->get<std::uint64_t>() > std::numeric_limits<std::uint32_t>::max()
                          ? -1
                          : static_cast<std::int64_t>(v->get<std::uint64_t>());
            else if (v->is_number_integer())
                raw = v->get<std::int64_t>();
            if (raw < 0 || raw > std::numeric_limits<std::uint32_t>::max())
                return nullptr;
            type = static_cast<GPSItemType>(static_cast<std::uint32_t>(raw));
        }

        std::optional<ItemColor> color;
        if (readColor(value, "Color", color) == Read::Wrong)
            return nullptr;

        Selection selection;
        if (const Value* v = member(value, "Selection")) {
            auto decoded = decodeSelection(*v);
            if (!decoded)
                return nullptr;
            selection = std::move(*decoded);
        }

        auto item = GPSItem::item();
        item->setXMLElements(std::move(elements));
        item->setItemName(name);
        item->setItemPoints(std::move(points));
        item->setItemType(type);
        item->setItemLink(link);
        item->setItemDescription(description);
        item->setWptSym(wptSym);
        item->setWptType(wptType);
        item->setItemColor(color);
        item->setItemSelection(selection);
        // Visibility is not archived: whatever arrives is shown.
        item->setVisible(true);
        return item;
    });
}

std::shared_ptr<GPSDocument> KeyedArchive::decodeDocument(const Value& value) {
    return guarded([&]() -> std::shared_ptr<GPSDocument> {
        if (!value.is_object())
            return nullptr;
        XMLElementList elements, metadataElements;
        XMLElement metadataExtensions;
        if (!readElementList(value, kXMLElements, elements) ||
            !readElementList(value, "MetadataElements", metadataElements) ||
            !readElement(value, "MetadataExtensions", metadataExtensions))
            return nullptr;

        std::string name, description, author, link, schemaLocation;
        if (readText(value, "Name", name) == Read::Wrong ||
            readText(value, "Description", description) == Read::Wrong ||
            readText(value, "Author", author) == Read::Wrong ||
            readText(value, "Link", link) == Read::Wrong ||
            readText(value, "XMLSchemaLocation", schemaLocation) == Read::Wrong)
            return nullptr;

        ItemList items;
        if (const Value* list = member(value, "Tracks")) {
            if (!list->is_array())
                return nullptr;
            items.reserve(list->size());
            for (const auto& entry : *list) {
                auto item = decodeItem(entry);
                if (!item)
                    return nullptr;
                items.push_back(std::move(item));
            }
        }

        std::vector<XMLNamespaceDecl> namespaces;
        if (const Value* list = member(value, "XMLNamespaces")) {
            if (!list->is_array())
                return nullptr;
            for (const auto& entry : *list) {
                if (!entry.is_array() || entry.size() != 2 || !entry[0].is_string() ||
                    !entry[1].is_string())
                    return nullptr;
                const auto& prefix = entry[0].get_ref<const std::string&>();
                const auto& uri = entry[1].get_ref<const std::string&>();
                if (!isXMLText(prefix) || !isXMLText(uri))
                    return nullptr;
                namespaces.push_back({prefix, uri});
            }
        }

        auto document = GPSDocument::document();
        document->setXMLElements(std::move(elements));
        document->setDocumentName(name);
        document->setDocumentDescription(description);
        document->setDocumentAuthor(author);
        document->setDocumentLink(link);
        document->setDocumentItems(std::move(items));
        document->setXMLNamespaces(std::move(namespaces));
        document->setXMLSchemaLocation(schemaLocation);
        document->setMetadataExtensions(std::move(metadataExtensions));
        document->setMetadataElements(std::move(metadataElements));
        return document;
    });
}

// --- bytes -------------------------------------------------------------------------------

std::vector<std::uint8_t> KeyedArchive::bytesFromValue(const Value& value) {
    return Value::to_cbor(value);
}

std::optional<Value> KeyedArchive::valueFromBytes(std::span<const std::uint8_t> bytes) {
    return guarded([&]() -> std::optional<Value> {
        if (bytes.empty())
            return std::nullopt;
        CBORShapeCheck check(bytes.size());
        if (!Value::sax_parse(bytes.begin(), bytes.end(), &check,
                              nlohmann::json::input_format_t::cbor,
                              /*strict=*/true))
            return std::nullopt;
        Value value = Value::from_cbor(bytes.begin(), bytes.end(), /*strict=*/true,
                                       /*allow_exceptions=*/false);
        if (value.is_discarded())
            return std::nullopt;
        return value;
    });
}

std::vector<std::uint8_t> KeyedArchive::archiveValue(std::string_view className, Value value) {
    value[std::string(kClassKey)] = std::string(className);
    return bytesFromValue(value);
}

std::optional<Value> KeyedArchive::unarchiveValue(std::span<const std::uint8_t> bytes,
                                                  std::string_view className) {
    return guarded([&]() -> std::optional<Value> {
        auto value = valueFromBytes(bytes);
        if (!value || !value->is_object())
            return std::nullopt;
        auto it = value->find(std::string(kClassKey));
        if (it == value->end() || !it->is_string() ||
            it->get_ref<const std::string&>() != className)
            return std::nullopt;
        return value;
    });
}

std::vector<std::uint8_t> KeyedArchive::archiveDocument(const GPSDocument& document) {
    return archiveValue("GPSDocument", encodeDocument(document));
}

std::shared_ptr<GPSDocument> KeyedArchive::unarchiveDocument(std::span<const std::uint8_t> bytes) {
    auto value = unarchiveValue(bytes, "GPSDocument");
    return value ? decodeDocument(*value) : nullptr;
}

std::vector<std::uint8_t> KeyedArchive::archiveItem(const GPSItem& item) {
    return archiveValue("GPSItem", encodeItem(item));
}

std::shared_ptr<GPSItem> KeyedArchive::unarchiveItem(std::span<const std::uint8_t> bytes) {
    auto value = unarchiveValue(bytes, "GPSItem");
    return value ? decodeItem(*value) : nullptr;
}

std::vector<std::uint8_t> KeyedArchive::archivePoint(const GPSPoint& point) {
    return archiveValue("GPSPoint", encodePoint(point));
}

std::shared_ptr<GPSPoint> KeyedArchive::unarchivePoint(std::span<const std::uint8_t> bytes) {
    auto value = unarchiveValue(bytes, "GPSPoint");
    return value ? decodePoint(*value) : nullptr;
}

std::vector<std::uint8_t> KeyedArchive::archiveSelection(const Selection& selection) {
    return archiveValue("Selection", encodeSelection(selection));
}

std::optional<Selection> KeyedArchive::unarchiveSelection(std::span<const std::uint8_t> bytes) {
    auto value = unarchiveValue(bytes, "Selection");
    return value ? decodeSelection(*value) : std::nullopt;
}

std::vector<std::uint8_t> KeyedArchive::archiveElement(const XMLElement& element) {
    return archiveValue("XMLElement", encodeElement(element));
}

std::optional<XMLElement> KeyedArchive::unarchiveElement(std::span<const std::uint8_t> bytes) {
    auto value = unarchiveValue(bytes, "XMLElement");
    return value ? decodeElement(*value) : std::nullopt;
}

} // namespace wend
