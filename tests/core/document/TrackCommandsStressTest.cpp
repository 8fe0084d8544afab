#include "CommandTestSupport.h"
#include "core/tools/ToolTestSupport.h"
#include "core/document/OffsetTimestampsDialogModel.h"
#include "core/document/OptimizationDialogModel.h"
#include "core/document/OverwriteTimestampsDialogModel.h"
#include "core/document/SplitOnRestStopsDialogModel.h"
#include "core/document/TrackCommands.h"
#include "core/formats/GPXWriter.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string_view>

using namespace wend;
using namespace wend::test;

namespace {

// Random commands, undos and redos on a generated document. The document is expected to come
// back exactly (identities, selections, colours, the GPX text) when everything is undone, and
// to reach the latest state again when everything is redone.
class StressRun {
public:
    StressRun(WendDocument& document, std::uint32_t seed)
        : m_document(document), m_random(seed), m_tools(document) {}

    GPSItemPtr generatedTrack(const std::string& name, GPSItemType type, double lon) {
        const int n = uniform(20, 60);
        PointList points;
        double seconds = uniform(-5000, 5000) * 60.0; // some tracks lie before 1970
        for (int i = 0; i < n; ++i) {
            // Occasional rests, so that splitting finds stops.
            const bool resting = i % 17 > 12;
            lon += resting ? 0.000001 * uniform(0, 3) : 0.0005 * uniform(1, 4);
            seconds += resting ? 900 : uniform(5, 90) + uniform(0, 999) / 1000.0;
            std::optional<Instant> time = Instant::fromMicroseconds(0).addingSeconds(seconds);
            if (uniform(0, 30) == 0)
                time.reset();
            const double elevation = uniform(0, 20) == 0 ? GPSPoint::NaN : 300.0 + uniform(0, 400);
            points.push_back(GPSPoint::pointWithLongitude(lon, 47.0 + 0.0003 * i, elevation, time));
        }
        auto item = GPSItem::item();
        item->setItemName(name);
        item->setItemType(type);
        if (uniform(0, 1) == 0)
            item->setItemLink("https://example.org/" + name);
        item->setItemPoints(std::move(points));
        return item;
    }

    ItemList generatedItems() {
        ItemList items;
        const char* names[] = {"alpha", "Bravo", "charlie", "Delta", "echo", "Foxtrot"};
        for (int t = 0; t < 6; ++t)
            items.push_back(generatedTrack(
                names[t], t == 5 ? GPSItemType::Route : GPSItemType::Track, 8.0 + t * 0.1));
        for (int w = 0; w < 3; ++w)
            items.push_back(makeWaypoint("Waypoint " + std::to_string(w), 8.5 + w * 0.01));
        return items;
    }

    // New items arrive with their colour, as pasted or imported items do: a track, and a
    // waypoint too while the document has none left.
    void addTrack() {
        ItemList added{generatedTrack("Added " + std::to_string(m_commandsRun), GPSItemType::Track,
                                      8.0 + uniform(0, 10) * 0.05)};
        const auto& items = m_document.permanentItems();
        if (std::none_of(items.begin(), items.end(), [](const GPSItemPtr& item) {
                return item->itemType() == GPSItemType::Waypoint;
            }))
            added.push_back(makeWaypoint("Added waypoint", 8.0 + uniform(0, 10) * 0.05));
        for (const auto& item : added)
            item->setItemColor(ItemColor::itemColorFromString(
                WendDocument::baseColors()[static_cast<std::size_t>(uniform(0, 9))]));
        m_document.undoManager().beginUndoGrouping();
        m_document.addItems(added);
        m_document.undoManager().setActionName("Add Track");
        m_document.undoManager().endUndoGrouping();
    }

    void run(int steps) {
        for (int step = 0; step < steps; ++step) {
            oneAction();
            m_document.undoManager().closeImplicitGroup();
            ASSERT_EQ(m_document.undoManager().groupingLevel(), 0) << "after step " << step;
            ASSERT_FALSE(m_document.tempItems()) << "after step " << step;
            if (!m_document.undoManager().canRedo())
                m_tip = DocumentSnapshot::of(m_document);
        }
    }

