// The reader and writer against real-world files from many devices and programs.

#include "core/formats/GPXParser.h"
#include "core/formats/GPXWriter.h"
#include "core/model/GPXTime.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using namespace wend;
using namespace wend::test;

namespace {

const std::vector<std::string_view> kTrackChildren = {"cmt",  "src",        "link",  "number",
                                                      "type", "extensions", "trkseg"};
const std::vector<std::string_view> kPointChildren = {
    "magvar", "geoidheight", "name", "cmt", "desc", "src", "link", "sym", "type", "fix", "sat",
    "hdop", "vdop", "pdop", "ageofdgpsdata", "dgpsid", "extensions"};

GPXWriteOptions fixedOptions() {
    GPXWriteOptions options;
    options.metadataTime = Instant::fromMicroseconds(1'700'000'000'000'000);
    return options;
}

// The kept elements that the schema order lets through, grouped in that order.
std::vector<XMLElement> surviving(const XMLElementList& list, const std::vector<std::string_view>& allowed) {
    std::vector<XMLElement> out;
    for (auto name : allowed)
        for (auto e : list)
            if (e.name() == name)
                out.push_back(e);
    return out;
}

std::string describe(const std::vector<XMLElement>& elements) {
    std::string out;
    for (const auto& e : elements)
        out += e.xmlString() + "\n";
    return out;
}

std::optional<std::int64_t> milliseconds(const std::optional<Instant>& t) {
    if (!t)
        return std::nullopt;
    std::int64_t us = t->microsecondsSince1970();
    return us >= 0 ? us / 1000 : -((-us + 999) / 1000);
}

void expectSameValue(double original, double again, const std::string& what) {
    if (std::isnan(original)) {
        EXPECT_TRUE(std::isnan(again)) << what;
        return;
    }
    // Six decimals are written: the value read back is within half a unit of the sixth.
    EXPECT_NEAR(original, again, 5.0000001e-7) << what;
}

// Compares a document with the one read back from its written text.
void expectSameDocument(const GPSDocument& a, const GPSDocument& b, const std::string& file) {
    EXPECT_EQ(a.documentName(), b.documentName()) << file;
    EXPECT_EQ(a.documentDescription(), b.documentDescription()) << file;
    EXPECT_EQ(a.documentAuthor(), b.documentAuthor()) << file;
    EXPECT_EQ(a.documentLink(), b.documentLink()) << file;
    EXPECT_EQ(a.metadataExtensions(), b.metadataExtensions()) << file;
    EXPECT_EQ(a.metadataElements(), b.metadataElements()) << file;
    EXPECT_EQ(describe(surviving(a.XMLElements(), {"extensions"})), describe(b.XMLElements().toVector())) << file;

    // The writer groups waypoints, routes and tracks; compare within each kind.
    for (auto type : {GPSItemType::Waypoint, GPSItemType::Route, GPSItemType::Track}) {
        ItemList ia, ib;
        for (auto& i : a.documentItems())
            if (i->itemType() == type)
                ia.push_back(i);
        for (auto& i : b.documentItems())
            if (i->itemType() == type)
                ib.push_back(i);
        ASSERT_EQ(ia.size(), ib.size()) << file;
        for (std::size_t k = 0; k < ia.size(); ++k) {
            const GPSItem& x = *ia[k];
            const GPSItem& y = *ib[k];
            std::string where = file + " item " + std::to_string(k) + " \"" + x.itemName() + "\"";
            EXPECT_EQ(x.itemName(), y.itemName()) << where;
            EXPECT_EQ(x.itemDescription(), y.itemDescription()) << where;
            EXPECT_EQ(x.itemLink(), y.itemLink()) << where;
            EXPECT_EQ(x.wptSym(), y.wptSym()) << where;
            EXPECT_EQ(x.wptType(), y.wptType()) << where;
            EXPECT_EQ(x.itemColor(), y.itemColor()) << where;
            const auto& allowed = type == GPSItemType::Waypoint ? kPointChildren : kTrackChildren;
            EXPECT_EQ(describe(surviving(x.XMLElements(), allowed)), describe(y.XMLElements().toVector())) << where;
            ASSERT_EQ(x.itemPoints().size(), y.itemPoints().size()) << where;
            for (std::size_t p = 0; p < x.itemPoints().size(); ++p) {
                const GPSPoint& pa = *x.itemPoints()[p];
                const GPSPoint& pb = *y.itemPoints()[p];
                std::string at = where + " point " + std::to_string(p);
                expectSameValue(pa.longitude(), pb.longitude(), at + " longitude");
                expectSameValue(pa.latitude(), pb.latitude(), at + " latitude");
                expectSameValue(pa.elevation(), pb.elevation(), at + " elevation");
                EXPECT_EQ(milliseconds(pa.time()), milliseconds(pb.time())) << at;
                EXPECT_EQ(describe(surviving(pa.XMLElements(), kPointChildren)),
                          describe(pb.XMLElements().toVector()))
                    << at;
                if (::testing::Test::HasFailure())
                    return; // one broken file gives one report, not thousands
            }
        }
    }
}

std::size_t number(const std::map<std::string, std::string>& row, const std::string& column) {
    return static_cast<std::size_t>(std::stoul(row.at(column)));
}

} // namespace

TEST(GPXCorpus, EveryFileReadsWithTheExpectedItemsAndPoints) {
    WEND_SKIP_WITHOUT_CORPUS();
    auto expectations = corpusExpectations();
    int checked = 0;
    for (const auto& file : corpusFiles()) {
        SCOPED_TRACE(file);
        auto result = GPXParser::parseFile(corpusDirectory() + "/" + file);
        auto it = expectations.find(file);
        ASSERT_NE(it, expectations.end()) << "not in expect.tsv";
        const auto& row = it->second;
        if (row.at("content") == "gzip") {
            // Compressed files are read like their decompressed text.
            ASSERT_TRUE(result.document);
            EXPECT_FALSE(result.error);
            EXPECT_EQ(result.document->documentItems().size(), 1u);
            continue;
        }
        if (row.at("xml_wellformed") != "yes") {
            EXPECT_TRUE(result.error) << "malformed input needs the warning or the error";
            continue;
        }
        if (row.at("root") != "gpx") {
            EXPECT_FALSE(result.document);
            ASSERT_TRUE(result.error);
            EXPECT_EQ(result.error->description, "Couldn't Load GPX Data");
            continue;
        }
        ASSERT_TRUE(result.document);
        // One file gives its name and description twice, at the root and in the metadata.
        if (row.at("ns_wellformed") == "yes" && file != "viking__GH_137.gpx")
            EXPECT_FALSE(result.error) << result.error->failureReason;
        else
            EXPECT_TRUE(result.hasWarning());
        std::size_t tracks = 0, routes = 0, waypoints = 0, points = 0;
        for (const auto& item : result.document->documentItems()) {
            tracks += item->itemType() == GPSItemType::Track;
            routes += item->itemType() == GPSItemType::Route;
            waypoints += item->itemType() == GPSItemType::Waypoint;
            points += item->itemPoints().size();
        }
        EXPECT_EQ(tracks, number(row, "trkseg_nonempty"));
        EXPECT_EQ(routes, number(row, "rte_nonempty"));
        EXPECT_EQ(waypoints, number(row, "wpt"));
        EXPECT_EQ(points, number(row, "trkpt") + number(row, "rtept") + number(row, "wpt"));
        ++checked;
    }
    EXPECT_GT(checked, 90);
}

TEST(GPXCorpus, RoundTripKeepsEverythingTheSchemaAllows) {
    WEND_SKIP_WITHOUT_CORPUS();
    for (const auto& file : corpusFiles()) {
        auto first = GPXParser::parseFile(corpusDirectory() + "/" + file);
        if (!first.document)
            continue;
        std::string written = GPXWriter::GPXString(*first.document, fixedOptions());
        auto second = GPXParser::parseData(written);
        ASSERT_TRUE(second.document) << file;
        EXPECT_FALSE(second.error) << file << ": " << second.error->failureReason;
        expectSameDocument(*first.document, *second.document, file);
        // Writing what was read back gives the same text again.
        EXPECT_EQ(GPXWriter::GPXString(*second.document, fixedOptions()), written) << file;
        if (HasFailure())
            return;
    }
}

TEST(GPXCorpus, GoldenFacts) {
    WEND_SKIP_WITHOUT_CORPUS();
    auto load = [](const std::string& file) {
        auto result = GPXParser::parseFile(corpusDirectory() + "/" + file);
        EXPECT_TRUE(result.document) << file;
        return result.document ? result.document : GPSDocument::document();
    };
    {
        auto doc = load("georust__garmin_with_extensions.gpx");
        ASSERT_EQ(doc->documentItems().size(), 2u);
        EXPECT_EQ(doc->documentItems()[0]->itemName(), "2019-05-01 06:31:11 Tag");
        EXPECT_EQ(ItemColor::stringFromItemColor(doc->documentItems()[0]->itemColor()), "Cyan");
        EXPECT_EQ(doc->documentLink(), "http://www.garmin.com");
        EXPECT_EQ(doc->documentItems()[1]->itemPoints().size(), 3505u);
    }
    {
        auto doc = load("gpxpy__gpx1.1_with_all_fields.gpx");
        EXPECT_EQ(doc->documentName(), "example name");
        EXPECT_EQ(doc->documentAuthor(), "author name");
        ASSERT_FALSE(doc->documentItems().empty());
        const auto& wpt = *doc->documentItems()[0];
        EXPECT_EQ(wpt.itemType(), GPSItemType::Waypoint);
        EXPECT_EQ(wpt.wptSym(), "example sym");
        EXPECT_FALSE(wpt.XMLElementNamed("cmt").isNull());
        EXPECT_FALSE(doc->metadataExtensions().isNull());
        bool copyright = false;
        for (auto e : doc->metadataElements())
            copyright = copyright || e.name() == "copyright";
        EXPECT_TRUE(copyright);
    }
    {
        // The metadata's name and description win over the root's, which the warning names.
        auto read = GPXParser::parseFile(corpusDirectory() + "/viking__GH_137.gpx");
        ASSERT_TRUE(read.hasWarning());
        EXPECT_NE(read.error->failureReason.find("left out from the top of the file: name \"GPX Name\", "
                                                 "desc \"GPX Description\""),
                  std::string::npos);
        EXPECT_EQ(read.document->documentName(), "MD Name");
        EXPECT_EQ(read.document->documentDescription(), "MD Description");
    }
    {
        auto doc = load("gpsbabel__gpx_subsecond-sample.gpx");
        bool fraction = false;
        for (const auto& item : doc->documentItems())
            for (const auto& p : item->itemPoints())
                fraction = fraction || (p->time() && p->time()->microsecondsSince1970() % 1000000 != 0);
        EXPECT_TRUE(fraction);
    }
    {
        auto doc = load("gpxpy__unicode_with_bom.gpx");
        EXPECT_FALSE(doc->documentItems().empty());
    }
    {
        auto doc = load("opentracks__gpx_timezone.gpx");
        ASSERT_FALSE(doc->documentItems().empty());
        ASSERT_FALSE(doc->documentItems()[0]->itemPoints().empty());
        EXPECT_TRUE(doc->documentItems()[0]->itemPoints()[0]->time());
    }
}

TEST(GPXCorpus, WrittenFilesAreValidGPX11) {
    WEND_SKIP_WITHOUT_CORPUS();
    if (!haveProgram("xmllint"))
        GTEST_SKIP() << "xmllint is not installed";
    std::string dir = scratchDirectory("corpus-schema");
    std::string schema = schemaDirectory() + "/gpx11.xsd";
    int validated = 0;
    for (const auto& file : corpusFiles()) {
        std::string input = corpusDirectory() + "/" + file;
        int status = 0;
        runCommand("xmllint --noout --schema '" + schema + "' '" + input + "' >/dev/null 2>&1", &status);
        if (status != 0)
            continue; // only inputs that are valid GPX 1.1 must give valid output
        auto read = GPXParser::parseFile(input);
        ASSERT_TRUE(read.document) << file;
        std::string output = dir + "/" + file;
        writeFile(output, GPXWriter::GPXString(*read.document, fixedOptions()));
        std::string errors =
            runCommand("xmllint --noout --schema '" + schema + "' '" + output + "' 2>&1 >/dev/null", &status);
        EXPECT_EQ(status, 0) << file << "\n" << errors;
        ++validated;
    }
    EXPECT_GT(validated, 40);
}

TEST(GPXCorpus, GpsbabelReadsEveryWrittenFileWithAllItsPoints) {
    WEND_SKIP_WITHOUT_CORPUS();
    if (!haveProgram("gpsbabel"))
        GTEST_SKIP() << "gpsbabel is not installed";
    std::string dir = scratchDirectory("corpus-gpsbabel");
    int checked = 0;
    for (const auto& file : corpusFiles()) {
        auto read = GPXParser::parseFile(corpusDirectory() + "/" + file);
        if (!read.document)
            continue;
        std::size_t points = 0;
        for (const auto& item : read.document->documentItems())
            points += item->itemPoints().size();
        std::string output = dir + "/" + file;
        writeFile(output, GPXWriter::GPXString(*read.document, fixedOptions()));
        int status = 0;
        std::string peer = runCommand("gpsbabel -i gpx -f '" + output + "' -o gpx -F - 2>&1", &status);
        EXPECT_EQ(status, 0) << file << "\n" << peer.substr(0, 300);
        std::size_t peerPoints = 0;
        std::istringstream lines(peer);
        std::string line;
        while (std::getline(lines, line))
            if (line.find("<trkpt ") != std::string::npos || line.find("<rtept ") != std::string::npos ||
                line.find("<wpt ") != std::string::npos)
                ++peerPoints;
        EXPECT_EQ(peerPoints, points) << file;
        ++checked;
    }
    EXPECT_GT(checked, 90);
}
