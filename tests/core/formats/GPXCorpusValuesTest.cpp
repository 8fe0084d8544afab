// Saving loses nothing a file records: every value of every readable corpus file (a GPX
// document that is well-formed with its namespaces) is still there after reading it and
// writing it back, as `wend-cli convert` does.

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

// Counts the texts of leaf elements by local name and the href of every link ("@href"). A
// GPX 1.0 url counts as a href and a urlname as a text; a GPX 1.1 author's name counts as an
// author and an e-mail's id as an e-mail, as GPX 1.0 gives them. Left out, since the reader
// makes nothing of them or writes them anew: the time and bounds of the root and the
// metadata, tracks and routes without points, waypoints inside a track or route.
class ValueCounter : public XMLSaxHandler {
public:
    Counts counts;

    void startElement(std::string_view, std::string_view name, const Namespace*, std::size_t,
                      const Attribute* attributes, std::size_t attributeCount) override {
        const std::size_t depth = m_open.size();
        const bool rewritten = (name == "time" || name == "bounds") &&
                               (depth == 1 || (depth == 2 && m_open[1].name == "metadata"));
        const bool misplaced = depth == 2 && name == "wpt" && m_counted == &m_child;
        if (m_skipDepth > 0 || rewritten || misplaced) {
            ++m_skipDepth;
            return;
        }
        if (depth == 1) {
            m_child.clear();
            m_counted = name == "trk" || name == "rte" ? &m_child : &counts;
            m_hasPoints = false;
        }
        m_hasPoints = m_hasPoints || name == "trkpt" || name == "rtept";
        for (std::size_t i = 0; i < attributeCount; ++i)
            if ((name == "link" && attributes[i].localName == "href") ||
                (name == "email" && attributes[i].localName == "id"))
                ++(*m_counted)[name == "link" ? "@href" : "email"];
        if (!m_open.empty())
            m_open.back().hasChildren = true;
        m_open.push_back({std::string(name), false, {}});
    }

    void endElement() override {
        if (m_skipDepth > 0) {
            --m_skipDepth;
            return;
        }
        const Open element = std::move(m_open.back());
        m_open.pop_back();
        if (!element.hasChildren && element.text.find_first_not_of(" \t\r\n") != std::string::npos) {
            const bool authorName =
                element.name == "name" && !m_open.empty() && m_open.back().name == "author";
            ++(*m_counted)[element.name == "url"       ? "@href"
                           : element.name == "urlname" ? "text"
                           : authorName                ? "author"
                                                       : element.name];
        }
        if (m_open.size() == 1 && m_counted == &m_child) {
            for (const auto& [name, count] : m_child)
                counts[name] += m_hasPoints ? count : 0;
            m_counted = &counts;
        }
    }

    void characters(std::string_view text) override {
        if (m_skipDepth == 0 && !m_open.empty())
            m_open.back().text.append(text);
    }

private:
    struct Open {
        std::string name;
        bool hasChildren;
        std::string text;
    };
    std::vector<Open> m_open;
    std::size_t m_skipDepth = 0;
    Counts m_child; // of a track or route, counted once it is known to have points
    Counts* m_counted = &counts;
    bool m_hasPoints = false;
};

Counts countValues(const std::string& bytes) {
    ValueCounter counter;
    XMLSaxParser parser(counter);
    parser.parse(bytes);
    return counter.counts;
}

// The values of a corpus file and of the file written from what was read of it.
std::pair<Counts, Counts> countsBeforeAndAfter(const std::string& file) {
    const std::string bytes = readFile(corpusDirectory() + "/" + file);
    auto read = GPXParser::parseData(bytes);
    EXPECT_TRUE(read.document) << file;
    return {countValues(bytes), countValues(read.document ? GPXWriter::GPXString(*read.document) : "")};
}

// Files that lost values before GPX 1.0 forms and misplaced values had their GPX 1.1
// places, with one kind of value each. `leftOut`: the name and description that
// viking__GH_137.gpx gives twice, at the root beside the metadata's own, which win.
struct Row {
    const char* file;
    const char* value;
    std::size_t leftOut = 0;
};

const Row kRows[] = {
    {"gpsbabel__mtk_logger_m241_multiple_tracks.gpx", "speed"},
    {"sportstracker__bike-tour-holux-funtrek-130-pro-with-heartrate.gpx", "speed"},
    {"osmweb__a.gpx", "course"},
    {"gpsbabel__wptsequence.gpx", "course"},
    {"opentracks__gpx11_with_speed_no_namespace.gpx", "speed"},
    {"gpxpy__track_with_speed.gpx", "speed"},
    {"gpxpy__gpx1.0_with_all_fields.gpx", "@href"},
    {"gpxpy__gpx1.0_with_all_fields.gpx", "email"},
    {"gpsbabel__GC7FA4.gpx", "owner"},
    {"gpsbabel__GCGCA8_nasty.gpx", "attribute"},
    {"gpsbabel__gpxpassthrough10.gpx", "something"},
    {"gpsbabel__gpxpassthrough11.gpx", "something"}, // a segment's extensions
    {"gpsbabel__umsonstdraussen.gpx", "text"},
    {"gpsbabel__multiple-links-2.gpx", "@href"},
    {"gpxpy__gpx1.1_with_all_fields.gpx", "type"},
    {"togeojson__gdal.gpx", "@href"},
    {"agpxparser__metadata-full.gpx", "type"},
    {"gpsbabel__metadata.gpx", "email"},
    {"viking__GH_137.gpx", "speed"},
    {"viking__GH_137.gpx", "name", 1},
    {"viking__GH_137.gpx", "desc", 1},
};

std::size_t leftOut(const std::string& file, const std::string& value) {
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
        auto [before, after] = countsBeforeAndAfter(row.file);
        ASSERT_GT(before[row.value], 0u);
        EXPECT_GE(after[row.value], before[row.value] - row.leftOut);
    }
}

TEST(GPXCorpusValues, EveryReadableFileKeepsEveryValue) {
    WEND_SKIP_WITHOUT_CORPUS();
    int checked = 0;
    for (const auto& [file, row] : corpusExpectations()) {
        if (row.at("ns_wellformed") != "yes" || row.at("root") != "gpx")
            continue;
        ++checked;
        auto [before, after] = countsBeforeAndAfter(file);
        for (const auto& [value, count] : before)
            EXPECT_GE(after[value] + leftOut(file, value), count) << file << ": " << value;
    }
    EXPECT_GE(checked, 107);
}
