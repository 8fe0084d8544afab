// Saving loses nothing a file records: every value of every readable corpus file (a GPX
// document that is well-formed with its namespaces) is still there after reading and writing
// it back, the way `wend-cli convert` does.

#include "core/formats/GPXParser.h"
#include "core/formats/GPXWriter.h"
#include "core/model/XMLSaxParser.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <map>

using namespace wend;
using namespace wend::test;

namespace {

using Counts = std::map<std::string, std::size_t>;

// Counts the values of a GPX file by the local name of the leaf element holding them, and
// the address of every link as "@href". A GPX 1.0 url counts as an address, a urlname as a
// link text; a GPX 1.1 author's name counts as an author and its e-mail (id and domain) as
// an e-mail, like the texts GPX 1.0 gives them. Left out, as the reader makes
// nothing of them or writes them anew: the time and bounds of the root and the metadata,
// tracks and routes without points, and waypoints misplaced inside a track or route.
class ValueCounter : public XMLSaxHandler {
public:
    Counts counts;

    void startElement(std::string_view, std::string_view localName, const Namespace*, std::size_t,
                      const Attribute* attributes, std::size_t attributeCount) override {
        if (m_skipDepth > 0 || skips(localName)) {
            ++m_skipDepth;
            return;
        }
        if (!m_open.empty())
            m_open.back().hasChildren = true;
        if (m_open.size() == 1 && (localName == "trk" || localName == "rte")) {
            m_item.clear();
            m_itemHasPoints = false;
        }
        if (localName == "trkpt" || localName == "rtept")
            m_itemHasPoints = true;
        bool emailAddress = false;
        for (std::size_t i = 0; i < attributeCount; ++i) {
            if (localName == "link" && attributes[i].localName == "href")
                ++target()["@href"];
            emailAddress =
                emailAddress || (localName == "email" && attributes[i].localName == "id");
        }
        if (emailAddress)
            ++target()["email"];
        m_open.push_back({std::string(localName), false, {}});
    }

    void endElement() override {
        if (m_skipDepth > 0) {
            --m_skipDepth;
            return;
        }
        Open element = std::move(m_open.back());
        m_open.pop_back();
        if (!element.hasChildren &&
            element.text.find_first_not_of(" \t\r\n") != std::string::npos) {
            std::string name = element.name;
            if (name == "url")
                name = "@href";
            else if (name == "urlname")
                name = "text";
            else if (name == "name" && !m_open.empty() && m_open.back().name == "author")
                name = "author";
            ++target()[name];
        }
        if (m_open.size() == 1 && (element.name == "trk" || element.name == "rte") &&
            m_itemHasPoints)
            for (const auto& [name, count] : m_item)
                counts[name] += count;
    }

    void characters(std::string_view text) override {
        if (m_skipDepth == 0 && !m_open.empty())
            m_open.back().text.append(text);
    }

private:
    struct Open {
        std::string name;
        bool hasChildren = false;
        std::string text;
    };

    bool skips(std::string_view localName) const {
        const std::size_t depth = m_open.size();
        const bool written = localName == "time" || localName == "bounds";
        return (depth == 1 && written) || (depth == 2 && m_open[1].name == "metadata" && written) ||
               (depth == 2 && localName == "wpt" &&
                (m_open[1].name == "trk" || m_open[1].name == "rte"));
    }

    // Inside a track or route, counts wait until it is known to have points.
    Counts& target() {
        const bool inItem =
            m_open.size() >= 2 && (m_open[1].name == "trk" || m_open[1].name == "rte");
        return inItem ? m_item : counts;
    }

