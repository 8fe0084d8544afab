#include "core/formats/GPXParser.h"
#include "core/formats/GPXWriter.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

using namespace wend;

namespace {

std::string write(const GPSDocument& doc, bool garmin = true, std::vector<NamespaceWarning>* warnings = nullptr) {
    GPXWriteOptions options;
    options.saveGarminFriendly = garmin;
    options.metadataTime = Instant::fromMicroseconds(1'600'000'000'000'000);
    return GPXWriter::GPXString(doc, options, warnings);
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

const std::string gpx10 = R"(<gpx version="1.0" xmlns="http://www.topografix.com/GPX/1/0"
    xmlns:gc="http://www.groundspeak.com/cache/1/0">)";
const std::string gpx11 = R"(<gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1"
    xmlns:gpxtpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v1"
    xmlns:tpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v2"
    xmlns:gpxx="http://www.garmin.com/xmlschemas/GpxExtensions/v3">)";
const std::string v2 = "\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\"";

} // namespace

// What is read, perhaps edited, and written: GPX 1.1 in schema order, with what GPX 1.1 keeps
// elsewhere (GPX 1.0 links, speeds and courses, elements of other namespaces directly inside
// GPX elements) in its GPX 1.1 place. Written once, the file reads back to the same text.
TEST(GPXWriter, WritesEveryFieldInItsPlace) {
    struct Case {
        const char* what;
        std::string input;
        std::vector<std::string> written; // in this order
        const char* absent = nullptr;
        std::function<void(GPSDocument&)> edit = nullptr;
    };
    const Case cases[] = {
        {"numbers with six decimals", gpx11 + R"(<trk><name>T</name><trkseg><trkpt lat="47.25" lon="8.5">
           <ele>400</ele></trkpt><trkpt lat="1" lon="-0.125"/></trkseg></trk>)",
         {R"(<trkpt lon="8.500000" lat="47.250000">)", "<ele>400.000000</ele>",
          R"(<trkpt lon="-0.125000" lat="1.000000"/>)"}, "<desc>"},
        {"a track's children and its new colour",
         gpx11 + R"(<trk><extensions><gpxx:TrackExtension><gpxx:DisplayColor>Red</gpxx:DisplayColor>
           </gpxx:TrackExtension></extensions><number>3</number><name>N</name><cmt>C</cmt>
           <trkseg><trkpt lat="1" lon="2"/></trkseg></trk>)",
         {"<name>N</name>", "<cmt>C</cmt>", "<number>3", "<extensions>",
          "<gpxx:DisplayColor>Blue</gpxx:DisplayColor>", "<trkseg>"}, "Red",
         [](GPSDocument& d) { d.documentItems()[0]->setItemColor(ItemColor::itemColorFromString("Blue")); }},
        {"a freely picked colour leaves the kept one",
         gpx11 + R"(<trk><extensions><gpxx:TrackExtension><gpxx:DisplayColor>Red</gpxx:DisplayColor>
           </gpxx:TrackExtension></extensions><trkseg><trkpt lat="1" lon="2"/></trkseg></trk>)",
         {"<gpxx:DisplayColor>Red</gpxx:DisplayColor>"}, nullptr,
         [](GPSDocument& d) { d.documentItems()[0]->setItemColor(ItemColor{0.1, 0.2, 0.3, 1}); }},
        {"a waypoint's new fields among its kept elements",
         gpx11 + R"(<wpt lat="47.25" lon="8.5"><time>2020-01-01T00:00:00Z</time><name>Old</name>
           <cmt>kept</cmt><sym>Flag</sym><link href="http://a"/><extensions><e/></extensions></wpt>)",
         {"<time>2020-01-01T00:00:00Z</time>", "<name>Summit</name>", "<cmt>kept</cmt>", "<desc>Top</desc>",
          "<link href=\"http://a\"/>", "<sym>Flag</sym>", "<type>peak</type>", "<extensions>"}, "Old",
         [](GPSDocument& d) {
             d.documentItems()[0]->setItemName("Summit");
             d.documentItems()[0]->setItemDescription("Top");
             d.documentItems()[0]->setWptType("peak");
         }},
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
        if (c.edit)
            c.edit(*read.document);
        std::string xml = write(*read.document);
        expectInOrder(xml, c.written);
        if (c.absent) {
            EXPECT_EQ(xml.find(c.absent), std::string::npos) << xml;
        }
        auto again = GPXParser::parseData(xml);
        ASSERT_TRUE(again.document);
        EXPECT_FALSE(again.error);
        EXPECT_EQ(write(*again.document), xml);
    }
}

TEST(GPXWriter, ItemsInFileOrderOrGarminsAndOnlyThoseAFileCanHold) {
    auto track = GPSItem::item();
    track->setItemPoints({GPSPoint::pointWithLongitude(0, 0, 0, std::nullopt)});
    auto wpt = GPSItem::item();
    wpt->setItemType(GPSItemType::Waypoint);
    wpt->setItemPoints({GPSPoint::pointWithLongitude(1, 1, 0, std::nullopt)});
    auto doc = GPSDocument::documentWithItems({track, wpt});
    std::string fileOrder = write(*doc, false);
    EXPECT_LT(fileOrder.find("<trk>"), fileOrder.find("<wpt "));
    // Items of no known type and waypoints without a position are left out.
    track->setItemType(GPSItemType::Unknown);
    wpt->setItemPoints({});
    std::string xml = write(*doc);
    EXPECT_EQ(xml.find("<trk"), std::string::npos);
    EXPECT_EQ(xml.find("<wpt"), std::string::npos);
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
    const std::string root = xml.substr(xml.find("<gpx "), xml.find('>', xml.find("<gpx ")) - xml.find("<gpx "));
    EXPECT_NE(root.find(R"(xmlns:gpxtpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v2")"), std::string::npos);
    EXPECT_EQ(root.find("unused"), std::string::npos) << root;
    EXPECT_NE(root.find("http://www.garmin.com/xmlschemas/TrackPointExtension/v2 "
                        "http://www.garmin.com/xmlschemas/TrackPointExtensionv2.xsd"),
              std::string::npos);
    EXPECT_LT(root.find("version=\"1.1\""), root.find("xmlns="));
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
