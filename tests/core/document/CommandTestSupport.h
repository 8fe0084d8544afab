#pragma once

#include "core/document/InMemoryPreferences.h"
#include "core/document/WendDocument.h"
#include "core/model/XMLElementBuilder.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace wend::test {

// Everything a command may change in a document (metadata, namespaces and kept elements
// included), with the identities of items and points, so that a test can tell "restored" from
// "rebuilt alike".
struct PointSnapshot {
    const GPSPoint* identity = nullptr;
    double longitude = 0, latitude = 0;
    std::optional<double> elevation;
    std::optional<Instant> time;
    XMLElementList elements;

    bool operator==(const PointSnapshot&) const = default;
};

struct ItemSnapshot {
    const GPSItem* identity = nullptr;
    std::string name, description, link, wptSym, wptType;
    GPSItemType type = GPSItemType::Unknown;
    std::optional<ItemColor> color;
    bool visible = true;
    std::vector<IndexRange> selection;
    std::vector<PointSnapshot> points;
    XMLElementList elements;

    bool operator==(const ItemSnapshot&) const = default;
};

struct DocumentSnapshot {
    std::string documentName, description, author, link, schemaLocation;
    std::vector<XMLNamespaceDecl> namespaces;
    XMLElement metadataExtensions;
    XMLElementList metadataElements, elements;
    std::vector<ItemSnapshot> items;

    bool operator==(const DocumentSnapshot&) const = default;

    static DocumentSnapshot of(const WendDocument& document) {
        const GPSDocument& gpx = *document.GPSDoc();
        DocumentSnapshot snapshot{gpx.documentName(),       gpx.documentDescription(),
                                  gpx.documentAuthor(),     gpx.documentLink(),
                                  gpx.XMLSchemaLocation(),  gpx.XMLNamespaces(),
                                  gpx.metadataExtensions(), gpx.metadataElements(),
                                  gpx.XMLElements(),        {}};
        for (const auto& item : document.permanentItems()) {
            // clang-format off
            ItemSnapshot s{item.get(), item->itemName(), item->itemDescription(), item->itemLink(),
                           item->wptSym(), item->wptType(), item->itemType(), item->itemColor(),
                           item->visible(), item->itemSelection().ranges(), {}, item->XMLElements()};
            // clang-format on
            for (const auto& p : item->itemPoints())
                s.points.push_back(
                    {p.get(), p->longitude(), p->latitude(),
                     std::isnan(p->elevation()) ? std::nullopt : std::optional(p->elevation()),
                     p->time(), p->XMLElements()});
            snapshot.items.push_back(std::move(s));
        }
        return snapshot;
    }
};

// A short account for failure messages: names, colours, selections and point counts.
inline void PrintTo(const DocumentSnapshot& snapshot, std::ostream* os) {
    *os << "{";
    for (const auto& item : snapshot.items) {
        *os << " [" << item.name << " " << item.identity << " "
            << ItemColor::stringFromItemColor(item.color).value_or("-") << " sel";
        for (const auto& r : item.selection)
            *os << " " << stringFromRange(r);
        *os << " " << item.points.size() << " pts]";
    }
    *os << " }";
}

// Remembers the alerts the document shows and answers them with `answer`; counts the requests
// to fit the tracks into the view.
class AlertRecorder : public WendDocumentDelegate {
public:
    int runAlert(const std::string& title, const std::string& text,
                 const std::vector<std::string>& buttons) override {
        alerts.push_back({title, text, buttons});
        return answer;
    }
    void fitTracksToView() override { ++fits; }

    struct Alert {
        std::string title, text;
        std::vector<std::string> buttons;
    };
    std::vector<Alert> alerts;
    int answer = 0, fits = 0;
};

inline Instant atSeconds(double seconds) {
    // 2020-01-01T10:00:00Z plus the given seconds
    return Instant::fromMicroseconds(1577872800LL * 1'000'000).addingSeconds(seconds);
}

// A track of n points heading east from (lon, 47), one per minute, 400 m up and rising; the
// first point keeps an element of the file, as real points do.
inline GPSItemPtr makeTrack(std::string_view name, std::size_t n, double lon = 8.0,
                            double startSeconds = 0, GPSItemType type = GPSItemType::Track) {
    PointList points;
    for (std::size_t i = 0; i < n; ++i)
        points.push_back(GPSPoint::pointWithLongitude(
            lon + 0.001 * static_cast<double>(i), 47.0, 400.0 + static_cast<double>(i),
            atSeconds(startSeconds + 60.0 * static_cast<double>(i))));
    if (!points.empty())
        points.front()->setXMLElements(XMLElementList{XMLElementBuilder("cmt", "start").build()});
    auto item = GPSItem::item();
    item->setItemName(name);
    item->setItemType(type);
    item->setItemPoints(std::move(points));
    return item;
}

