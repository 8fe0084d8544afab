#include "core/formats/GPXParser.h"
#include "core/formats/GPXWriter.h"
#include "core/model/GPXTime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

using namespace wend;

namespace {

const char* kHeader = R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1"
     xmlns:gpxx="http://www.garmin.com/xmlschemas/GpxExtensions/v3"
     xmlns:gpxtpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v1"
     xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"
     xsi:schemaLocation="http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd">
)";

GPXReadResult read(const std::string& body) { return GPXParser::parseData(std::string(kHeader) + body + "</gpx>"); }

std::string names(const XMLElementList& list) {
    std::string out;
    for (auto e : list)
        out += (out.empty() ? "" : ",") + std::string(e.name());
    return out;
}

} // namespace

TEST(GPXParser, TracksBecomeOneItemPerNonEmptySegmentInFileOrder) {
    auto result = read(R"(<wpt lat="0" lon="0"><name>A</name></wpt>
  <trk><name>Loop</name><cmt>a comment</cmt>
    <trkseg><trkpt lat="1" lon="2"/><trkpt lat="1.5" lon="2.5"/></trkseg>
    <trkseg></trkseg>
    <trkseg><trkpt lat="3" lon="4"/></trkseg>
  </trk>
  <trk><name>Empty</name><trkseg/></trk><wpt lat="0" lon="0"><name>B</name></wpt>)");
    ASSERT_TRUE(result.document);
    EXPECT_FALSE(result.error);
    const auto& items = result.document->documentItems();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0]->itemName() + items[1]->itemName() + items[2]->itemName() + items[3]->itemName(),
              "ALoopLoopB");
    EXPECT_EQ(items[1]->itemPoints().size(), 2u);
    EXPECT_EQ(items[2]->itemPoints().size(), 1u);
    EXPECT_DOUBLE_EQ(items[2]->itemPoints()[0]->latitude(), 3);
    EXPECT_EQ(names(items[2]->XMLElements()), "cmt");
    // Segments of one track share nothing mutable but carry the same kept elements.
    EXPECT_EQ(items[1]->XMLElements(), items[2]->XMLElements());
}

TEST(GPXParser, RoutesAndTheirDisplayColour) {
    auto result = read(R"(
  <rte><name>R</name>
    <extensions><gpxx:RouteExtension/><gpxx:TrackExtension><gpxx:DisplayColor>Blue</gpxx:DisplayColor></gpxx:TrackExtension></extensions>
    <rtept lat="1" lon="1"/><rtept lat="2" lon="2"/>
  </rte>
  <trk><extensions><gpxx:TrackExtension><gpxx:DisplayColor>darkred</gpxx:DisplayColor></gpxx:TrackExtension></extensions>
    <trkseg><trkpt lat="0" lon="0"/></trkseg></trk>)");
    ASSERT_TRUE(result.document);
    const auto& items = result.document->documentItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->itemType(), GPSItemType::Route);
    EXPECT_EQ(items[0]->itemPoints().size(), 2u);
    EXPECT_EQ(ItemColor::stringFromItemColor(items[0]->itemColor()), "Blue");
    EXPECT_EQ(names(items[0]->XMLElements()), "extensions");
    // Names match exactly: the lower-case name is no colour.
    EXPECT_FALSE(items[1]->itemColor());
    EXPECT_EQ(items[1]->itemName(), "Untitled Track");
}

