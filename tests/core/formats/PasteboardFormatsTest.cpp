#include "core/formats/PasteboardFormats.h"

#include "core/formats/GPXParser.h"
#include "core/formats/GPXWriter.h"
#include "core/formats/KeyedArchive.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace wend;

namespace {

using Bytes = std::vector<std::uint8_t>;

const char* kSourceGPX = R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1"
     xmlns:gpxtpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v1"
     xmlns:gpxx="http://www.garmin.com/xmlschemas/GpxExtensions/v3">
  <metadata><name>Source</name><desc>the file copied from</desc></metadata>
  <wpt lat="47.0" lon="8.0"><name>Hut</name></wpt>
  <trk><name>Morning</name><number>3</number>
    <extensions><gpxx:TrackExtension><gpxx:DisplayColor>DarkRed</gpxx:DisplayColor></gpxx:TrackExtension></extensions>
    <trkseg>
      <trkpt lat="47.1" lon="8.1"><ele>410.5</ele><time>2021-05-01T07:00:00Z</time>
        <extensions><gpxtpx:TrackPointExtension><gpxtpx:hr>131</gpxtpx:hr></gpxtpx:TrackPointExtension></extensions></trkpt>
      <trkpt lat="47.2" lon="8.2"><ele>420</ele><time>2021-05-01T07:01:00.250Z</time></trkpt>
    </trkseg></trk>
  <trk><name>Evening</name>
    <extensions><gpxx:TrackExtension><gpxx:DisplayColor>Cyan</gpxx:DisplayColor></gpxx:TrackExtension></extensions>
    <trkseg>
      <trkpt lat="46.5" lon="7.5"><ele>900</ele><time>2021-05-01T18:00:00Z</time></trkpt>
      <trkpt lat="46.6" lon="7.6"><time>2021-05-01T18:30:00Z</time></trkpt>
      <trkpt lat="46.7" lon="7.7"><ele>950</ele></trkpt>
    </trkseg></trk>
</gpx>)";

// The two tracks of the source file as the document window copies them.
GPSDocumentPtr copiedTracks(const GPSDocument& source) {
    ItemList items;
    for (const auto& item : source.documentItems())
        if (item->itemType() == GPSItemType::Track)
            items.push_back(item->copy());
    return GPSDocument::documentWithItems(items);
}

GPSDocumentPtr readSource() {
    auto read = GPXParser::parseData(kSourceGPX);
    EXPECT_TRUE(read.document);
    EXPECT_FALSE(read.error);
    return read.document;
}

std::string text(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(PasteboardFormats, TypesAreOfferedOnlyOnTheGeneralPasteboard) {
    EXPECT_EQ(PasteboardFormats::writableTypes(true).size(), 2u);
    EXPECT_TRUE(PasteboardFormats::writableTypes(false).empty());
    EXPECT_TRUE(PasteboardFormats::readableTypes(false).empty());

    auto doc = GPSDocument::documentWithItems({});
    EXPECT_FALSE(PasteboardFormats::pasteboardDataForType(*doc, "text/html"));
    EXPECT_FALSE(PasteboardFormats::pasteboardDataForType(*doc, ""));
}

TEST(PasteboardFormats, CopiedTracksArriveWithTheirContents) {
    auto source = readSource();
    ASSERT_TRUE(source);
    auto copied = copiedTracks(*source);
    auto representations = PasteboardFormats::representations(*copied);
    ASSERT_EQ(representations.size(), 2u);
    EXPECT_EQ(representations[0].type, PasteboardFormats::kGPXType);
    EXPECT_EQ(representations[0].data, KeyedArchive::archiveDocument(*copied));
    EXPECT_EQ(representations[1].type, PasteboardFormats::kPlainTextType);

    auto pasted = PasteboardFormats::documentFromPasteboardData(representations[0].data,
                                                                representations[0].type);
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pasted->documentName(), "");
    const auto& originals = copied->documentItems();
    const auto& items = pasted->documentItems();
    ASSERT_EQ(items.size(), 2u);
    for (std::size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(originals[i]->itemName());
        // Pasted items are the receiving document's own objects, never the copied ones.
        EXPECT_NE(items[i], originals[i]);
        EXPECT_EQ(items[i]->itemName(), originals[i]->itemName());
        EXPECT_EQ(items[i]->itemColor(), originals[i]->itemColor());
        EXPECT_EQ(items[i]->XMLElements(), originals[i]->XMLElements());
        ASSERT_EQ(items[i]->itemPoints().size(), originals[i]->itemPoints().size());
        for (std::size_t p = 0; p < items[i]->itemPoints().size(); ++p) {
            const auto& a = *items[i]->itemPoints()[p];
            const auto& b = *originals[i]->itemPoints()[p];
            EXPECT_NE(&a, &b);
            EXPECT_EQ(a.longitude(), b.longitude());
            EXPECT_EQ(a.latitude(), b.latitude());
            EXPECT_TRUE(a.elevation() == b.elevation() ||
                        (std::isnan(a.elevation()) && std::isnan(b.elevation())));
            EXPECT_EQ(a.time(), b.time());
            EXPECT_EQ(a.XMLElements(), b.XMLElements());
        }
    }
    EXPECT_EQ(ItemColor::stringFromItemColor(items[0]->itemColor()), "DarkRed");
    EXPECT_EQ(ItemColor::stringFromItemColor(items[1]->itemColor()), "Cyan");
    EXPECT_EQ(items[0]->XMLElementNamed("number").stringValue(), "3");
    EXPECT_FALSE(items[0]->itemPoints()[0]->XMLElementNamed("extensions").isNull());
    EXPECT_EQ(items[0]->itemPoints()[1]->time(), Instant::fromMicroseconds(1619852460250000));
}