    const std::optional<DocumentSnapshot>& tip() const { return m_tip; }
    int commandsRun() const { return m_commandsRun; }

private:
    int uniform(int lo, int hi) {
        return lo + static_cast<int>(m_random() % static_cast<std::uint32_t>(hi - lo + 1));
    }

    std::size_t totalPoints() const {
        std::size_t total = 0;
        for (const auto& item : m_document.permanentItems())
            total += item->itemPoints().size();
        return total;
    }

    void randomSelection() {
        m_document.GPSViewWillChangeSelection();
        for (const auto& item : m_document.permanentItems()) {
            const int choice = uniform(0, 5);
            const std::uint64_t n = item->itemPoints().size();
            if (choice <= 2 || n == 0) {
                item->setItemSelection(item->itemSelection().selectionByDeselectingAll());
            } else if (choice == 3) {
                item->setItemSelection(item->itemSelection().selectionBySelectingAll());
            } else {
                std::vector<IndexRange> ranges;
                for (int r = uniform(1, 3); r > 0; --r) {
                    const auto location =
                        static_cast<std::uint64_t>(uniform(0, static_cast<int>(n) - 1));
                    const auto length = static_cast<std::uint64_t>(
                        uniform(0, std::min(8, static_cast<int>(n - 1 - location))));
                    ranges.push_back({location, length});
                }
                item->setItemSelection(
                    Selection::selectionWithValidSelectionRange(item->pointIndexRange(), ranges));
            }
        }
        m_document.GPSViewDidChangeSelection();
    }

    void selectOneWaypoint() {
        ItemList waypoints;
        for (const auto& item : m_document.permanentItems())
            if (item->itemType() == GPSItemType::Waypoint)
                waypoints.push_back(item);
        if (waypoints.empty())
            return;
        const auto chosen =
            waypoints[static_cast<std::size_t>(uniform(0, static_cast<int>(waypoints.size()) - 1))];
        m_document.GPSViewWillChangeSelection();
        for (const auto& item : m_document.permanentItems())
            item->setItemSelection(item == chosen
                                       ? item->itemSelection().selectionBySelectingAll()
                                       : item->itemSelection().selectionByDeselectingAll());
        m_document.GPSViewDidChangeSelection();
    }

    // A drag of a random tool in a random mode from near a random point, released or
    // cancelled; the edit point tool's Alt press removes the point marked by a hover first.
    void randomToolDrag() {
        const auto& items = m_document.permanentItems();
        if (items.empty())
            return;
        const auto& item = items[static_cast<std::size_t>(uniform(0, static_cast<int>(items.size()) - 1))];
        if (item->itemPoints().empty())
            return;
        const GPSPoint& point =
            *item->itemPoints()[static_cast<std::size_t>(uniform(0, static_cast<int>(item->itemPoints().size()) - 1))];
        const std::uint32_t modifiers[] = {0, ToolModifiers::kShift, ToolModifiers::kOption, ToolModifiers::kCommand};
        const std::uint32_t modifier = modifiers[uniform(0, 3)];
        const int tool = uniform(0, ToolSet::kToolCount - 1);
        const WorldPoint from{point.longitude() + uniform(-3, 3) * 0.0001, point.latitude() + uniform(-3, 3) * 0.0001};
        m_tools.host().confirmEditor = uniform(0, 2) > 0;
        m_tools.hover(tool, from, modifier);
        if (!m_tools.press(tool, from, modifier)) {
            m_document.undoManager().closeImplicitGroup();
            return;
        }
        for (int step = uniform(0, 4); step > 0; --step)
            m_tools.moveTo({from.lon + uniform(-20, 20) * 0.0001, from.lat + uniform(-20, 20) * 0.0001}, modifier);
        if (uniform(0, 5) == 0)
            m_tools.cancel();
        else
            m_tools.release(uniform(0, 3) == 0 ? 0 : modifier);
    }

