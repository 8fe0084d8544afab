#include "CommandTestSupport.h"
#include "core/document/TrackCommands.h"
#include "core/document/WaypointEditor.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <set>

using namespace wend;
using namespace wend::test;

namespace {

// Random commands, undos and redos on a generated document. Undoing everything gives the
// document back exactly (identities, selections, colours, kept elements); redoing everything
// reaches the latest state again.
class StressRun {
public:
    StressRun(WendDocument& document, std::uint32_t seed) : m_document(document), m_random(seed) {}

    GPSItemPtr generatedTrack(const std::string& name, GPSItemType type, double lon) {
        PointList points;
        double seconds = uniform(-5000, 5000) * 60.0; // some tracks lie before 1970
        for (int i = 0, n = uniform(20, 60); i < n; ++i) {
            lon += 0.0005 * uniform(1, 4);
            seconds += uniform(5, 90) + uniform(0, 999) / 1000.0;
            std::optional<Instant> time = Instant::fromMicroseconds(0).addingSeconds(seconds);
            if (uniform(0, 30) == 0)
                time.reset();
            const double elevation = uniform(0, 20) == 0 ? GPSPoint::NaN : 300.0 + uniform(0, 400);
            points.push_back(GPSPoint::pointWithLongitude(lon, 47.0 + 0.0003 * i, elevation, time));
        }
        auto item = makeTrack(name, 0, 0, 0, type);
        item->setItemLink(uniform(0, 1) == 0 ? "https://example.org/" + name : "");
        item->setItemPoints(std::move(points));
        return item;
    }