// The numbers themselves are read by the lenient number reader; here what the reader makes of
// missing, empty and odd values.
TEST(GPXParser, PointValuesAreReadLeniently) {
    auto result = read(R"(
  <trk><trkseg>
    <trkpt lat="47.1" lon="8.2"><ele></ele></trkpt>
    <trkpt lon="-8.2"><ele>abc</ele><time>2011-07-04 16:20:05</time></trkpt>
    <trkpt lat=" 12.5xyz" lon="1e400"><ele> 431.5 m</ele><time>2011-07-04T16:20:05.250Z</time></trkpt>
    <trkpt lat="nan" lon="190"><time>2011-07-04T18:20:05+02:00</time></trkpt>
  </trkseg></trk>)");
    ASSERT_TRUE(result.document);
    const auto& p = result.document->documentItems().at(0)->itemPoints();
    ASSERT_EQ(p.size(), 4u);
    struct Expected {
        double lat, lon, ele;
        const char* time;
    };
    const Expected expected[] = {{47.1, 8.2, 0, nullptr}, // an empty ele reads as 0, not as "no elevation"
                                 {0, -8.2, 0, nullptr},   // a blank instead of T is no time
                                 {12.5, 0, 431.5, "2011-07-04T16:20:05.250Z"}, // not finite reads as 0
                                 {0, -170, GPSPoint::NaN, "2011-07-04T16:20:05Z"}}; // no ele at all
    for (std::size_t i = 0; i < p.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_DOUBLE_EQ(p[i]->latitude(), expected[i].lat);
        EXPECT_DOUBLE_EQ(p[i]->longitude(), expected[i].lon);
        EXPECT_TRUE(p[i]->elevation() == expected[i].ele || (std::isnan(expected[i].ele) && std::isnan(p[i]->elevation())));
        EXPECT_EQ(p[i]->time() ? GPXTime::format(*p[i]->time()) : "", expected[i].time ? expected[i].time : "");
    }
}

TEST(GPXParser, KeptElementsLandOnTheNearestModelObject) {
    auto result = read(R"(
  <wpt lat="1" lon="2"><ele>5</ele><time>2020-01-01T00:00:00Z</time><name>Summit</name><cmt>c</cmt>
    <sym>Flag</sym><type>peak</type><link href="http://example.com/w"><text>t</text></link>
    <extensions><gpxx:WaypointExtension/></extensions></wpt>
  <trk xmlns:hr="urn:heart"><trkseg><trkpt lat="1" lon="2"><name>p</name><sym>Dot</sym><hdop>1.5</hdop>
    <extensions><gpxtpx:TrackPointExtension><gpxtpx:hr>120</gpxtpx:hr></gpxtpx:TrackPointExtension><hr:r/></extensions>
  </trkpt><extensions><x/></extensions></trkseg></trk>
  <extensions><root-level/></extensions>
  <email>me@example.com</email>)");
    ASSERT_TRUE(result.document);
    const auto& doc = *result.document;
    ASSERT_EQ(doc.documentItems().size(), 2u);
    const auto& wpt = *doc.documentItems()[0];
    EXPECT_EQ(wpt.itemType(), GPSItemType::Waypoint);
    EXPECT_EQ(wpt.itemName(), "Summit");
    EXPECT_EQ(wpt.wptSym(), "Flag");
    EXPECT_EQ(wpt.wptType(), "peak");
    EXPECT_EQ(wpt.itemLink(), "http://example.com/w");
    EXPECT_EQ(names(wpt.XMLElements()), "cmt,link,extensions");
    ASSERT_EQ(wpt.itemPoints().size(), 1u);
    EXPECT_TRUE(wpt.itemPoints()[0]->XMLElements().empty());
    EXPECT_DOUBLE_EQ(wpt.itemPoints()[0]->elevation(), 5);

    const auto& point = *doc.documentItems()[1]->itemPoints()[0];
    EXPECT_EQ(names(point.XMLElements()), "name,sym,hdop,extensions");
    EXPECT_EQ(point.XMLElementNamed("extensions").stringValue(), "120");
    // Kept elements take the declarations they inherited along.
    EXPECT_EQ(point.XMLElementNamed("extensions").namespaces(), (std::vector<XMLNamespaceDecl>{{"hr", "urn:heart"}}));
    // The segment's extensions travel with its item; a GPX 1.0 e-mail joins the metadata's author.
    EXPECT_EQ(doc.documentItems()[1]->XMLElementNamed("trkseg").xmlString(),
              "<trkseg><extensions xmlns:hr=\"urn:heart\"><x/></extensions></trkseg>");
    EXPECT_EQ(names(doc.XMLElements()), "extensions");
    EXPECT_EQ(doc.metadataElements().elementNamed("author").xmlString(),
              "<author><email id=\"me\" domain=\"example.com\"/></author>");
}