    void oneAction() {
        // Keeps the document small: past the budget, history is walked back instead.
        if (totalPoints() > 2500 || m_document.permanentItems().size() > 40) {
            m_document.undoManager().undo();
            return;
        }
        if (totalPoints() < 200) {
            addTrack();
            return;
        }
        const int action = uniform(0, 35);
        ++m_commandsRun;
        switch (action) {
        case 0:
        case 1:
        case 2:
        case 3:
            randomSelection();
            break;
        case 4:
        case 5:
            m_document.undoManager().undo();
            break;
        case 6:
            m_document.undoManager().redo();
            break;
        case 7:
            TrackCommands::deleteSelection(m_document);
            break;
        case 8:
            TrackCommands::deleteAndMerge(m_document);
            break;
        case 9:
            TrackCommands::mergeSelectedTracks(m_document);
            break;
        case 10:
            TrackCommands::extractSelectionAsNewTracks(m_document);
            break;
        case 11:
            TrackCommands::reverseSelectedTracks(m_document);
            break;
        case 12:
            TrackCommands::reverseTrackOrder(m_document);
            break;
        case 13: {
            const auto& titles = TrackCommands::sortTitles();
            TrackCommands::sortTracks(m_document, titles[static_cast<std::size_t>(uniform(0, 6))]);
            break;
        }
        case 14:
            TrackCommands::chronologicallySortPoints(m_document);
            break;
        case 15:
            TrackCommands::removeTimestampsOfSelection(m_document);
            break;
        case 16:
            TrackCommands::removeMillisecondDataOfSelection(m_document);
            break;
        case 17:
            TrackCommands::setSelectionColor(m_document, uniform(0, 9));
            break;
        case 18:
            TrackCommands::resetColorsOfSelectedTracks(m_document);
            break;
        case 19:
            TrackCommands::invertSelection(m_document);
            break;
        case 20:
            TrackCommands::deselectSelection(m_document);
            break;
        case 21:
            TrackCommands::selectAll(m_document);
            break;
        case 22: {
            ScriptedDialog<OptimizationDialogModel> dialog;
            const double strength = uniform(0, 200) / 100.0;
            const bool live = uniform(0, 1) == 1;
            const bool cancel = uniform(0, 4) == 0;
            dialog.script = [=](OptimizationDialogModel& d) {
                d.setLiveUpdate(live);
                d.setStrength(strength);
                if (cancel)
                    d.cancel();
            };
            TrackCommands::optimizeSelection(m_document, dialog);
            break;
        }
        case 23: {
            ScriptedDialog<SplitOnRestStopsDialogModel> dialog;
            const double minTime = uniform(60, 3600);
            const double maxDistance = uniform(1, 100);
            const bool discard = uniform(0, 1) == 1;
            const bool preview = uniform(0, 1) == 1;
            const bool cancel = uniform(0, 4) == 0;
            dialog.script = [=](SplitOnRestStopsDialogModel& d) {
                d.setShowLivePreview(preview);
                d.setMinTime(minTime);
                d.setMaxDistance(maxDistance);
                d.setDiscardRestStops(discard);
                if (cancel)
                    d.cancel();
            };
            TrackCommands::splitSelectionAtRestStops(m_document, dialog);
            break;
        }
        case 24: {
            ScriptedDialog<OffsetTimestampsDialogModel> dialog;
            const double interval = uniform(0, 100000) / 10.0;
            const int direction = uniform(0, 1);
            const bool cancel = uniform(0, 4) == 0;
            dialog.script = [=](OffsetTimestampsDialogModel& d) {
                d.setInterval(interval);
                d.setOffsetDirection(direction);
                if (cancel)
                    d.cancel();
            };
            TrackCommands::offsetTimestampsOfSelection(m_document, dialog);
            break;
        }
        case 25: {
            ScriptedDialog<OverwriteTimestampsDialogModel> dialog;
            const int method = uniform(0, 2);
            const int row = uniform(0, 1);
            const double speed = uniform(0, 40); // 0 is refused
            const double interval = uniform(0, 100) / 4.0;
            const double finishOffset = uniform(-100, 20000);
            const bool cancel = uniform(0, 4) == 0;
            dialog.script = [=](OverwriteTimestampsDialogModel& d) {
                d.setIncrementMethod(static_cast<TimestampIncrementMethod>(method));
                d.setMultipleTrackHandlingRow(row);
                d.setSpeed(speed);
                d.setTimeInterval(interval);
                d.setFinishDate(d.startDate().addingSeconds(finishOffset));
                if (cancel)
                    d.cancel();
            };
            TrackCommands::overwriteTimestampsOfSelection(m_document, dialog);
            break;
        }
        case 26: {
            selectOneWaypoint();
            WaypointRenamingDialog dialog;
            dialog.newName = "Edited " + std::to_string(m_commandsRun);
            TrackCommands::editWaypoint(m_document, dialog);
            break;
        }
        case 27: {
            const auto& items = m_document.permanentItems();
            if (items.empty())
                break;
            items[static_cast<std::size_t>(uniform(0, static_cast<int>(items.size()) - 1))]
                ->setItemName("Renamed " + std::to_string(m_commandsRun));
            m_document.undoManager().setActionName("Rename");
            break;
        }
        case 28:
        case 29:
        case 30:
        case 31:
            randomToolDrag();
            break;
        default:
            // Several commands in one user event form one step.
            TrackCommands::setSelectionColor(m_document, uniform(0, 9));
            TrackCommands::deleteSelection(m_document);
            break;
        }
    }

