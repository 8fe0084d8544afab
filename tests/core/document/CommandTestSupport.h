#pragma once

#include "DocumentSnapshot.h"
#include "core/document/InMemoryPreferences.h"
#include "core/document/WendDocument.h"
#include "core/model/XMLElementBuilder.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace wend::test {

// Remembers the alerts the document shows and answers them with the first button.
class AlertRecorder : public WendDocumentDelegate {
public:
    int runAlert(const std::string& title, const std::string& text,
                 const std::vector<std::string>& buttons) override {
        alerts.push_back({title, text, buttons});
        return 0;
    }

    struct Alert {
        std::string title, text;
        std::vector<std::string> buttons;
    };
    std::vector<Alert> alerts;
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
    constexpr double kMetresPerDegree = 6371010.0 * 3.141592653589793 / 180.0;
    auto track = makeTrack(name, n, 0, startSeconds);
    PointList points;
    for (std::size_t i = 0; i < n; ++i)
        points.push_back(GPSPoint::pointWithLongitude(
            100.0 * static_cast<double>(i) / kMetresPerDegree, 0, 400,
            atSeconds(startSeconds + 60.0 * static_cast<double>(i))));
    track->setItemPoints(std::move(points));
    return track;
}

inline GPSItemPtr makeWaypoint(std::string_view name, double lon = 9.0) {
    auto waypoint = makeTrack(name, 1, lon, 0, GPSItemType::Waypoint);
    return waypoint;
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
        int found = -1;
        for (std::size_t i = 0; i < source.size(); ++i)
            if (source[i] == point)
                found = static_cast<int>(i);
        result.push_back(found);
    }
    return result;
}

inline std::vector<int> span(int first, int last) {
    std::vector<int> result;
    for (int i = first; i <= last; ++i)
        result.push_back(i);
    return result;
}

// A dialog whose modal run is a script: what the user does between opening and Done.
template <typename Model> class ScriptedDialog : public Model {
public:
    std::function<void(Model&)> script;

protected:
    void runModal() override {
        if (script)
            script(*this);
    }
};

// Stands in for the waypoint editor: renames the selected waypoint.
class WaypointRenamingDialog : public ItemMutatorDialog {
public:
    std::string newName = "Renamed";

    ItemList mutatedItems() override {
        ItemList result = originalItems();
        for (auto& item : result)
            if (item->itemType() == GPSItemType::Waypoint && !item->itemSelection().isEmpty()) {
                item = item->copy();
                item->setItemName(newName);
            }
        return result;
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
        gpx->setXMLNamespaces({{"gpxtpx", "http://www.garmin.com/xmlschemas/TrackPointExtension/v1"}});
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