// A file without points loads empty, with its metadata and the root's declarations.
TEST(GPXParser, MetadataAndDeclarations) {
    auto result = read(R"(<trk><name>x</name></trk>
  <metadata><name>First</name><name>Doc</name><desc>About</desc>
    <author><name>Ann</name><email id="a" domain="b"/></author>
    <copyright author="Ann"><year>2020</year></copyright>
    <link href="http://example.com"><text>x</text></link>
    <time>2020-01-01T00:00:00Z</time><keywords>a, b</keywords><bounds minlat="0" minlon="0" maxlat="1" maxlon="1"/>
    <extensions><mine>1</mine></extensions></metadata>)");
    ASSERT_TRUE(result.document);
    const auto& doc = *result.document;
    EXPECT_EQ(doc.documentName(), "Doc"); // a later element overrides an earlier one
    EXPECT_EQ(doc.documentDescription(), "About");
    EXPECT_EQ(doc.documentAuthor(), "Ann");
    EXPECT_EQ(doc.documentLink(), "http://example.com");
    EXPECT_EQ(doc.metadataExtensions().xmlString(), "<extensions><mine>1</mine></extensions>");
    EXPECT_EQ(names(doc.metadataElements()), "author,copyright,link,keywords");
    EXPECT_TRUE(doc.XMLElements().empty());
    EXPECT_TRUE(doc.documentItems().empty());
    ASSERT_EQ(doc.XMLNamespaces().size(), 4u);
    EXPECT_EQ(doc.XMLNamespaces()[1].prefix, "gpxx");
    EXPECT_EQ(doc.XMLSchemaLocation(), "http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd");
}

TEST(GPXParser, TextValuesAreUntrimmedAndIncludeCDataAndEntities) {
    auto result = GPXParser::parseData(R"(<!DOCTYPE gpx [<!ENTITY place "Lake &amp; Hill">]>
      <gpx><trk><name>  &place; <![CDATA[<north>]]> </name><desc>a<b>b</b>c</desc>
      <trkseg><trkpt lat="0" lon="0"/></trkseg></trk></gpx>)");
    ASSERT_TRUE(result.document);
    EXPECT_FALSE(result.error);
    const auto& item = *result.document->documentItems().at(0);
    EXPECT_EQ(item.itemName(), "  Lake & Hill <north> ");
    EXPECT_EQ(item.itemDescription(), "abc");
}

TEST(GPXParser, MalformedInputIsRepairedWithAWarningAndWhatWasReadIsKept) {
    auto truncated = GPXParser::parseData(R"(<gpx><trk><name>Cut</name><trkseg><trkpt lat="1" lon="1"/>
      <trkpt lat="2" lon="2"><ele>10</ele></trkpt><trkpt lat="3")");
    ASSERT_TRUE(truncated.document);
    ASSERT_TRUE(truncated.error);
    EXPECT_EQ(truncated.error->description, "Warning");
    EXPECT_EQ(truncated.error->failureReason.rfind(
                  "An error occurred while loading the document. Some data may be missing or corrupt:\n\n", 0),
              0u);
    ASSERT_EQ(truncated.document->documentItems().size(), 1u);
    EXPECT_GE(truncated.document->documentItems()[0]->itemPoints().size(), 2u);
}

TEST(GPXParser, InputThatIsNotGPXIsRefused) {
    for (std::string bytes : {std::string(""), std::string("hello"), std::string("<kml><Document/></kml>"),
                              std::string("<kml><Document>"), std::string("\xff\xd8\xff\xe0 JFIF", 9),
                              std::string("<?xml version='1.0'?>")}) {
        auto result = GPXParser::parseData(bytes);
        EXPECT_FALSE(result.document) << bytes;
        ASSERT_TRUE(result.error) << bytes;
        EXPECT_EQ(result.error->description, "Couldn't Load GPX Data");
        EXPECT_EQ(result.error->failureReason, "The selected file does not contain valid GPX data");
    }
    EXPECT_FALSE(GPXParser::parseFile("/nonexistent/file.gpx").document);
}

