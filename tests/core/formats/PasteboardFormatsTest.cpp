#include "core/formats/PasteboardFormats.h"

#include "core/formats/GPXParser.h"
#include "core/formats/GPXWriter.h"
#include "core/formats/KeyedArchive.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace wend;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Kept elements of the copied tracks use a prefix only the root declares; ns3 is declared nowhere.
const char* kSourceGPX = R"(<gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1"
     xmlns:gpxtpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v1">
  <metadata><name>Source</name><desc>the file copied from</desc></metadata>
  <wpt lat="47.0" lon="8.0"><name>Hut</name></wpt>
  <trk><name>Morning</name><trkseg><trkpt lat="47.1" lon="8.1"><time>2021-05-01T07:00:00Z</time><extensions>
    <gpxtpx:TrackPointExtension><gpxtpx:hr>131</gpxtpx:hr></gpxtpx:TrackPointExtension></extensions></trkpt>
  </trkseg></trk>
  <trk><name>Evening</name><trkseg><trkpt lat="46.5" lon="7.5"><extensions><ns3:hr>1</ns3:hr></extensions>
  </trkpt></trkseg></trk>
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
    return read.document;
}

std::string text(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

// The archive's own round trip and refusals are the keyed archive's; here only which bytes go
// under which type, and which come back.
TEST(PasteboardFormats, TheArchiveTravelsUnderItsTypeOnly) {
    auto source = readSource();
    ASSERT_TRUE(source);
    auto copied = copiedTracks(*source);
    std::vector<NamespaceWarning> warnings;
    auto representations = PasteboardFormats::representations(*copied, {}, &warnings);
    ASSERT_EQ(representations.size(), 2u);
    ASSERT_FALSE(warnings.empty()); // ns3 has no declaration
    EXPECT_EQ(warnings[0].error.description, "XML Namespace Error");
    EXPECT_EQ(representations[0].type, PasteboardFormats::kGPXType);
    EXPECT_EQ(representations[0].data, KeyedArchive::archiveDocument(*copied));
    EXPECT_EQ(representations[1].type, PasteboardFormats::kPlainTextType);
    EXPECT_FALSE(PasteboardFormats::pasteboardDataForType(*copied, "text/html"));

    const Bytes& archive = representations[0].data;
    auto pasted = PasteboardFormats::documentFromPasteboardData(archive, PasteboardFormats::kGPXType);
    ASSERT_TRUE(pasted);
    ASSERT_EQ(pasted->documentItems().size(), 2u);
    EXPECT_NE(pasted->documentItems()[0], copied->documentItems()[0]);
    EXPECT_EQ(pasted->documentItems()[1]->itemName(), "Evening");
    EXPECT_FALSE(PasteboardFormats::documentFromPasteboardData(archive, "text/plain"));
    EXPECT_FALSE(PasteboardFormats::documentFromPasteboardData(archive, "public.gpx"));
    EXPECT_FALSE(PasteboardFormats::documentFromPasteboardData(
        KeyedArchive::archiveItem(*source->documentItems()[1]), PasteboardFormats::kGPXType));
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
    const std::string metadata = gpx.substr(gpx.find("<metadata>"), gpx.find("</metadata>") - gpx.find("<metadata>"));
    EXPECT_EQ(metadata, "<metadata>\n    <time>2020-09-13T12:26:40Z</time>\n  ");
    EXPECT_EQ(gpx.find("<wpt"), std::string::npos);

    // Another application reading the text gets both tracks, extensions and all.
    auto read = GPXParser::parseData(gpx);
    ASSERT_TRUE(read.document);
    EXPECT_FALSE(read.error) << read.error->failureReason;
    ASSERT_EQ(read.document->documentItems().size(), 2u);
    EXPECT_EQ(read.document->documentItems()[1]->itemName(), "Evening");
    EXPECT_EQ(read.document->documentItems()[0]->itemPoints()[0]->XMLElements(),
              source->documentItems()[1]->itemPoints()[0]->XMLElements());
}
