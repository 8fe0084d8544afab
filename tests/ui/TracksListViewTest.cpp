#include "ui/app/TracksListView.h"

#include "core/document/CommandTestSupport.h"
#include "core/document/TracksList.h"
#include "ui/app/ColorSwatch.h"
#include "ui/app/TracksListModel.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace wend::test {
namespace {

std::vector<std::string> namesOf(const WendDocument& document) {
    std::vector<std::string> names;
    for (const auto& item : document.permanentItems())
        names.push_back(item->itemName());
    return names;
}

// Drags the data onto the viewport and drops it at the point, as a drag from outside this list.
bool dropAt(TracksListView& view, const QMimeData& data, QPoint position) {
    QDragEnterEvent enter(position, Qt::MoveAction | Qt::CopyAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(position), Qt::MoveAction | Qt::CopyAction, &data, Qt::LeftButton,
                    Qt::NoModifier, QEvent::Drop);
    QCoreApplication::sendEvent(view.viewport(), &drop);
    return drop.isAccepted();
}

QAction* actionNamed(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text)
            return action;
        if (action->menu())
            if (QAction* inner = actionNamed(*action->menu(), text))
                return inner;
    }
    return nullptr;
}

// What the rows show and what renaming, moving, dropping and the item type do is the core's
// (TracksList); the view forwards the user's gestures and follows the document.
class TracksListViewTest : public CommandTest {
protected:
    ~TracksListViewTest() override {
        WholeItemStatistics::setBackgroundPoints(WholeItemStatistics::kDefaultBackgroundPoints);
    }

    void loadTracks(int count) {
        ItemList items;
        for (int i = 0; i < count; ++i)
            items.push_back(makeTrack("T" + std::to_string(i), 3, 8.0 + 0.01 * i));
        load(items);
    }

    TracksListView& showView(int width = 560, int height = 300) {
        view = std::make_unique<TracksListView>(document);
        view->resize(width, height);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        return *view;
    }

    QPoint pointInRow(int row, bool upperHalf = true) const {
        const QRect rect =
            view->visualRect(view->tracksListModel()->index(row, TracksList::NameColumn));
        return upperHalf ? rect.topLeft() + QPoint(4, 2) : rect.bottomLeft() + QPoint(4, -2);
    }

    void selectViewRows(const std::vector<int>& rows) {
        QItemSelection selection;
        auto* model = view->tracksListModel();
        for (int row : rows)
            selection.select(model->index(row, 0), model->index(row, model->columnCount() - 1));
        view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    }

    std::unique_ptr<TracksListView> view;
};

TEST_F(TracksListViewTest, DraggingRowsReordersThemAsOneUndoStep) {
    loadTracks(5);
    TracksListView& list = showView();
    TracksListModel& model = *list.tracksListModel();
    selectViewRows({0, 2});

    // Drops fall between rows, on the gap nearer the pointer.
    EXPECT_EQ(list.dropRowAt(pointInRow(3, false)), 4u);
    EXPECT_EQ(list.dropRowAt(QPoint(5, list.viewport()->height() - 2)), 5u);

    std::unique_ptr<QMimeData> data(model.mimeDataForRows({0, 2}));
    ASSERT_TRUE(data->hasFormat(QStringLiteral("GPSItemDragType")));
    const DocumentSnapshot before = snapshot();
    ASSERT_TRUE(dropAt(list, *data, pointInRow(4)));
    EXPECT_EQ(namesOf(document), (std::vector<std::string>{"T1", "T3", "T0", "T2", "T4"}));
    // The moved rows stay selected where they landed.
    EXPECT_EQ(list.selectedRows(), (std::vector<std::size_t>{2, 3}));
    expectOneUndoableStep("Move Tracks", before);

    // Data of another kind is left to the window (dropped files, for example).
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.gpx"))});
    EXPECT_FALSE(dropAt(list, files, pointInRow(1)));
}

