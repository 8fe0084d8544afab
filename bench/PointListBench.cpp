// Times the point list on a large GPX file, in the application as a user runs it, and prints:
//   - showing the list (its first showing in a window, and showing it again after a change),
//   - a map selection of a whole track reaching the table,
//   - a selection of a whole track's rows reaching the map,
//   - scrolling from the first row to the last, frame by frame,
//   - an in-place edit of one cell and its Undo, and what the undo history keeps of 200 edits;
//     with the time until the statistics pane, which computes on another thread, shows the
//     figures again.
// Each with the whole window's share (every pane follows the change) and the point list's own.
//
//   bench_point_list FILE.gpx
//
// Runs without a display (offscreen); the map page asks for tiles from an address where
// nothing listens, so only the drawing of the items is measured.

#include "AppBench.h"
#include "core/document/WendDocument.h"
#include "ui/app/DocumentWindow.h"
#include "ui/app/StatisticsPane.h"
#include "ui/mapview/GPSView.h"
#include "ui/pointlist/PointListModel.h"
#include "ui/pointlist/PointListView.h"

#include <QAction>
#include <QImage>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>
#include <malloc.h>

namespace {

using namespace wend;
using bench::report;
using bench::timeRuns;

// Copies of the items (sharing their points) for a document of their own: an item answers to
// one document only.
ItemList copiesOf(const ItemList& items) {
    ItemList copies;
    for (const auto& item : items)
        copies.push_back(item->copy());
    return copies;
}

double heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

int run(const QString& path) {
    QGuiApplication::setQuitOnLastWindowClosed(false);
    InMemoryPreferences preferences;
    bench::useUnreachableTiles(preferences);
    DocumentController controller(preferences);
    bench::printAlerts(controller);
    DocumentWindow* window = bench::openShownWindow(controller, path, "bench_point_list");
    if (!window)
        return 1;
    WendDocument& document = window->document();
    const ItemList items = document.permanentItems();
    std::size_t points = 0;
    for (const auto& item : items)
        points += item->itemPoints().size();
    std::printf("point list of %s: %zu items, %zu points\n", qPrintable(path), items.size(), points);
    const auto endEvent = [&] { controller.closeImplicitUndoGroups(); };

    // ---- showing ------------------------------------------------------------------------------
    PointListView& list = *window->pointListView();
    PointListModel& model = *list.pointListModel();
    QImage frame;
    const auto renderList = [&] {
        if (frame.size() != list.size())
            frame = QImage(list.size(), QImage::Format_ARGB32_Premultiplied);
        list.render(&frame);
    };
    report("first showing in the window: rows taken in, laid out, first frame", timeRuns(
        1, [](int) {}, [&](int) {
            window->toggleEditablePointList();
            renderList();
        }));
    std::printf("  list %d x %d, %d rows\n", list.width(), list.height(), model.rowCount());
    report("showing again after a change: rows taken in again, first frame", timeRuns(
        10,
        [&](int) {
            window->toggleEditablePointList();
            document.postTrackDataChangedNotification();
        },
        [&](int) {
            window->toggleEditablePointList();
            renderList();
        }));

    // ---- a map selection reaching the table -----------------------------------------------------
    const auto selectOnMap = [&](const GPSItemPtr& item, bool whole) {
        document.GPSViewWillChangeSelection();
        for (const auto& other : items)
            other->setItemSelection(other->itemSelection().selectionByDeselectingAll());
        if (whole)
            item->setItemSelection(item->itemSelection().selectionBySelectingAll());
        document.GPSViewDidChangeSelection();
        endEvent();
    };
    const auto trackAt = [&](int i) { return items[static_cast<std::size_t>(i) % items.size()]; };
    report("map selection of a whole track, every pane, and the table's frame", timeRuns(
        10, [&](int i) { selectOnMap(trackAt(i), false); },
        [&](int i) {
            selectOnMap(trackAt(i), true);
            renderList();
        }));
    report("  of which the point list: rows selected and scrolled to, frame", timeRuns(
        10,
        [&](int i) {
            selectOnMap(trackAt(i), false);
            trackAt(i)->setItemSelection(trackAt(i)->itemSelection().selectionBySelectingAll());
        },
        [&](int) {
            list.controller().updatePointSelection();
            renderList();
        }));

    // ---- rows reaching the map ----------------------------------------------------------------
    GPSView& map = *window->gpsView();
    QImage mapFrame(map.size(), QImage::Format_ARGB32_Premultiplied);
    const auto rowsOfTrack = [&](int i) {
        const std::size_t item = static_cast<std::size_t>(i) % items.size();
        const auto first = static_cast<int>(list.controller().rows().firstRowOfItem(item));
        const auto last = first + static_cast<int>(items[item]->itemPoints().size()) - 1;
        return QItemSelection(model.index(first, 0), model.index(last, model.columnCount() - 1));
    };
    report("a whole track's rows selected, every pane, and the map's frame", timeRuns(
        10, [&](int i) { selectOnMap(trackAt(i), false); },
        [&](int i) {
            list.selectionModel()->select(rowsOfTrack(i), QItemSelectionModel::ClearAndSelect);
            map.render(&mapFrame);
        }));
    report("  of which the selection change and every pane", timeRuns(
        10, [&](int i) { selectOnMap(trackAt(i + 1), false); },
        [&](int i) {
            list.selectionModel()->select(rowsOfTrack(i + 1), QItemSelectionModel::ClearAndSelect);
        }));
    {
        // The point list's own share: the same selection without any pane listening.
        InMemoryPreferences barePreferences;
        WendDocument bare(barePreferences);
        bare.setGPSDoc(GPSDocument::documentWithItems(copiesOf(items)));
        PointListEditorController own(bare);
        own.updatePoints();
        report("  of which the point list's own mapping into the items", timeRuns(
            10, [&](int) { own.tableViewSelectionDidChange({}); },
            [&](int i) {
                const std::size_t item = static_cast<std::size_t>(i) % items.size();
                own.tableViewSelectionDidChange(
                    {{own.rows().firstRowOfItem(item), own.rows().pointCountOfItem(item)}});
            }));
    }
    selectOnMap(items.front(), false);

    // ---- scrolling ----------------------------------------------------------------------------
    QScrollBar& scrollBar = *list.verticalScrollBar();
    constexpr int kScrollSteps = 400;
    report("scrolling from the first row to the last: one frame per step", timeRuns(
        kScrollSteps + 1, [&](int i) { scrollBar.setValue(scrollBar.maximum() / kScrollSteps * i); },
        [&](int) { renderList(); }));
    scrollBar.setValue(scrollBar.maximum() / 2);

    // ---- editing ------------------------------------------------------------------------------
    const int firstVisible = list.rowAt(0);
    const int elevation = PointListModel::columnOf(PointListColumn::Elevation);
    const auto editCell = [&](int i) {
        const QModelIndex cell = model.index(firstVisible + i % 20, elevation);
        model.setData(cell, QString::number(100 + i));
        endEvent();
    };
    QAction& undo = *window->actionNamed(QStringLiteral("undo"));
    report("an elevation typed into a cell, every pane, and the table's frame", timeRuns(
        20, [](int) {}, [&](int i) {
            editCell(i);
            renderList();
        }));
    report("  its Undo, every pane, and the table's frame", timeRuns(
        20, [](int) {}, [&](int) {
            undo.trigger();
            renderList();
        }));
    // The pane's figures follow an edit on another thread: the time until they show again,
    // with the main thread's share.
    StatisticsPane& statistics = *window->statisticsPane();
    const auto untilFiguresShown = [&](const std::function<void()>& change) {
        QSignalSpy shown(&statistics, &StatisticsPane::statisticsChanged);
        change();
        while (shown.isEmpty() && shown.wait(10000)) {
        }
    };
    report("  an edit until the statistics pane shows its figures", timeRuns(
        10, [](int) {}, [&](int i) { untilFiguresShown([&] { editCell(i); }); }));
    report("  its Undo until the statistics pane shows its figures", timeRuns(
        10, [](int) {}, [&](int) { untilFiguresShown([&] { undo.trigger(); }); }));
    // How much of an edit's cost is the statistics pane's (without a selection it measures the
    // whole document after every change).
    statistics.setExpanded(false);
    report("  the same edit with the statistics pane closed", timeRuns(
        20, [](int) {}, [&](int i) {
            editCell(i);
            renderList();
        }));
    report("  and its Undo", timeRuns(
        20, [](int) {}, [&](int) {
            undo.trigger();
            renderList();
        }));
    statistics.setExpanded(true);
    {
        InMemoryPreferences barePreferences;
        WendDocument bare(barePreferences);
        bare.setGPSDoc(GPSDocument::documentWithItems(copiesOf(items)));
        PointListEditorController own(bare);
        own.updatePoints();
        const std::size_t middle = own.rowCount() / 2;
        report("  the point list's own share of an edit (the point replaced, rows taken in)",
               timeRuns(20, [](int) {}, [&](int i) {
                   own.setCellText(middle + static_cast<std::size_t>(i), PointListColumn::Elevation,
                                   std::to_string(200 + i));
                   bare.undoManager().closeImplicitGroup();
               }));
        report("  and of its Undo", timeRuns(20, [](int) {}, [&](int) { bare.undoManager().undo(); }));
        constexpr int kEdits = 200;
        const double before = heapInUse();
        for (int i = 0; i < kEdits; ++i) {
            own.setCellText(middle + static_cast<std::size_t>(i), PointListColumn::Latitude,
                            std::to_string(10 + i * 0.001));
            bare.undoManager().closeImplicitGroup();
        }
        std::printf("  undo history of %d edits: %.0f bytes per edit\n", kEdits,
                    (heapInUse() - before) / kEdits);
    }

    controller.closeAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return wend::bench::runWithFile(argc, argv, "bench_point_list", run);
}