    WendDocument& m_document;
    std::mt19937 m_random;
    ToolDriver m_tools;
    std::optional<DocumentSnapshot> m_tip;
    int m_commandsRun = 0;
};

std::string gpxOf(const WendDocument& document) {
    GPXWriteOptions options;
    options.saveGarminFriendly = false;
    options.metadataTime = Instant::fromMicroseconds(1'600'000'000'000'000);
    return GPXWriter::GPXString(*document.GPSDoc(), options);
}

DocumentSnapshot withoutSelections(DocumentSnapshot snapshot) {
    for (auto& item : snapshot.items)
        item.selection.clear();
    return snapshot;
}

class TrackCommandsStressTest : public CommandTest {
protected:
    // Runs the commands, then walks the whole history down and up again.
    void runAndWalkHistory(std::uint32_t seed, int steps, bool selectionsUndoable,
                           const std::vector<std::string_view>& expectedStepNames) {
        preferences.setTrackSelectionChangesAreUndoable(selectionsUndoable);
        StressRun run(document, seed);
        load(run.generatedItems());
        const DocumentSnapshot original = snapshot();
        const std::string originalGPX = gpxOf(document);

        run.run(steps);
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(run.tip());
        auto& undo = document.undoManager();
        while (undo.canRedo())
            ASSERT_TRUE(undo.redo());
        auto comparable = [&](const DocumentSnapshot& s) {
            return selectionsUndoable ? s : withoutSelections(s);
        };
        EXPECT_EQ(comparable(snapshot()), comparable(*run.tip()));
        const DocumentSnapshot latest = snapshot();
        const std::string latestGPX = gpxOf(document);
        EXPECT_NE(latestGPX, originalGPX);

        std::set<std::string> stepNames;
        while (undo.canUndo()) {
            stepNames.insert(undo.undoActionName());
            ASSERT_TRUE(undo.undo());
        }
        // The history left at the end holds a step of every undoable command.
        for (const auto& name : expectedStepNames)
            EXPECT_TRUE(stepNames.count(std::string(name))) << "no step named " << name;
        EXPECT_EQ(comparable(snapshot()), comparable(original));
        EXPECT_EQ(gpxOf(document), originalGPX);
        EXPECT_FALSE(document.isEdited());

        while (undo.canRedo())
            ASSERT_TRUE(undo.redo());
        EXPECT_EQ(comparable(snapshot()), comparable(latest));
        EXPECT_EQ(gpxOf(document), latestGPX);
    }
};

} // namespace

TEST_F(TrackCommandsStressTest, RandomCommandsUndoAndRedoExactly) {
    runAndWalkHistory(20240611, 10000, true,
                      {"Delete", "Delete and Merge", "Merge Tracks", "Extract Selection",
                       "Reverse Points", "Reverse Track Order", "Sort Tracks",
                       "Chronologically Sort Points", "Remove Timestamps",
                       "Remove Millisecond Data", "Change Selection Color", "Reset Selection Color",
                       "Invert Selection", "Change Selection", "Optimize Selection",
                       "Split Selection at Rest-stops", "Offset Timestamps", "Overwrite Timestamps",
                       "Edit Waypoint", "Add Point", "Move Point", "Move Points", "Remove Point",
                       "Add Track", "Add Waypoint"});
}

TEST_F(TrackCommandsStressTest, RandomCommandsWithSelectionChangesNotRecorded) {
    runAndWalkHistory(7, 3000, false, {"Delete", "Optimize Selection", "Remove Timestamps"});
}