TEST_F(TracksListViewTest, RowSelectionReachesTheItemsAndComesBack) {
    loadTracks(4);
    TracksListView& list = showView();

    selectViewRows({1, 3});
    EXPECT_EQ(document.selectedItemIndexes(), (std::vector<std::size_t>{1, 3}));

    // The document's own changes show in the rows, also a selection of some points only.
    document.setSelectedItemIndexes({0});
    EXPECT_EQ(list.selectedRows(), (std::vector<std::size_t>{0}));
    selectRanges(document.permanentItems()[2], {IndexRange{0, 1}});
    document.postSelectionChangedNotification();
    EXPECT_EQ(list.selectedRows(), (std::vector<std::size_t>{0, 2}));

    // A reload of the rows keeps what the document has selected.
    document.postTrackDataChangedNotification();
    EXPECT_EQ(list.selectedRows(), (std::vector<std::size_t>{0, 2}));

    // Figures of many points come from the other thread: the last ones show until they arrive.
    WholeItemStatistics::setBackgroundPoints(1);
    const TracksListModel& model = *list.tracksListModel();
    const double whole = model.rowAt(3)->distance;
    document.permanentItems()[3]->replaceItemPoints(2, 1, {});
    document.postTrackDataChangedNotification();
    EXPECT_EQ(model.rowAt(3)->distance, whole);
    QTRY_VERIFY_WITH_TIMEOUT(model.rowAt(3)->distance < whole, 5000);
    EXPECT_EQ(list.selectedRows(), (std::vector<std::size_t>{0, 2}));

    // Double-clicking a row asks the window to fit the selection into the map.
    QSignalSpy fit(&list, &TracksListView::fitSelectionToViewRequested);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, pointInRow(1));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, pointInRow(1));
    EXPECT_EQ(fit.count(), 1);
}

TEST_F(TracksListViewTest, ContextMenuAdjustsTheSelectionAndOffersTheItemType) {
    auto route = makeTrack("Plan", 2, 9.0, 0, GPSItemType::Route);
    load({makeTrack("Ride", 3), route, makeWaypoint("Hut"), makeTrack("Walk", 3)});
    TracksListView& list = showView();

    // Right-clicking an unselected row selects it alone; a selected one keeps the selection;
    // outside every row clears it.
    selectViewRows({0, 1});
    list.adjustSelectionForContextMenu(pointInRow(3));
    EXPECT_EQ(list.selectedRows(), (std::vector<std::size_t>{3}));
    selectViewRows({0, 1});
    list.adjustSelectionForContextMenu(pointInRow(1));
    EXPECT_EQ(list.selectedRows(), (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(list.mostRecentlySelectedRow(), 1u);

    // Which entries are on, mixed or off is the core's; the menu shows them and forwards the
    // choice: only the route selected, its entry is on; Track changes it as one step.
    selectViewRows({1});
    {
        std::unique_ptr<QMenu> menu(list.createContextMenu());
        EXPECT_TRUE(actionNamed(*menu, QStringLiteral("Route"))->isChecked());
        const DocumentSnapshot before = snapshot();
        actionNamed(*menu, QStringLiteral("Track"))->trigger();
        EXPECT_EQ(route->itemType(), GPSItemType::Track);
        expectOneUndoableStep("Change Item Type", before);
    }
    // Rename opens the editor on the most recently selected row with its text selected.
    selectViewRows({3});
    list.renameSelectedRow();
    auto* editor = qobject_cast<QLineEdit*>(
        list.indexWidget(list.tracksListModel()->index(3, TracksList::NameColumn)));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->selectedText(), QStringLiteral("Walk"));
    QTest::keyClicks(editor, QStringLiteral("Hike"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits on the next turn of the event loop
    EXPECT_EQ(document.permanentItems()[3]->itemName(), "Hike");
    EXPECT_EQ(list.tracksListModel()->index(3, TracksList::NameColumn).data().toString(),
              QStringLiteral("Hike"));
    list.adjustSelectionForContextMenu(QPoint(5, list.viewport()->height() - 2));
    EXPECT_TRUE(list.selectedRows().empty());
}

TEST_F(TracksListViewTest, KeepsItsScrollPositionAndScrollsToTheSelection) {
    loadTracks(60);
    TracksListView& list = showView(560, 220);
    QScrollBar* bar = list.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 400);
    bar->setValue(400);

    // A removed row rebuilds the rows; the list stays where it was.
    document.removeItem(document.permanentItems().back());
    EXPECT_EQ(bar->value(), 400);

    // A selection made elsewhere (on the map) brings its row into view.
    document.setSelectedItemIndexes({0});
    EXPECT_EQ(bar->value(), 0);
    document.setSelectedItemIndexes({0, 58});
    EXPECT_EQ(bar->value(), 0) << "a selected row is visible already";
    document.setSelectedItemIndexes({58});
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST(ColorSwatch, HasNoBlendedEdgeAtAnyPixelRatio) {
    for (const qreal ratio : {1.0, 1.5, 2.0}) {
        const QImage image = ColorSwatch::image(*ItemColor::itemColorFromString("Red"), ratio);
        EXPECT_EQ(image.width(), qRound(15 * ratio));
        const QColor border = image.pixelColor(0, 0);
        const QColor fill = image.pixelColor(image.width() / 2, image.height() / 2);
        EXPECT_EQ(fill, QColor(255, 0, 0));
        EXPECT_NE(border, fill);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_TRUE(image.pixelColor(x, y) == border || image.pixelColor(x, y) == fill)
                    << "ratio " << ratio << " at " << x << "," << y;
    }
}

} // namespace
} // namespace wend::test
