#include "core/formats/GPXParser.h"
#include "core/formats/GPXWriter.h"
#include "core/model/XMLElementParser.h"

#include <gtest/gtest.h>

#include <string>

using namespace wend;

namespace {

GPXWriteOptions fixedTime(bool garmin = true) {
    GPXWriteOptions options;
    options.saveGarminFriendly = garmin;
    options.metadataTime = Instant::fromMicroseconds(1'600'000'000'000'000);
    return options;
}

std::string write(const GPSDocument& doc, bool garmin = true, std::vector<NamespaceWarning>* warnings = nullptr) {
    return GPXWriter::GPXString(doc, fixedTime(garmin), warnings);
}

std::shared_ptr<GPSItem> track(std::string name, PointList points) {
    auto item = GPSItem::item();
    item->setItemName(name);
    item->setItemPoints(std::move(points));
    return item;
}

std::shared_ptr<GPSItem> waypoint(std::string name, double lon, double lat) {
    auto item = GPSItem::item();
    item->setItemType(GPSItemType::Waypoint);
    item->setItemName(name);
    item->setItemPoints({GPSPoint::pointWithLongitude(lon, lat, GPSPoint::NaN, std::nullopt)});
    return item;
}

// The text between the first "<tag" and the matching close of that line's element.
std::string elementText(const std::string& xml, const std::string& start, const std::string& end) {
    auto a = xml.find(start);
    if (a == std::string::npos)
        return {};
    auto b = xml.find(end, a);
    return xml.substr(a, b == std::string::npos ? std::string::npos : b + end.size() - a);
}

// Each part appears in `text`, in the order given.
void expectInOrder(const std::string& text, const std::vector<std::string>& parts) {
    std::size_t at = 0;
    for (const auto& part : parts) {
        auto found = text.find(part, at);
        ASSERT_NE(found, std::string::npos) << part << "\n" << text;
        at = found;
    }
}

} // namespace

TEST(GPXWriter, PointsAndNumbers) {
    auto doc = GPSDocument::document();
    doc->setDocumentItems({track("Untitled Track", {GPSPoint::pointWithLongitude(8.5, 47.25, 400, std::nullopt),
                                                    GPSPoint::pointWithLongitude(-0.125, 1, GPSPoint::NaN, std::nullopt)})});
    std::string xml = write(*doc);
    EXPECT_NE(xml.find(R"(<trkpt lon="8.500000" lat="47.250000">)"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<ele>400.000000</ele>"), std::string::npos);
    EXPECT_NE(xml.find(R"(<trkpt lon="-0.125000" lat="1.000000"/>)"), std::string::npos) << xml;
    // The item has a name but neither description nor link.
    auto trk = elementText(xml, "<trk>", "<trkseg>");
    EXPECT_NE(trk.find("<name>Untitled Track</name>"), std::string::npos);
    EXPECT_EQ(trk.find("<desc>"), std::string::npos);
    EXPECT_EQ(trk.find("<link"), std::string::npos);
}

TEST(GPXWriter, MetadataHoldsTheFieldsAndTheGivenMomentOfWriting) {
    auto doc = GPSDocument::document();
    doc->setDocumentName("Trip");
    doc->setDocumentDescription("Along the lake");
    doc->setDocumentAuthor("Ann");
    doc->setDocumentLink("http://example.com/trip");
    doc->setMetadataElements({XMLElement::fromXMLString("<keywords>lake</keywords>"),
                              XMLElement::fromXMLString("<copyright author=\"Ann\"><year>2020</year></copyright>")});
    doc->setMetadataExtensions(XMLElement::fromXMLString("<extensions><x>1</x></extensions>"));
    std::string xml = write(*doc);
    std::string metadata = elementText(xml, "<metadata>", "</metadata>");
    expectInOrder(metadata, {"<name>Trip</name>", "<desc>Along the lake</desc>", "<author>", "<name>Ann</name>",
                             "<copyright author=\"Ann\">", "<link href=\"http://example.com/trip\"/>",
                             "<time>2020-09-13T12:26:40Z</time>", "<keywords>lake</keywords>", "<extensions>"});
}

TEST(GPXWriter, ItemOrderFollowsTheGarminPreference) {
    auto doc = GPSDocument::document();
    doc->setDocumentItems({track("T", {GPSPoint::pointWithLongitude(0, 0, 0, std::nullopt)}), waypoint("W", 1, 1)});
    std::string fileOrder = write(*doc, false);
    EXPECT_LT(fileOrder.find("<trk>"), fileOrder.find("<wpt "));
    std::string garmin = write(*doc, true);
    EXPECT_LT(garmin.find("<wpt "), garmin.find("<trk>"));
    // Items stand between the metadata and a kept root extensions element.
    doc->setXMLElements({XMLElement::fromXMLString("<extensions><r/></extensions>"),
                         XMLElement::fromXMLString("<email>x@example.com</email>")});
    std::string withRoot = write(*doc, false);
    EXPECT_LT(withRoot.find("<wpt "), withRoot.rfind("<extensions>"));
    EXPECT_EQ(withRoot.find("<email>"), std::string::npos);
}

TEST(GPXWriter, TrackChildrenInSchemaOrderWithTheCurrentColour) {
    auto read = GPXParser::parseData(R"(<gpx xmlns="http://www.topografix.com/GPX/1/1"
        xmlns:gpxx="http://www.garmin.com/xmlschemas/GpxExtensions/v3">
      <trk><extensions><gpxx:TrackExtension><gpxx:DisplayColor>Red</gpxx:DisplayColor></gpxx:TrackExtension></extensions>
        <number>3</number><name>N</name><cmt>C</cmt>
        <trkseg><trkpt lat="1" lon="2"/></trkseg></trk></gpx>)");
    ASSERT_TRUE(read.document);
    auto item = read.document->documentItems().at(0);
    EXPECT_EQ(ItemColor::stringFromItemColor(item->itemColor()), "Red");
    item->setItemColor(ItemColor::itemColorFromString("Blue"));
    std::string xml = write(*read.document);
    std::string trk = elementText(xml, "<trk>", "</trk>");
    expectInOrder(trk, {"<name>N</name>", "<cmt>C</cmt>", "<number>3", "<extensions>", "<trkseg>"});
    EXPECT_NE(trk.find("<gpxx:DisplayColor>Blue</gpxx:DisplayColor>"), std::string::npos);
    EXPECT_EQ(trk.find("Red"), std::string::npos);

    // A freely picked colour has no name and leaves the kept display colour as it was.
    item->setItemColor(ItemColor{0.1, 0.2, 0.3, 1});
    std::string free = write(*read.document);
    EXPECT_NE(free.find("<gpxx:DisplayColor>Red</gpxx:DisplayColor>"), std::string::npos);
}

TEST(GPXWriter, WaypointFieldsAndKeptElements) {
    auto read = GPXParser::parseData(R"(<gpx xmlns="http://www.topografix.com/GPX/1/1">
      <wpt lat="47.25" lon="8.5"><time>2020-01-01T00:00:00Z</time><name>Old</name><cmt>kept</cmt><sym>Flag</sym>
        <link href="http://a"/><extensions><e/></extensions></wpt></gpx>)");
    ASSERT_TRUE(read.document);
    auto wpt = read.document->documentItems().at(0);
    wpt->setItemName("Summit");
    wpt->setItemDescription("Top");
    wpt->setWptType("peak");
    std::string xml = write(*read.document);
    std::string w = elementText(xml, "<wpt", "</wpt>");
    expectInOrder(w, {"<time>2020-01-01T00:00:00Z</time>", "<name>Summit</name>", "<cmt>kept</cmt>",
                      "<desc>Top</desc>", "<link href=\"http://a\"/>", "<sym>Flag</sym>", "<type>peak</type>",
                      "<extensions>"});
}

TEST(GPXWriter, UnknownItemsAndWaypointsWithoutPositionAreSkipped) {
    auto doc = GPSDocument::document();
    auto unknown = track("U", {GPSPoint::pointWithLongitude(0, 0, 0, std::nullopt)});
    unknown->setItemType(GPSItemType::Unknown);
    auto empty = GPSItem::item();
    empty->setItemType(GPSItemType::Waypoint);
    doc->setDocumentItems({unknown, empty});
    std::string xml = write(*doc);
    EXPECT_EQ(xml.find("<trk"), std::string::npos);
    EXPECT_EQ(xml.find("<wpt"), std::string::npos);
    EXPECT_NE(xml.find("<metadata>"), std::string::npos);
}

TEST(GPXWriter, DeclaresExactlyTheNamespacesInUse) {
    auto read = GPXParser::parseData(R"(<gpx xmlns="http://www.topografix.com/GPX/1/1"
        xmlns:unused="urn:unused" xmlns:gpxtpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v2"
        xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"
        xsi:schemaLocation="http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd
           urn:unused http://example.com/unused.xsd
           http://www.garmin.com/xmlschemas/TrackPointExtension/v2 http://www.garmin.com/xmlschemas/TrackPointExtensionv2.xsd">
      <trk><trkseg><trkpt lat="1" lon="2"><extensions><gpxtpx:TrackPointExtension><gpxtpx:hr>1</gpxtpx:hr>
      </gpxtpx:TrackPointExtension></extensions></trkpt></trkseg></trk></gpx>)");
    ASSERT_TRUE(read.document);
    std::vector<NamespaceWarning> warnings;
    std::string xml = write(*read.document, true, &warnings);
    EXPECT_TRUE(warnings.empty()) << warnings.front().error.failureReason;
    std::string root = elementText(xml, "<gpx ", ">");
    EXPECT_NE(root.find(R"(xmlns:gpxtpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v2")"), std::string::npos);
    EXPECT_EQ(root.find("unused"), std::string::npos) << root;
    EXPECT_NE(root.find("http://www.garmin.com/xmlschemas/TrackPointExtension/v2 "
                        "http://www.garmin.com/xmlschemas/TrackPointExtensionv2.xsd"),
              std::string::npos);
    EXPECT_LT(root.find("version=\"1.1\""), root.find("xmlns="));
}

TEST(GPXWriter, UndeclaredPrefixesStayReadable) {
    auto read = GPXParser::parseData(R"(<gpx xmlns="http://www.topografix.com/GPX/1/1"><trk><trkseg>
        <trkpt lat="1" lon="2"><extensions><ns3:hr>1</ns3:hr></extensions></trkpt></trkseg></trk></gpx>)");
    ASSERT_TRUE(read.document);
    EXPECT_TRUE(read.hasWarning());
    std::vector<NamespaceWarning> warnings;
    std::string xml = write(*read.document, true, &warnings);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0].preferenceKey(), "HideErr2");
    EXPECT_EQ(warnings[0].error.description, "XML Namespace Error");
    EXPECT_EQ(warnings[1].preferenceKey(), "HideErr3");
    EXPECT_EQ(warnings[1].error.failureReason,
              "No information is available for the namespace \"ns3\". A schema location pair will not be generated.");
    // The output is namespace-well-formed: it reads back without any warning.
    auto again = GPXParser::parseData(xml);
    ASSERT_TRUE(again.document);
    EXPECT_FALSE(again.error) << again.error->failureReason;
}

// What GPX 1.1 keeps elsewhere is written there: GPX 1.0 links, speeds and courses, and
// elements of other namespaces directly inside GPX elements.
TEST(GPXWriter, GPX10FormsAndMisplacedValuesAreWrittenInTheirGPX11Places) {
    const std::string gpx10 = R"(<gpx version="1.0" xmlns="http://www.topografix.com/GPX/1/0"
        xmlns:gc="http://www.groundspeak.com/cache/1/0">)";
    const std::string gpx11 = R"(<gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1"
        xmlns:gpxtpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v1"
        xmlns:tpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v2">)";
    const std::string v2 = "\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\"";
    struct Case {
        const char* what;
        std::string input;
        std::vector<std::string> written; // in this order
        const char* absent = nullptr;
    };
    const Case cases[] = {
        {"a GPX 1.0 file with its schema location",
         R"(<gpx version="1.0" xmlns="http://www.topografix.com/GPX/1/0"
           xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:schemaLocation=
           "http://www.topografix.com/GPX/1/0 http://www.topografix.com/GPX/1/0/gpx.xsd"><wpt lat="1" lon="2"/>)",
         {R"(xmlns="http://www.topografix.com/GPX/1/1")", "<wpt "}, "GPX/1/0"},
        {"speed and course of a track point",
         gpx10 + R"(<trk><trkseg><trkpt lat="1" lon="2"><speed>1.5</speed>
           <course>90</course></trkpt></trkseg></trk>)",
         {"xmlns:gpxtpx2=" + v2, "<extensions>", "<gpxtpx2:TrackPointExtension>",
          "<gpxtpx2:speed>1.5</gpxtpx2:speed>", "<gpxtpx2:course>90</gpxtpx2:course>"}},
        {"merged into the point's version 2 extension in schema order",
         gpx11 + R"(<trk><trkseg><trkpt lat="1" lon="2">
           <speed>2</speed><extensions><tpx:TrackPointExtension><tpx:hr>80</tpx:hr><tpx:bearing>5</tpx:bearing>
           </tpx:TrackPointExtension></extensions></trkpt></trkseg></trk>)",
         {"<tpx:TrackPointExtension>", "<tpx:hr>80</tpx:hr>", "<tpx:speed>2</tpx:speed>",
          "<tpx:bearing>5</tpx:bearing>"},
         "gpxtpx2"},
        {"beside a version 1 extension",
         R"(<gpx xmlns="http://www.topografix.com/GPX/1/1"
           xmlns:gpxtpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v1" xmlns:gpxtpx2="urn:other">
           <trk><trkseg><trkpt lat="1" lon="2"><extensions><gpxtpx:TrackPointExtension><gpxtpx:hr>80</gpxtpx:hr>
           </gpxtpx:TrackPointExtension></extensions><speed>3</speed></trkpt></trkseg></trk>)",
         {"<gpxtpx:hr>80</gpxtpx:hr>", "<gpxtpx2:TrackPointExtension xmlns:gpxtpx2=" + v2 + ">",
          "<gpxtpx2:speed>3</gpxtpx2:speed>"}},
        {"a geocache waypoint",
         gpx10 + R"(<wpt lat="1" lon="2"><name>W</name><url>http://w</url><urlname>Cache</urlname>
           <course>7</course><gc:cache><gc:owner>Ann</gc:owner></gc:cache></wpt>)",
         {"<name>W</name>", "<link href=\"http://w\">", "<text>Cache</text>", "<extensions>",
          "<gc:cache>", "<gc:owner>Ann</gc:owner>", "<gpxtpx2:course>7</gpxtpx2:course>"}},
        {"an element of another namespace in the metadata", gpx11 + R"(<metadata><gpxtpx:note>m</gpxtpx:note>
           </metadata>)", {"<metadata>", "<extensions>", "<gpxtpx:note>m</gpxtpx:note>", "</metadata>"}},
        {"the root's fields",
         gpx10 + R"(<name>N</name><author>Ann</author><email>ann@example.com</email>
           <url>http://n</url><urlname>Home</urlname><gc:listing>x</gc:listing>)",
         {"<metadata>", "<name>N</name>", "<author>", "<name>Ann</name>",
          "<email id=\"ann\" domain=\"example.com\"/>", "</author>", "<link href=\"http://n\">",
          "<text>Home</text>", "</metadata>", "<extensions>", "<gc:listing>x</gc:listing>"}},
        {"a track's link and extensions, its segment's extensions",
         gpx10 + R"(<trk><name>T</name><url>http://t</url>
           <gc:note>n</gc:note><trkseg><trkpt lat="1" lon="2"/><gc:part>s</gc:part></trkseg></trk>)",
         {"<name>T</name>", "<link href=\"http://t\"/>", "<extensions>", "<gc:note>n</gc:note>",
          "<trkseg>", "<trkpt ", "<extensions>", "<gc:part>s</gc:part>", "</trkseg>"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto read = GPXParser::parseData(c.input + "</gpx>");
        ASSERT_TRUE(read.document);
        EXPECT_FALSE(read.error) << read.error->failureReason;
        std::string xml = write(*read.document);
        expectInOrder(xml, c.written);
        if (c.absent) {
            EXPECT_EQ(xml.find(c.absent), std::string::npos) << xml;
        }
        // Written once, the file is GPX 1.1 and reads back to the same text.
        auto again = GPXParser::parseData(xml);
        ASSERT_TRUE(again.document);
        EXPECT_FALSE(again.error);
        EXPECT_EQ(write(*again.document), xml);
    }
}

