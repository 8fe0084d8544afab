// The reader, the writer and the document against real-world files from many devices and
// programs: each file opens with the items it holds, and saving it loses nothing it records.

#include "core/document/InMemoryPreferences.h"
#include "core/document/WendDocument.h"
#include "core/formats/GPXParser.h"
#include "core/formats/GPXWriter.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <set>
#include <sstream>

using namespace wend;
using namespace wend::test;

namespace {

using Counts = std::map<std::string, std::size_t>;

// A track's colour element is added on saving, so its extensions are left to the value count.
const std::vector<std::string_view> kTrackChildren = {"cmt", "src", "link", "number", "type", "trkseg"};
const std::vector<std::string_view> kPointChildren = {
    "magvar", "geoidheight", "name", "cmt", "desc", "src", "link", "sym", "type", "fix", "sat",
    "hdop", "vdop", "pdop", "ageofdgpsdata", "dgpsid", "extensions"};

// The kept elements that the schema order lets through, in that order.
std::string surviving(const XMLElementList& list, const std::vector<std::string_view>& allowed) {
    std::string out;
    for (auto name : allowed)
        for (auto e : list)
            if (e.name() == name)
                out += " " + e.xmlString();
    return out;
}

// What a saved file holds, one line per item and point, in the writer's order of kinds:
// positions to the six decimals written, times to the millisecond, kept elements in schema
// order, colours but a waypoint's (which is not saved).
std::vector<std::string> savedValues(const GPSDocument& d) {
    std::vector<std::string> lines{d.documentName() + "|" + d.documentDescription() + "|" + d.documentAuthor() +
                                   "|" + d.documentLink() + "|" + d.metadataExtensions().xmlString() +
                                   surviving(d.XMLElements(), {"extensions"})};
    for (auto e : d.metadataElements())
        lines[0] += " " + e.xmlString();
    for (auto type : {GPSItemType::Waypoint, GPSItemType::Route, GPSItemType::Track})
        for (const auto& item : d.documentItems()) {
            if (item->itemType() != type)
                continue;
            const bool waypoint = type == GPSItemType::Waypoint;
            lines.push_back(item->itemName() + "|" + item->itemDescription() + "|" + item->itemLink() + "|" +
                            item->wptSym() + "|" + item->wptType() + "|" +
                            (waypoint ? "" : ItemColor::stringFromItemColor(item->itemColor()).value_or("free")) +
                            surviving(item->XMLElements(), waypoint ? kPointChildren : kTrackChildren));
            for (const auto& p : item->itemPoints()) {
                const std::int64_t us = p->time() ? p->time()->microsecondsSince1970() : 0;
                const std::int64_t ms = !p->time() ? INT64_MIN : us >= 0 ? us / 1000 : -((-us + 999) / 1000);
                char values[160];
                std::snprintf(values, sizeof values, "%.6f %.6f %.6f %" PRId64, p->longitude(), p->latitude(),
                              p->elevation(), ms);
                lines.push_back(values + surviving(p->XMLElements(), kPointChildren));
            }
        }
    return lines;
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

std::size_t number(const std::map<std::string, std::string>& row, const std::string& column) {
    return static_cast<std::size_t>(std::stoul(row.at(column)));
}

} // namespace

// Each file reads with the items and points expect.tsv lists, or with the warning or error
// its damage calls for. Opened, saved and reopened through the document, every item keeps its
// values and gets a colour (a pool colour where it had none), every value of the file is
// written again, writing what was reopened gives the same text, gpsbabel reads all points, and
// the saved file of a schema-valid input is valid GPX 1.1.
TEST(GPXCorpus, EveryFileReadsAsListedAndSurvivesOpenSaveReopen) {
    WEND_SKIP_WITHOUT_CORPUS();
    ASSERT_TRUE(haveProgram("xmllint"));
    ASSERT_TRUE(haveProgram("gpsbabel"));
    const std::string dir = scratchDirectory("corpus-saved");
    const auto expectations = corpusExpectations();
    GPXWriteOptions fixedTime;
    fixedTime.metadataTime = Instant::fromMicroseconds(1'700'000'000'000'000);
    std::vector<std::string> inputs, outputs;
    int counted = 0;
    for (const auto& file : corpusFiles()) {
        SCOPED_TRACE(file);
        const std::string input = corpusDirectory() + "/" + file, output = dir + "/" + file;
        ASSERT_TRUE(expectations.count(file)) << "not in expect.tsv";
        const auto& row = expectations.at(file);
        const auto raw = GPXParser::parseFile(input);
        if (row.at("content") == "gzip") {
            // Compressed files are read like their decompressed text.
            ASSERT_TRUE(raw.document);
            EXPECT_FALSE(raw.error);
            EXPECT_EQ(raw.document->documentItems().size(), 1u);
        } else if (row.at("xml_wellformed") != "yes") {
            EXPECT_TRUE(raw.error) << "malformed input needs the warning or the error";
        } else if (row.at("root") != "gpx") {
            EXPECT_FALSE(raw.document);
            ASSERT_TRUE(raw.error);
            EXPECT_EQ(raw.error->description, "Couldn't Load GPX Data");
        } else {
            ASSERT_TRUE(raw.document);
            // One file gives its name and description twice, at the root and in the metadata.
            if (row.at("ns_wellformed") == "yes" && file != "viking__GH_137.gpx")
                EXPECT_FALSE(raw.error) << raw.error->failureReason;
            else
                EXPECT_TRUE(raw.hasWarning());
            std::map<GPSItemType, std::size_t> items;
            std::size_t points = 0;
            for (const auto& item : raw.document->documentItems()) {
                ++items[item->itemType()];
                points += item->itemPoints().size();
            }
            EXPECT_EQ(items[GPSItemType::Track], number(row, "trkseg_nonempty"));
            EXPECT_EQ(items[GPSItemType::Route], number(row, "rte_nonempty"));
            EXPECT_EQ(items[GPSItemType::Waypoint], number(row, "wpt"));
            EXPECT_EQ(points, number(row, "trkpt") + number(row, "rtept") + number(row, "wpt"));
            ++counted;
        }
        if (!raw.document)
            continue;

        InMemoryPreferences preferences;
        WendDocument opened(preferences);
        ASSERT_TRUE(opened.readFromFile(input));
        const GPSDocument& first = *opened.GPSDoc();
        ASSERT_EQ(raw.document->documentItems().size(), first.documentItems().size());
        std::size_t points = 0;
        for (std::size_t i = 0; i < first.documentItems().size(); ++i) {
            const auto& colour = first.documentItems()[i]->itemColor();
            EXPECT_TRUE(colour) << i;
            EXPECT_TRUE(!raw.document->documentItems()[i]->itemColor() ||
                        colour == raw.document->documentItems()[i]->itemColor()) << i;
            points += first.documentItems()[i]->itemPoints().size();
        }
        ASSERT_EQ(opened.writeToFile(output, "GPX"), "");
        WendDocument reopened(preferences);
        ASSERT_TRUE(reopened.readFromFile(output));
        EXPECT_FALSE(reopened.lastReadError()) << reopened.lastReadError()->failureReason;
        const auto before = savedValues(first), after = savedValues(*reopened.GPSDoc());
        ASSERT_EQ(before.size(), after.size());
        const auto [was, is] = std::mismatch(before.begin(), before.end(), after.begin());
        EXPECT_TRUE(was == before.end()) << *was << "\nreads back as\n" << *is;
        EXPECT_EQ(GPXWriter::GPXString(*reopened.GPSDoc(), fixedTime), GPXWriter::GPXString(first, fixedTime));

        if (row.at("ns_wellformed") == "yes" && row.at("root") == "gpx" && row.at("content") != "gzip") {
            Counts written = countValues(readFile(output));
            // viking__GH_137.gpx gives a name and description at the root beside the metadata's
            // own, which win.
            if (file == "viking__GH_137.gpx")
                ++written["name"], ++written["desc"];
            for (const auto& [value, count] : countValues(readFile(input)))
                EXPECT_GE(written[value], count) << value;
        }

        int status = 0;
        const std::string peer = runCommand("gpsbabel -i gpx -f '" + output + "' -o gpx -F - 2>&1", &status);
        EXPECT_EQ(status, 0) << peer.substr(0, 300);
        std::size_t peerPoints = 0;
        for (const char* tag : {"<trkpt ", "<rtept ", "<wpt "})
            for (auto at = peer.find(tag); at != std::string::npos; at = peer.find(tag, at + 1))
                ++peerPoints;
        EXPECT_EQ(peerPoints, points);
        inputs.push_back(input);
        outputs.push_back(output);
        if (HasFailure())
            return; // one broken file gives one report, not thousands
    }
    EXPECT_GT(counted, 90);
    EXPECT_GT(outputs.size(), 90u);

    const auto validInputs = schemaValid(inputs);
    const auto validOutputs = schemaValid(outputs);
    EXPECT_GT(validInputs.size(), 40u);
    for (std::size_t i = 0; i < inputs.size(); ++i)
        EXPECT_TRUE(!validInputs.count(inputs[i]) || validOutputs.count(outputs[i])) << outputs[i];
}

// The metadata's name and description win over the root's, which the warning names.
TEST(GPXCorpus, RootFieldsBesideTheMetadatasAreNamedInTheWarning) {
    WEND_SKIP_WITHOUT_CORPUS();
    auto read = GPXParser::parseFile(corpusDirectory() + "/viking__GH_137.gpx");
    ASSERT_TRUE(read.hasWarning());
    EXPECT_NE(read.error->failureReason.find("left out from the top of the file: name \"GPX Name\", "
                                             "desc \"GPX Description\""),
              std::string::npos);
    EXPECT_EQ(read.document->documentName() + read.document->documentDescription(), "MD NameMD Description");
}