TEST(PasteboardFormats, DocumentFieldsSurviveTheArchive) {
    auto source = readSource();
    ASSERT_TRUE(source);
    source->setDocumentAuthor("Ann");
    source->setDocumentLink("https://example.org/trip");
    source->setXMLSchemaLocation(
        "http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd");
    source->setMetadataExtensions(
        XMLElement::fromXMLString("<extensions><note>kept</note></extensions>"));
    source->setMetadataElements(
        XMLElementList{XMLElement::fromXMLString("<keywords>alps</keywords>")});
    source->setXMLElements(
        XMLElementList{XMLElement::fromXMLString("<extensions><z>root</z></extensions>")});

    auto bytes = PasteboardFormats::pasteboardDataForType(*source, PasteboardFormats::kGPXType);
    ASSERT_TRUE(bytes);
    auto pasted =
        PasteboardFormats::documentFromPasteboardData(*bytes, PasteboardFormats::kGPXType);
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pasted->documentName(), "Source");
    EXPECT_EQ(pasted->documentDescription(), "the file copied from");
    EXPECT_EQ(pasted->documentAuthor(), "Ann");
    EXPECT_EQ(pasted->documentLink(), "https://example.org/trip");
    EXPECT_EQ(pasted->XMLNamespaces(), source->XMLNamespaces());
    EXPECT_EQ(pasted->XMLSchemaLocation(), source->XMLSchemaLocation());
    EXPECT_EQ(pasted->metadataExtensions(), source->metadataExtensions());
    EXPECT_EQ(pasted->metadataElements(), source->metadataElements());
    EXPECT_EQ(pasted->XMLElements(), source->XMLElements());
    ASSERT_EQ(pasted->documentItems().size(), 3u);
    EXPECT_EQ(pasted->documentItems()[0]->itemType(), GPSItemType::Waypoint);
}