TEST(GPXWriter, EveryLinkIsKeptAndTheFieldsChangeOnlyWhatTheyShow) {
    auto read = GPXParser::parseData(R"(<gpx xmlns="http://www.topografix.com/GPX/1/1"><metadata>
        <author><name>Ann</name><email id="ann" domain="example.com"/><link href="http://ann"/></author>
        <link href="http://a"><text>A</text></link><link href="http://b"><text>B</text><type>text/html</type></link>
      </metadata>
      <wpt lat="1" lon="2"><link href="http://w1"><text>W1</text></link><link href="http://w2"><text>W2</text></link></wpt>
      <trk><link href="http://t1"/><link href="http://t2"/><trkseg><trkpt lat="1" lon="2"/></trkseg></trk></gpx>)");
    ASSERT_TRUE(read.document);
    auto& doc = *read.document;
    // The link fields are the last links' addresses, as before.
    EXPECT_EQ(doc.documentLink(), "http://b");
    EXPECT_EQ(doc.documentAuthor(), "Ann");
    auto wpt = doc.documentItems().at(0);
    auto trk = doc.documentItems().at(1);
    EXPECT_EQ(wpt->itemLink(), "http://w2");
    doc.setDocumentLink("http://c");
    doc.setDocumentAuthor("Bo");
    wpt->setItemLink("http://w3");
    trk->setItemLink(""); // the user removes the link
    const std::string changed = write(doc);
    expectInOrder(changed, {"<name>Bo</name>", "<email id=\"ann\"", "<link href=\"http://ann\"/>",
                            "</author>", "<link href=\"http://a\">", "<link href=\"http://c\">",
                            "<text>B</text>", "<type>text/html</type>", "<link href=\"http://w1\">",
                            "<link href=\"http://w3\">", "<text>W2</text>",
                            "<link href=\"http://t1\"/>", "<trkseg>"});
    EXPECT_EQ(changed.find("http://t2"), std::string::npos);
}
