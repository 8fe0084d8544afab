// The reader, the writer and the document against real-world files from many devices and
// programs: each file opens with the items it holds, and saving it loses nothing it records.

#include "core/document/InMemoryPreferences.h"
#include "core/document/WendDocument.h"
#include "core/formats/GPXParser.h"
#include "core/formats/GPXWriter.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>

using namespace wend;
using namespace wend::test;

namespace {

using Counts = std::map<std::string, std::size_t>;

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
// Items in `fresh` hold no kept colour element yet: saving them adds one.
void expectSameDocument(const GPSDocument& a, const GPSDocument& b, const std::string& file,
                        const std::set<const GPSItem*>& fresh = {}) {
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
            EXPECT_TRUE(type == GPSItemType::Waypoint || x.itemColor() == y.itemColor())
                << where; // a waypoint's colour is not saved
            const auto& allowed = type == GPSItemType::Waypoint ? kPointChildren : kTrackChildren;
            if (!fresh.count(&x)) {
                EXPECT_EQ(describe(surviving(x.XMLElements(), allowed)), describe(y.XMLElements().toVector()))
                    << where;
            }
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

// Counts the texts of leaf elements by local name and the href of every link ("@href"). A
// GPX 1.0 url counts as a href and a urlname as a text; a GPX 1.1 author's name counts as an
// author and an e-mail's id as an e-mail, as GPX 1.0 gives them. Left out, since the reader
// makes nothing of them or writes them anew: the time and bounds of the root and the
// metadata, tracks and routes without points, waypoints inside a track or route.
bool holdsPoints(const XMLElement& e) {
    for (const auto& child : e.childElements())
        if (child.localName() == "trkpt" || child.localName() == "rtept" || holdsPoints(child))
            return true;
    return false;
}

void addValues(const XMLElement& e, std::string_view parent, std::size_t depth, Counts& counts) {
    const std::string_view name = e.localName();
    if ((name == "link" && e.attribute("href")) || (name == "email" && e.attribute("id")))
        ++counts[name == "link" ? "@href" : "email"];
    const auto children = e.childElements();
    if (children.empty() && e.stringValue().find_first_not_of(" \t\r\n") != std::string::npos)
        ++counts[name == "url"                         ? "@href"
                 : name == "urlname"                   ? "text"
                 : name == "name" && parent == "author" ? "author"
                                                       : std::string(name)];
    for (const auto& child : children) {
        const std::string_view c = child.localName();
        const bool rewritten = (c == "time" || c == "bounds") && (depth == 0 || (depth == 1 && name == "metadata"));
        const bool misplaced = depth == 1 && c == "wpt" && (name == "trk" || name == "rte");
        const bool empty = depth == 0 && (c == "trk" || c == "rte") && !holdsPoints(child);
        if (!rewritten && !misplaced && !empty)
            addValues(child, name, depth + 1, counts);
    }
}

Counts countValues(const std::string& bytes) {
    Counts counts;
    const XMLElement root = XMLElement::fromXMLString(bytes);
    EXPECT_FALSE(root.isNull());
    addValues(root, "", 0, counts);
    return counts;
}

// The name and description that viking__GH_137.gpx gives twice, at the root beside the
// metadata's own, which win.
std::size_t leftOut(const std::string& file, const std::string& value) {
    return file == "viking__GH_137.gpx" && (value == "name" || value == "desc") ? 1 : 0;
}

// The files among `files` that xmllint finds valid against the GPX 1.1 schema; one run for all.
std::set<std::string> schemaValid(const std::vector<std::string>& files) {
    std::string command = "xmllint --noout --schema '" + schemaDirectory() + "/gpx11.xsd'";
    for (const auto& file : files)
        command += " '" + file + "'";
    std::set<std::string> valid;
    std::istringstream lines(runCommand(command + " 2>&1"));
    for (std::string line; std::getline(lines, line);)
        if (line.size() > 10 && line.ends_with(" validates"))
            valid.insert(line.substr(0, line.size() - 10));
    return valid;
}

std::size_t pointCount(const GPSDocument& doc) {
    std::size_t points = 0;
    for (const auto& item : doc.documentItems())
        points += item->itemPoints().size();
    return points;
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

// Open, save and reopen through the document: every item keeps its values and its colour (a
// pool colour for items that had none), every value of the file is written again, writing
// what was reopened gives the same text, the saved file of a schema-valid input is valid GPX
// 1.1, and gpsbabel reads all its points.
TEST(GPXCorpus, OpenSaveReopenKeepsEverything) {
    WEND_SKIP_WITHOUT_CORPUS();
    ASSERT_TRUE(haveProgram("xmllint"));
    ASSERT_TRUE(haveProgram("gpsbabel"));
    const std::string dir = scratchDirectory("corpus-saved");
    const auto expectations = corpusExpectations();
    std::vector<std::string> inputs, outputs;
    for (const auto& file : corpusFiles()) {
        SCOPED_TRACE(file);
        const std::string input = corpusDirectory() + "/" + file, output = dir + "/" + file;
        InMemoryPreferences preferences;
        WendDocument opened(preferences);
        if (!opened.readFromFile(input))
            continue;
        const GPSDocument& first = *opened.GPSDoc();
        const auto raw = GPXParser::parseFile(input).document;
        ASSERT_EQ(raw->documentItems().size(), first.documentItems().size());
        std::set<const GPSItem*> poolColoured;
        for (std::size_t i = 0; i < first.documentItems().size(); ++i) {
            EXPECT_TRUE(first.documentItems()[i]->itemColor()) << i;
            if (!raw->documentItems()[i]->itemColor())
                poolColoured.insert(first.documentItems()[i].get());
        }
        ASSERT_EQ(opened.writeToFile(output, "GPX"), "");
        WendDocument reopened(preferences);
        ASSERT_TRUE(reopened.readFromFile(output));
        EXPECT_FALSE(reopened.lastReadError()) << reopened.lastReadError()->failureReason;
        expectSameDocument(first, *reopened.GPSDoc(), file, poolColoured);
        const std::string written = GPXWriter::GPXString(first, fixedOptions());
        EXPECT_EQ(GPXWriter::GPXString(*reopened.GPSDoc(), fixedOptions()), written);

        const auto& row = expectations.at(file);
        if (row.at("ns_wellformed") == "yes" && row.at("root") == "gpx" && row.at("content") != "gzip") {
            const Counts before = countValues(readFile(input));
            Counts after = countValues(readFile(output));
            for (const auto& [value, count] : before)
                EXPECT_GE(after[value] + leftOut(file, value), count) << value;
        }

        int status = 0;
        const std::string peer = runCommand("gpsbabel -i gpx -f '" + output + "' -o gpx -F - 2>&1", &status);
        EXPECT_EQ(status, 0) << peer.substr(0, 300);
        std::size_t peerPoints = 0;
        for (const char* tag : {"<trkpt ", "<rtept ", "<wpt "})
            for (auto at = peer.find(tag); at != std::string::npos; at = peer.find(tag, at + 1))
                ++peerPoints;
        EXPECT_EQ(peerPoints, pointCount(first));
        inputs.push_back(input);
        outputs.push_back(output);
        if (HasFailure())
            return; // one broken file gives one report, not thousands
    }
    EXPECT_GT(outputs.size(), 90u);

    const auto validInputs = schemaValid(inputs);
    const auto validOutputs = schemaValid(outputs);
    EXPECT_GT(validInputs.size(), 40u);
    for (std::size_t i = 0; i < inputs.size(); ++i)
        EXPECT_TRUE(!validInputs.count(inputs[i]) || validOutputs.count(outputs[i])) << outputs[i];
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
        EXPECT_FALSE(doc->metadataElements().elementNamed("copyright").isNull());
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
}

