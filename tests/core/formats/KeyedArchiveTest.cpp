#include "core/formats/KeyedArchive.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <vector>

namespace wend {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Value = KeyedArchive::Value;

XMLElement element(std::string_view text) {
    XMLElement e = XMLElement::fromXMLString(text);
    EXPECT_FALSE(e.isNull()) << text;
    return e;
}

GPSPointPtr pointAt(double lon, double lat, double ele, std::optional<std::int64_t> us) {
    std::optional<Instant> time;
    if (us)
        time = Instant::fromMicroseconds(*us);
    return GPSPoint::pointWithLongitude(lon, lat, ele, time);
}

// A document using every archived field, with a hidden item and a free (unnamed) colour.
GPSDocumentPtr sampleDocument() {
    auto withHeartRate = pointAt(8.5, 47.25, 412.5, 1'600'000'000'123'456);
    // Kept elements carry no declaration of their prefix: the file's root declared it.
    withHeartRate->setXMLElements(
        XMLElementList{element("<extensions><gpxtpx:TrackPointExtension><gpxtpx:hr>142</gpxtpx:hr>"
                               "</gpxtpx:TrackPointExtension></extensions>")});
    PointList trackPoints{withHeartRate, pointAt(8.51, 47.26, GPSPoint::NaN, std::nullopt),
                          pointAt(-179.5, -89.5, -20, -86'400'000'000), pointAt(0, 0, 0, 0)};
    auto track = GPSItem::itemWithName(
        "Morning ride", GPSItemType::Track, trackPoints, "https://example.org/ride",
        "Up & down <fast>", "", "", ItemColor::fromHSBA(0.1234, 0.5, 0.75, 0.9), /*visible=*/false,
        Selection::selectionWithValidSelectionRange({0, 3}, {{0, 1}, {3, 0}}),
        XMLElementList{element("<number>7</number>"),
                       element("<src a=\"1\" b=\"&amp;\">GPS</src>")});

    auto waypoint = GPSItem::itemWithName(
        "Summit", GPSItemType::Waypoint, {pointAt(8.5, 47.25, 2000, std::nullopt)}, "", "Top",
        "Flag, Blue", "Peak", ItemColor::itemColorFromString("DarkRed"), true, Selection(), {});
    auto route = GPSItem::itemWithName("", GPSItemType::Route, {}, "", "", "", "", std::nullopt,
                                       true, Selection(), {});

    auto doc = GPSDocument::documentWithItems({track, waypoint, route}, "Tour");
    doc->setDocumentDescription("Zwei Tage – über die Alpen");
    doc->setDocumentAuthor("Ann");
    doc->setDocumentLink("https://example.org");
    doc->setXMLNamespaces({{"", "http://www.topografix.com/GPX/1/1"},
                           {"gpxtpx", "http://www.garmin.com/xmlschemas/TrackPointExtension/v1"}});
    doc->setXMLSchemaLocation(
        "http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd");
    doc->setMetadataExtensions(element("<extensions><x:y xmlns:x=\"urn:x\">1</x:y></extensions>"));
    doc->setMetadataElements(
        XMLElementList{element("<copyright author=\"Ann\"><year>2020</year></copyright>"),
                       element("<keywords>alps</keywords>")});
    doc->setXMLElements(XMLElementList{element("<extensions><z>root</z></extensions>")});
    return doc;
}

bool samePoint(const GPSPoint& a, const GPSPoint& b) {
    auto same = [](double x, double y) { return x == y || (std::isnan(x) && std::isnan(y)); };
    return same(a.longitude(), b.longitude()) && same(a.latitude(), b.latitude()) &&
           same(a.elevation(), b.elevation()) && a.time() == b.time() &&
           a.XMLElements() == b.XMLElements();
}

void expectSameItem(const GPSItem& decoded, const GPSItem& original) {
    const auto texts = [](const GPSItem& i) {
        return i.itemName() + "|" + i.itemLink() + "|" + i.itemDescription() + "|" + i.wptSym() + "|" + i.wptType();
    };
    EXPECT_EQ(texts(decoded), texts(original));
    EXPECT_EQ(decoded.itemType(), original.itemType());
    EXPECT_EQ(decoded.itemColor(), original.itemColor());
    EXPECT_EQ(decoded.itemSelection(), original.itemSelection());
    EXPECT_EQ(decoded.XMLElements(), original.XMLElements());
    EXPECT_TRUE(decoded.visible());
    ASSERT_EQ(decoded.itemPoints().size(), original.itemPoints().size());
    for (std::size_t i = 0; i < decoded.itemPoints().size(); ++i) {
        const auto& p = decoded.itemPoints()[i];
        EXPECT_TRUE(samePoint(*p, *original.itemPoints()[i])) << p->description();
        EXPECT_NE(p, original.itemPoints()[i]);
    }
}

TEST(KeyedArchive, DocumentRoundTripKeepsEveryField) {
    auto original = sampleDocument();
    auto decoded = KeyedArchive::unarchiveDocument(KeyedArchive::archiveDocument(*original));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->documentName() + decoded->documentAuthor() + decoded->documentLink(),
              "TourAnnhttps://example.org");
    EXPECT_EQ(decoded->documentDescription(), original->documentDescription());
    EXPECT_EQ(decoded->XMLNamespaces(), original->XMLNamespaces());
    EXPECT_EQ(decoded->XMLSchemaLocation(), original->XMLSchemaLocation());
    EXPECT_EQ(decoded->metadataExtensions(), original->metadataExtensions());
    EXPECT_EQ(decoded->metadataElements(), original->metadataElements());
    EXPECT_EQ(decoded->XMLElements(), original->XMLElements());
    ASSERT_EQ(decoded->documentItems().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        expectSameItem(*decoded->documentItems()[i], *original->documentItems()[i]);

    // A document made from items alone (the clipboard's) keeps having no name.
    auto pasted = KeyedArchive::unarchiveDocument(KeyedArchive::archiveDocument(
        *GPSDocument::documentWithItems({original->documentItems()[1]})));
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pasted->documentName(), "");
    EXPECT_TRUE(pasted->metadataExtensions().isNull());
    EXPECT_TRUE(pasted->XMLNamespaces().empty());
}

TEST(KeyedArchive, MissingKeysReadAsAbsentWrongKindsGiveNothing) {
    auto doc = KeyedArchive::unarchiveDocument(KeyedArchive::archiveValue("GPSDocument", Value::object()));
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->documentItems().empty());
    auto item = KeyedArchive::decodeItem(Value::object());
    ASSERT_TRUE(item);
    EXPECT_EQ(item->itemType(), GPSItemType::Unknown);
    EXPECT_FALSE(item->itemColor());
    auto point = KeyedArchive::decodePoint(Value{{"Time", nullptr}});
    ASSERT_TRUE(point);
    EXPECT_EQ(point->elevation(), 0.0);
    EXPECT_FALSE(point->time());

    for (const Value& point : {Value{{"Lon", "8.5"}}, Value{{"Time", 1.5}}, Value::array(),
                               Value{{"XMLElements", Value::array({"<a/>"})}}})
        EXPECT_FALSE(KeyedArchive::decodePoint(point)) << point.dump();
    for (const Value& item : {Value{{"Name", 5}}, Value{{"Points", Value::object()}}, Value{{"Points", Value::array({1})}},
                              Value{{"Type", -1}}, Value{{"Type", 4294967296ULL}},
                              Value{{"Color", Value::array({0.5, 0.5})}}, Value{{"Selection", Value{{"Ranges", "{1, 2}"}}}}})
        EXPECT_FALSE(KeyedArchive::decodeItem(item)) << item.dump();
    EXPECT_FALSE(KeyedArchive::decodeDocument(Value{{"Tracks", Value::array({"track"})}}));
    EXPECT_FALSE(KeyedArchive::decodeDocument(
        Value{{"XMLNamespaces", Value::array({Value::array({"a"})})}}));
    EXPECT_FALSE(KeyedArchive::decodeDocument(Value{{"MetadataExtensions", "<extensions/>"}}));
    // Text must be UTF-8.
    EXPECT_FALSE(KeyedArchive::decodeItem(Value{{"Name", std::string("caf\xe9")}}));
    EXPECT_FALSE(KeyedArchive::decodeDocument(Value{{"Author", std::string("\xed\xa0\x80")}}));
    EXPECT_TRUE(KeyedArchive::decodeItem(Value{{"Name", "café"}}));
    // ...and hold only what an XML file can carry, or saving would write a broken file.
    EXPECT_FALSE(KeyedArchive::decodeItem(Value{{"Description", "bell\x07"}}));
    EXPECT_FALSE(KeyedArchive::decodeItem(Value{{"WptSym", std::string("a\0b", 3)}}));
    EXPECT_FALSE(KeyedArchive::decodeDocument(Value{{"Name", "\xef\xbf\xbf"}}));
    EXPECT_TRUE(KeyedArchive::decodeItem(Value{{"Description", "two\tcolumns\r\nlines"}}));
    // Not an archive at all, or not of a document.
    EXPECT_FALSE(KeyedArchive::unarchiveDocument(Bytes{}));
    EXPECT_FALSE(KeyedArchive::unarchiveDocument(KeyedArchive::bytesFromValue(Value::object())));
    EXPECT_FALSE(KeyedArchive::unarchiveDocument(KeyedArchive::archiveValue("GPSItem", Value::object())));
}

TEST(KeyedArchive, DecodedValuesAreMadeSound) {
    // Values only a crafted archive holds: positions outside the world, colours outside
    // 0...1, times too far away to subtract, unknown type numbers.
    Value point{{"Lon", 190.0}, {"Lat", 95.0}, {"Elev", 5}, {"Time", INT64_MIN}};
    Value item{{"Points", Value::array({point})},
               {"Type", 7},
               {"Color", Value::array({2.0, -1.0, NAN, 0.5})}};
    auto decoded = KeyedArchive::decodeItem(item);
    ASSERT_TRUE(decoded);
    const auto& p = *decoded->itemPoints()[0];
    EXPECT_EQ(p.longitude(), -170.0);
    EXPECT_EQ(p.latitude(), -85.0);
    EXPECT_EQ(p.elevation(), 5.0);
    EXPECT_FALSE(p.time());
    EXPECT_EQ(static_cast<std::uint32_t>(decoded->itemType()), 7u);
    EXPECT_EQ(decoded->itemColor(), (ItemColor{1, 0, 0, 0.5}));

    // Kept elements whose text does not parse are dropped; the rest stay in order.
    Value elements =
        Value::array({Value{{"XMLString", "<a>1</a>"}}, Value{{"XMLString", "<broken"}},
                      Value{{"XMLString", ""}}, Value{{"XMLString", "<b/>"}}});
    auto list = KeyedArchive::decodeElementList(elements);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    EXPECT_EQ((*list)[0].name(), "a");
    EXPECT_EQ((*list)[1].name(), "b");
}

TEST(KeyedArchive, SelectionsAreRebuiltNormal) {
    auto decode = [](std::string valid, std::vector<std::string> ranges) {
        return KeyedArchive::decodeSelection(
            Value{{"ValidSelectionRange", valid}, {"Ranges", ranges}});
    };
    // Unsorted, overlapping, beyond the end, "no range", and a point beside a stretch.
    auto s = decode(
        "{0, 10}", {"{5, 2}", "{3, 3}", "{50, 4}", "{9223372036854775807, 0}", "{0, 0}", "{1, 0}"});
    ASSERT_TRUE(s);
    EXPECT_EQ(s->ranges(), (std::vector<IndexRange>{{0, 1}, {3, 4}, {10, 0}}));
    EXPECT_EQ(*s,
              Selection::selectionWithValidSelectionRange(
                  {0, 10}, {{5, 2}, {3, 3}, {50, 4}, {IndexRange::NotFound, 0}, {0, 0}, {1, 0}}));

    // Valid ranges start at 0 whatever the archive says.
    s = decode("{4, 6}", {"{0, 6}"});
    ASSERT_TRUE(s);
    EXPECT_EQ(s->validSelectionRange(), (IndexRange{0, 6}));
    EXPECT_TRUE(s->isFull());

    // A large selection that is already normal is taken as it stands...
    std::vector<std::string> many;
    for (std::uint64_t i = 0; i < 3 * KeyedArchive::kMaxRangesToRepair; ++i)
        many.push_back(stringFromRange({i * 3, 1}));
    s = decode(stringFromRange({0, 3 * 3 * KeyedArchive::kMaxRangesToRepair}), many);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->ranges().size(), many.size());
    // ...while one that would need repairing is refused.
    std::swap(many.front(), many.back());
    EXPECT_FALSE(decode(stringFromRange({0, 3 * 3 * KeyedArchive::kMaxRangesToRepair}), many));

    // An item re-bases its selection to its own points.
    Value item{{"Points", Value::array({Value::object(), Value::object(), Value::object()})},
               {"Selection",
                Value{{"ValidSelectionRange", "{0, 9}"}, {"Ranges", Value::array({"{1, 8}"})}}}};
    auto decoded = KeyedArchive::decodeItem(item);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->itemSelection().validSelectionRange(), (IndexRange{0, 2}));
    EXPECT_EQ(decoded->itemSelection().ranges(), (std::vector<IndexRange>{{1, 1}}));
}