// A track of n level points 100 m apart along the equator, one per minute: at 36 km/h each
// step takes 10 s.
inline GPSItemPtr makeTrackOf100MetreSteps(std::string_view name, std::size_t n,
                                           double startSeconds = 0) {
    auto track = makeTrack(name, n, 0, startSeconds);
    for (std::size_t i = 0; i < n; ++i) {
        const auto& point = track->itemPoints()[i];
        point->setLongitude(100.0 * static_cast<double>(i) /
                            (6371010.0 * 3.141592653589793 / 180.0));
        point->setLatitude(0);
        point->setElevation(400);
    }
    return track;
}

inline GPSItemPtr makeWaypoint(std::string_view name, double lon = 9.0) {
    return makeTrack(name, 1, lon, 0, GPSItemType::Waypoint);
}

inline void selectRanges(const GPSItemPtr& item, const std::vector<IndexRange>& ranges) {
    item->setItemSelection(
        Selection::selectionWithValidSelectionRange(item->pointIndexRange(), ranges));
}

inline void selectWhole(const GPSItemPtr& item) {
    item->setItemSelection(item->itemSelection().selectionBySelectingAll());
}

inline std::string colorName(const GPSItemPtr& item) {
    return ItemColor::stringFromItemColor(item->itemColor()).value_or("-");
}

// The points of an item as indexes into another item's point list (by identity); -1 for a
// point that is not there.
inline std::vector<int> indexesIn(const GPSItemPtr& item, const PointList& source) {
    std::vector<int> result;
    for (const auto& point : item->itemPoints()) {
        const auto found = std::find(source.begin(), source.end(), point);
        result.push_back(found == source.end() ? -1 : static_cast<int>(found - source.begin()));
    }
    return result;
}

inline std::vector<int> span(int first, int last) {
    std::vector<int> result(static_cast<std::size_t>(last - first + 1));
    std::iota(result.begin(), result.end(), first);
    return result;
}

// A dialog whose modal run is a script: what the user does between opening and Done.
template <typename Model> class ScriptedDialog : public Model {
public:
    using Model::Model;
    std::function<void(Model&)> script;

protected:
    void runModal() override {
        if (script)
            script(*this);
    }
};

class CommandTest : public ::testing::Test {
protected:
    CommandTest() : document(preferences) { document.setDelegate(&alerts); }

    // Installs the items as a freshly opened file: colourless items get pool colours, and
    // nothing can be undone. The file has metadata, a namespace and kept elements that no
    // command touches, so every undo check covers them too.
    void load(const ItemList& items) {
        document.resetPathColors();
        auto gpx = GPSDocument::documentWithItems(items);
        gpx->setDocumentDescription("Kept metadata");
        gpx->setXMLNamespaces(
            {{"gpxtpx", "http://www.garmin.com/xmlschemas/TrackPointExtension/v1"}});
        gpx->setMetadataElements(XMLElementList{XMLElementBuilder("keywords", "alps").build()});
        gpx->setMetadataExtensions(XMLElementBuilder("extensions", "kept").build());
        document.setGPSDoc(gpx);
        startFresh();
    }

    // Forgets the history of the set-up, so that the next command is the only step.
    void startFresh() {
        document.undoManager().closeImplicitGroup();
        document.undoManager().removeAllActions();
        document.undoManager().markSaved();
    }

    // The end of the user event that ran a command.
    void endEvent() { document.undoManager().closeImplicitGroup(); }

    DocumentSnapshot snapshot() const { return DocumentSnapshot::of(document); }

    // After a command: it is one undo step named `name`; Undo gives `before` back exactly and
    // Redo the result again.
    void expectOneUndoableStep(std::string_view name, const DocumentSnapshot& before) {
        endEvent();
        const DocumentSnapshot after = snapshot();
        EXPECT_EQ(document.undoManager().undoActionName(), name);
        EXPECT_EQ(document.undoManager().groupingLevel(), 0);
        EXPECT_TRUE(document.isEdited());
        ASSERT_TRUE(document.undoManager().undo());
        EXPECT_EQ(snapshot(), before) << "Undo of " << name;
        EXPECT_FALSE(document.undoManager().canUndo()) << name << " took more than one step";
        EXPECT_FALSE(document.isEdited());
        ASSERT_TRUE(document.undoManager().redo());
        EXPECT_EQ(snapshot(), after) << "Redo of " << name;
        EXPECT_FALSE(document.undoManager().canRedo());
    }

    // After a command that must not have run: nothing was recorded and no group is open.
    void expectNothingRecorded(const DocumentSnapshot& before) {
        EXPECT_EQ(document.undoManager().groupingLevel(), 0);
        endEvent();
        EXPECT_FALSE(document.undoManager().canUndo());
        EXPECT_FALSE(document.isEdited());
        EXPECT_EQ(snapshot(), before);
    }

    InMemoryPreferences preferences;
    AlertRecorder alerts;
    WendDocument document;
};

} // namespace wend::test