    ItemList generatedItems() {
        ItemList items;
        for (int t = 0; t < 6; ++t)
            items.push_back(generatedTrack("Track " + std::to_string(5 - t),
                                           t == 5 ? GPSItemType::Route : GPSItemType::Track,
                                           8.0 + t * 0.1));
        for (int w = 0; w < 3; ++w)
            items.push_back(makeWaypoint("Waypoint " + std::to_string(w), 8.5 + w * 0.01));
        return items;
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

    std::optional<DocumentSnapshot> m_tip;

private:
    int uniform(int lo, int hi) {
        return lo + static_cast<int>(m_random() % static_cast<std::uint32_t>(hi - lo + 1));
    }
    const GPSItemPtr& anyItem() {
        const auto& items = m_document.permanentItems();
        return items[static_cast<std::size_t>(uniform(0, static_cast<int>(items.size()) - 1))];
    }

    // New items arrive with their colour, as pasted or imported items do.
    void addTrack() {
        auto added = generatedTrack("Added", GPSItemType::Track, 8.0 + uniform(0, 10) * 0.05);
        added->setItemColor(ItemColor::itemColorFromString(
            WendDocument::baseColors()[static_cast<std::size_t>(uniform(0, 9))]));
        m_document.undoManager().beginUndoGrouping();
        m_document.addItems({added});
        m_document.undoManager().setActionName("Add Track");
        m_document.undoManager().endUndoGrouping();
    }

    void randomSelection(bool oneWaypoint) {
        m_document.GPSViewWillChangeSelection();
        for (const auto& item : m_document.permanentItems()) {
            const int choice = oneWaypoint ? 0 : uniform(0, 5);
            const int n = static_cast<int>(item->itemPoints().size());
            std::vector<IndexRange> ranges;
            const bool whole = oneWaypoint
                                   ? item->itemType() == GPSItemType::Waypoint && uniform(0, 2) == 0
                                   : choice == 3;
            if (n > 0 && whole)
                ranges.push_back(item->pointIndexRange());
            for (int r = choice > 3 && n > 0 ? uniform(1, 3) : 0; r > 0; --r) {
                const int location = uniform(0, n - 1);
                ranges.push_back(
                    {static_cast<std::uint64_t>(location),
                     static_cast<std::uint64_t>(uniform(0, std::min(8, n - 1 - location)))});
            }
            item->setItemSelection(
                Selection::selectionWithValidSelectionRange(item->pointIndexRange(), ranges));
        }
        m_document.GPSViewDidChangeSelection();
    }

    void oneAction() {
        std::size_t points = 0;
        for (const auto& item : m_document.permanentItems())
            points += item->itemPoints().size();
        // Keeps the document small: past the budget, history is walked back instead.
        if (points > 2500 || m_document.permanentItems().size() > 40)
            return (void)m_document.undoManager().undo();
        if (points < 200)
            return addTrack();
        auto& d = m_document;
        using TC = TrackCommands;
        const std::function<void()> actions[] = {
            [&] { TC::deleteSelection(d); },
            [&] { TC::deleteAndMerge(d); },
            [&] { TC::mergeSelectedTracks(d); },
            [&] { TC::extractSelectionAsNewTracks(d); },
            [&] { TC::reverseSelectedTracks(d); },
            [&] { TC::reverseTrackOrder(d); },
            [&] { TC::chronologicallySortPoints(d); },
            [&] { TC::removeTimestampsOfSelection(d); },
            [&] { TC::removeMillisecondDataOfSelection(d); },
            [&] { TC::resetColorsOfSelectedTracks(d); },
            [&] { TC::invertSelection(d); },
            [&] { TC::deselectSelection(d); },
            [&] { randomSelection(false); },
            [&] { randomSelection(false); },
            [&] { d.undoManager().undo(); },
            [&] { d.undoManager().redo(); },
            [&] { TC::sortTracks(d, TC::sortTitles()[static_cast<std::size_t>(uniform(0, 6))]); },
            [&] { TC::selectAll(d); },
            [&] {
                anyItem()->setItemName("Renamed");
                d.undoManager().setActionName("Rename");
            },
            [&] {
                // Several commands in one user event form one step.
                TC::setSelectionColor(d, uniform(0, 9));
                if (uniform(0, 1) == 0)
                    TC::deleteSelection(d);
            },
            [&] {
                randomSelection(true);
                ScriptedDialog<WaypointEditor> editor(d.preferences());
                editor.script = [](WaypointEditor& e) { e.setName("Renamed"); };
                editor.editWaypoint(d);
            },
        };
        actions[uniform(0, static_cast<int>(std::size(actions)) - 1)]();
    }

    WendDocument& m_document;
    std::mt19937 m_random;
};

using TrackCommandsStressTest = CommandTest;

} // namespace

TEST_F(TrackCommandsStressTest, RandomCommandsUndoAndRedoExactly) {
    for (const bool selectionsUndoable : {true, false}) {
        SCOPED_TRACE(selectionsUndoable ? "selection changes undoable"
                                        : "selection changes not recorded");
        preferences.setTrackSelectionChangesAreUndoable(selectionsUndoable);
        StressRun run(document, selectionsUndoable ? 20240611 : 7);
        load(run.generatedItems());
        // Without recorded selection changes, selections are not part of the history.
        auto comparable = [&](DocumentSnapshot s) {
            for (auto& item : s.items)
                if (!selectionsUndoable)
                    item.selection.clear();
            return s;
        };
        const DocumentSnapshot original = comparable(snapshot());

        run.run(selectionsUndoable ? 1000 : 400);
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(run.m_tip);
        auto& undo = document.undoManager();
        while (undo.redo())
            ;
        const DocumentSnapshot latest = comparable(snapshot());
        EXPECT_EQ(latest, comparable(*run.m_tip));
        EXPECT_NE(latest, original);

        std::set<std::string> stepNames;
        while (undo.canUndo()) {
            stepNames.insert(undo.undoActionName());
            ASSERT_TRUE(undo.undo());
        }
        EXPECT_EQ(comparable(snapshot()), original);
        EXPECT_FALSE(document.isEdited());
        while (undo.redo())
            ;
        EXPECT_EQ(comparable(snapshot()), latest);
        // The history left at the end holds a step of every kind the run makes (selection
        // changes and renames included), so no command went unexercised.
        std::string names;
        for (const auto& name : stepNames)
            names += name + "; ";
        EXPECT_GE(stepNames.size(), selectionsUndoable ? 16u : 14u) << names;
        EXPECT_FALSE(stepNames.count("")) << "a step without a name: " << names;
    }
}