TEST(KeyedArchive, HostileBytesAreRefused) {
    // Deep nesting would exhaust the stack of a recursive reader.
    Bytes deep(200000, 0x81);
    deep.push_back(0x00);
    EXPECT_FALSE(KeyedArchive::valueFromBytes(deep));
    // Counts far beyond what the input holds.
    EXPECT_FALSE(
        KeyedArchive::valueFromBytes(Bytes{0x9B, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(
        KeyedArchive::valueFromBytes(Bytes{0xBB, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(KeyedArchive::valueFromBytes(
        Bytes{0x5B, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1}));
    // Tags and trailing bytes.
    EXPECT_FALSE(KeyedArchive::valueFromBytes(Bytes{0xC1, 0x00}));
    EXPECT_FALSE(KeyedArchive::valueFromBytes(Bytes{0xA0, 0x00}));
    // Nesting within the limit still reads.
    Bytes shallow(KeyedArchive::kMaxDepth, 0x81);
    shallow.push_back(0x00);
    EXPECT_TRUE(KeyedArchive::valueFromBytes(shallow));

    // Every truncation of a valid archive is refused.
    auto bytes = KeyedArchive::archiveDocument(*sampleDocument());
    for (std::size_t n = 0; n < bytes.size(); ++n)
        EXPECT_FALSE(KeyedArchive::unarchiveDocument(std::span(bytes.data(), n))) << n;
}

} // namespace
} // namespace wend