    std::vector<Open> m_open;
    std::size_t m_skipDepth = 0;
    Counts m_item;
    bool m_itemHasPoints = false;
};

Counts countValues(const std::string& bytes) {
    ValueCounter counter;
    XMLSaxParser parser(counter);
    parser.parse(bytes);
    return counter.counts;
}

// The values of a file, and of the file written from what was read of it.
std::pair<Counts, Counts> countsBeforeAndAfter(const std::string& file) {
    const std::string bytes = readFile(corpusDirectory() + "/" + file);
    auto read = GPXParser::parseData(bytes);
    EXPECT_TRUE(read.document) << file;
    const std::string written =
        read.document ? GPXWriter::GPXString(*read.document) : std::string();
    return {countValues(bytes), countValues(written)};
}

// Files whose values were lost before GPX 1.0 forms and misplaced values found their GPX 1.1
// places, with a value of each kind. `leftOut` is what may still be missing: a GPX 1.0 name
// and description beside the metadata's own, which win.
struct Row {
    const char* file;
    const char* value;
    std::size_t leftOut = 0;
};

const Row kRows[] = {
    {"gpsbabel__mtk_logger_m241_multiple_tracks.gpx", "speed"}, // GPX 1.0 speed
    {"sportstracker__bike-tour-holux-funtrek-130-pro-with-heartrate.gpx", "speed"},
    {"osmweb__a.gpx", "course"},                                // GPX 1.0 course
    {"gpsbabel__wptsequence.gpx", "course"},                    // of a waypoint
    {"opentracks__gpx11_with_speed_no_namespace.gpx", "speed"}, // speed in a GPX 1.1 point
    {"gpxpy__track_with_speed.gpx", "speed"},
    {"gpxpy__track_with_speed.gpx", "author"},      // GPX 1.0 author at the root
    {"gpxpy__gpx1.0_with_all_fields.gpx", "@href"}, // url becomes a link
    {"gpxpy__gpx1.0_with_all_fields.gpx", "text"},  // urlname its text
    {"gpxpy__gpx1.0_with_all_fields.gpx", "email"}, // GPX 1.0 e-mail
    {"gpsbabel__GC7FA4.gpx", "owner"},              // geocache listings
    {"gpsbabel__GCGCA8_nasty.gpx", "attribute"},
    {"gpsbabel__gpxpassthrough10.gpx", "something"}, // other namespaces
    {"gogpx__ashland.gpx", "color"},
    {"gpsbabel__gpxpassthrough11.gpx", "something"}, // a segment's extensions
    {"gpsbabel__umsonstdraussen.gpx", "text"},       // link texts
    {"gpsbabel__multiple-links-2.gpx", "@href"},     // several links
    {"gpxpy__gpx1.1_with_all_fields.gpx", "type"},
    {"togeojson__gdal.gpx", "@href"},
    {"agpxparser__metadata-full.gpx", "type"}, // metadata links
    {"gpsbabel__metadata.gpx", "email"},       // the author's e-mail
    {"gpxstudio__with_routes.gpx", "@href"},
    {"viking__GH_137.gpx", "speed"}, // kept already
    {"viking__GH_137.gpx", "name", 1},
    {"viking__GH_137.gpx", "desc", 1},
};

std::size_t allowedLoss(const std::string& file, const std::string& value) {
    for (const auto& row : kRows)
        if (file == row.file && value == row.value)
            return row.leftOut;
    return 0;
}

} // namespace

TEST(GPXCorpusValues, NamedFilesKeepTheValuesTheyOnceLost) {
    WEND_SKIP_WITHOUT_CORPUS();
    for (const auto& row : kRows) {
        SCOPED_TRACE(std::string(row.file) + " " + row.value);
        const auto [before, after] = countsBeforeAndAfter(row.file);
        ASSERT_GT(before.count(row.value), 0u);
        EXPECT_GE(after.count(row.value) ? after.at(row.value) : 0,
                  before.at(row.value) - row.leftOut);
    }
}

TEST(GPXCorpusValues, EveryReadableFileKeepsEveryValue) {
    WEND_SKIP_WITHOUT_CORPUS();
    int checked = 0;
    for (const auto& [file, row] : corpusExpectations()) {
        if (row.at("ns_wellformed") != "yes" || row.at("root") != "gpx")
            continue;
        ++checked;
        const auto [before, after] = countsBeforeAndAfter(file);
        for (const auto& [value, count] : before) {
            const std::size_t written = after.count(value) ? after.at(value) : 0;
            EXPECT_GE(written + allowedLoss(file, value), count) << file << ": " << value;
        }
    }
    EXPECT_GE(checked, 107);
}