TEST(GPXParser, EncodingsAndCompressionAreHandled) {
    // ISO-8859-1 is converted to UTF-8; a UTF-8 byte order mark is skipped.
    auto latin = GPXParser::parseData("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><gpx><wpt lat=\"0\" lon=\"0\">"
                                      "<name>M\xfcnchen</name></wpt></gpx>");
    ASSERT_TRUE(latin.document);
    EXPECT_EQ(latin.document->documentItems()[0]->itemName(), "M\xc3\xbcnchen");
    auto bom = GPXParser::parseData("\xef\xbb\xbf<gpx><wpt lat=\"0\" lon=\"0\"><name>x</name></wpt></gpx>");
    ASSERT_TRUE(bom.document);
    EXPECT_FALSE(bom.error);

    // A gzip stream holding a GPX file (printf '<gpx><wpt lat="1" lon="2"/></gpx>' | gzip -n).
    const unsigned char gz[] = {0x1f, 0x8b, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0xb3, 0x49, 0x2f,
                                0xa8, 0xb0, 0xb3, 0x29, 0x2f, 0x28, 0x51, 0xc8, 0x49, 0x2c, 0xb1, 0x55, 0x32,
                                0x54, 0x52, 0xc8, 0xc9, 0xcf, 0xb3, 0x55, 0x32, 0x52, 0xd2, 0xb7, 0xb3, 0xd1,
                                0x07, 0xc9, 0x01, 0x00, 0x2f, 0x81, 0x9f, 0x36, 0x21, 0x00, 0x00, 0x00};
    auto zipped = GPXParser::parseData(std::string(reinterpret_cast<const char*>(gz), sizeof gz));
    ASSERT_TRUE(zipped.document) << (zipped.error ? zipped.error->failureReason : "");
    ASSERT_EQ(zipped.document->documentItems().size(), 1u);
    EXPECT_DOUBLE_EQ(zipped.document->documentItems()[0]->itemPoints()[0]->longitude(), 2);
    // A damaged stream is never read as sound: what it held comes with the repair warning, or
    // nothing with the reader's error.
    std::string damaged(reinterpret_cast<const char*>(gz), sizeof gz);
    damaged[16] = static_cast<char>(0xff);
    for (const std::string& bytes : {damaged, damaged.substr(0, 12), damaged.substr(0, 30)}) {
        auto broken = GPXParser::parseData(bytes);
        ASSERT_TRUE(broken.error);
        EXPECT_EQ(broken.error->description, broken.document ? "Warning" : "Couldn't Load GPX Data");
    }
}

// libxml2 hands over a CDATA section in pieces where the input's chunks end; the kept section
// must not depend on that.
TEST(GPXParser, AKeptCDataSectionReadsTheSameInAnyChunks) {
    const std::string input =
        "<gpx xmlns='http://www.topografix.com/GPX/1/1'><trk><extensions><note><![CDATA[" +
        std::string(3000, 'x') + "<&>" + std::string(3000, 'y') +
        "]]></note></extensions><trkseg><trkpt lat='1' lon='2'/></trkseg></trk></gpx>";
    const auto whole = GPXParser::parseData(input);
    ASSERT_TRUE(whole.document);
    ASSERT_FALSE(whole.error);
    GPXParser parser;
    for (std::size_t at = 0; at < input.size(); at += 7)
        parser.feed(input.data() + at, std::min<std::size_t>(7, input.size() - at));
    const auto chunked = parser.finish();
    ASSERT_TRUE(chunked.document);
    GPXWriteOptions options;
    options.metadataTime = Instant::fromMicroseconds(0);
    const std::string written = GPXWriter::GPXString(*whole.document, options);
    EXPECT_EQ(GPXWriter::GPXString(*chunked.document, options), written);
    EXPECT_EQ(written.find("]]><![CDATA["), std::string::npos);
}