TEST(PasteboardFormats, TextIsACompleteGPXFileWithoutDocumentName) {
    auto source = readSource();
    ASSERT_TRUE(source);
    GPXWriteOptions options;
    options.metadataTime = Instant::fromMicroseconds(1'600'000'000'000'000);
    auto bytes = PasteboardFormats::pasteboardDataForType(
        *copiedTracks(*source), PasteboardFormats::kPlainTextType, options);
    ASSERT_TRUE(bytes);
    const std::string gpx = text(*bytes);
    EXPECT_EQ(gpx.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << gpx.substr(0, 80);
    EXPECT_NE(gpx.find("version=\"1.1\""), std::string::npos);
    auto metadata = gpx.find("<metadata>");
    auto metadataEnd = gpx.find("</metadata>");
    ASSERT_NE(metadata, std::string::npos);
    ASSERT_NE(metadataEnd, std::string::npos);
    EXPECT_EQ(gpx.substr(metadata, metadataEnd - metadata).find("<name>"), std::string::npos)
        << gpx.substr(metadata, metadataEnd - metadata);
    EXPECT_NE(gpx.find("<time>2020-09-13T12:26:40Z</time>"), std::string::npos);
    EXPECT_EQ(gpx.find("<wpt"), std::string::npos);
    EXPECT_NE(gpx.find("</gpx>"), std::string::npos);

    // Another application reading the text gets both tracks, extensions and all.
    auto read = GPXParser::parseData(gpx);
    ASSERT_TRUE(read.document);
    EXPECT_FALSE(read.error) << read.error->failureReason;
    ASSERT_EQ(read.document->documentItems().size(), 2u);
    EXPECT_EQ(read.document->documentItems()[1]->itemName(), "Evening");
    EXPECT_EQ(read.document->documentItems()[0]->itemPoints()[0]->XMLElements(),
              source->documentItems()[1]->itemPoints()[0]->XMLElements());

    // GPX text is for other applications: Wend does not paste it.
    EXPECT_FALSE(
        PasteboardFormats::documentFromPasteboardData(*bytes, PasteboardFormats::kGPXType));
    EXPECT_FALSE(
        PasteboardFormats::documentFromPasteboardData(*bytes, PasteboardFormats::kPlainTextType));
}

TEST(PasteboardFormats, NamespaceWarningsReachTheCaller) {
    auto read = GPXParser::parseData(R"(<gpx xmlns="http://www.topografix.com/GPX/1/1"><trk><trkseg>
        <trkpt lat="1" lon="2"><extensions><ns3:hr>1</ns3:hr></extensions></trkpt></trkseg></trk></gpx>)");
    ASSERT_TRUE(read.document);
    std::vector<NamespaceWarning> warnings;
    auto copied = GPSDocument::documentWithItems(read.document->documentItems());
    auto representations = PasteboardFormats::representations(*copied, {}, &warnings);
    ASSERT_EQ(representations.size(), 2u);
    EXPECT_FALSE(representations[1].data.empty());
    ASSERT_FALSE(warnings.empty());
    EXPECT_EQ(warnings[0].error.description, "XML Namespace Error");
}

TEST(PasteboardFormats, BytesThatAreNoDocumentArchiveGiveNothing) {
    auto source = readSource();
    ASSERT_TRUE(source);
    const Bytes archive = KeyedArchive::archiveDocument(*source);
    const std::string gpxType(PasteboardFormats::kGPXType);

    EXPECT_FALSE(PasteboardFormats::documentFromPasteboardData({}, gpxType));
    EXPECT_FALSE(
        PasteboardFormats::documentFromPasteboardData(Bytes{0xff, 0x00, 0x13, 0x37}, gpxType));
    const std::string plain = "just some text on the clipboard";
    EXPECT_FALSE(
        PasteboardFormats::documentFromPasteboardData(Bytes(plain.begin(), plain.end()), gpxType));
    // An archive of another class, a cut-off archive, and the right archive under another type.
    EXPECT_FALSE(PasteboardFormats::documentFromPasteboardData(
        KeyedArchive::archiveItem(*source->documentItems()[1]), gpxType));
    EXPECT_FALSE(PasteboardFormats::documentFromPasteboardData(
        Bytes(archive.begin(), archive.begin() + archive.size() / 2), gpxType));
    EXPECT_FALSE(PasteboardFormats::documentFromPasteboardData(archive, "text/plain"));
    EXPECT_FALSE(PasteboardFormats::documentFromPasteboardData(archive, "public.gpx"));
    EXPECT_TRUE(PasteboardFormats::documentFromPasteboardData(archive, gpxType));
}

// Copied items carry what a GPX 1.0 file held in other forms (a link text, a speed in the
// track point extension), and the pasted document, declaring nothing, still writes them.
TEST(PasteboardFormats, CopiedGPX10ItemsKeepTheirMovedValues) {
    auto read =
        GPXParser::parseData(R"(<gpx version="1.0" xmlns="http://www.topografix.com/GPX/1/0">
        <trk><url>http://t</url><urlname>Tour</urlname><trkseg><trkpt lat="1" lon="2"><speed>4.5</speed></trkpt>
        </trkseg></trk></gpx>)");
    ASSERT_TRUE(read.document);
    auto bytes = PasteboardFormats::pasteboardDataForType(*copiedTracks(*read.document),
                                                          PasteboardFormats::kGPXType);
    ASSERT_TRUE(bytes);
    auto pasted =
        PasteboardFormats::documentFromPasteboardData(*bytes, PasteboardFormats::kGPXType);
    ASSERT_TRUE(pasted);
    std::vector<NamespaceWarning> warnings;
    const std::string xml = GPXWriter::GPXString(*pasted, {}, &warnings);
    EXPECT_TRUE(warnings.empty()) << warnings.front().error.failureReason;
    for (const char* part : {"<text>Tour</text>", "<gpxtpx2:speed>4.5</gpxtpx2:speed>",
                             "xmlns:gpxtpx2=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\""})
        EXPECT_NE(xml.find(part), std::string::npos) << part << "\n" << xml;
}
