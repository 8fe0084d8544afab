#include "ui/pointlist/PointListView.h"

#include "AppTestSupport.h"
#include "core/document/WendDocument.h"
#include "ui/app/DocumentWindow.h"
#include "ui/app/PreferencesWindow.h"
#include "ui/app/StatisticsPane.h"
#include "ui/mapview/GPSView.h"
#include "ui/pointlist/PointListItemDelegate.h"
#include "ui/pointlist/PointListModel.h"
#include "ui/pointlist/TimestampEditor.h"

#include <QAction>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPointer>
#include <QSplitter>
#include <QTest>
#include <gtest/gtest.h>

namespace wend {
namespace {

constexpr std::int64_t k2020 = 1577872800LL * 1'000'000; // 2020-01-01T10:00:00Z

GPSItemPtr makeTrack(std::size_t n, double lon) {
    PointList points;
    for (std::size_t i = 0; i < n; ++i)
        points.push_back(GPSPoint::pointWithLongitude(
            lon + 0.01 * static_cast<double>(i), 47.0, 500,
            Instant::fromMicroseconds(k2020 + 60'000'000 * static_cast<std::int64_t>(i))));
    auto item = GPSItem::item();
    item->setItemPoints(std::move(points));
    return item;
}

// The list on its own, over a document of two tracks of 3 and 4 points.
class PointListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_document.setGPSDoc(GPSDocument::documentWithItems({makeTrack(3, 8.0), makeTrack(4, 9.0)}));
        m_document.undoManager().removeAllActions();
        m_view = std::make_unique<PointListView>(m_document);
        m_view->resize(1000, 300);
        m_view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_view.get()));
        ASSERT_EQ(model().rowCount(), 7);
    }

    PointListModel& model() const { return *m_view->pointListModel(); }
    QPoint cell(int row, PointListColumn column) const {
        return m_view->visualRect(model().index(row, PointListModel::columnOf(column))).center();
    }
    const GPSPointPtr& point(std::size_t item, std::size_t index) const {
        return m_document.permanentItems()[item]->itemPoints()[index];
    }
    // Clicks the cell, then types into it: the first key opens the editor.
    QLineEdit* typeInto(int row, PointListColumn column, const QString& text) {
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, cell(row, column));
        QTest::keyClick(m_view.get(), text.at(0).toLatin1());
        auto* editor = m_view->findChild<QLineEdit*>(QStringLiteral("pointListCellEditor"));
        if (editor)
            QTest::keyClicks(editor, text.mid(1));
        return editor;
    }

    InMemoryPreferences m_preferences;
    WendDocument m_document{m_preferences};
    std::unique_ptr<PointListView> m_view;
};

TEST_F(PointListViewTest, TypingIntoACellMovesThePoint) {
    QLineEdit* editor = typeInto(4, PointListColumn::Latitude, QStringLiteral("47.25"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits on the next turn of the event loop
    EXPECT_EQ(point(1, 1)->latitude(), 47.25);
    EXPECT_EQ(model().index(4, PointListModel::columnOf(PointListColumn::Latitude)).data().toString(),
              QStringLiteral("+47.250000"));
    EXPECT_EQ(m_document.undoManager().undoActionName(), "Edit Point");
    // The clicked row stays selected and current.
    EXPECT_EQ(m_view->currentIndex().row(), 4);
    EXPECT_TRUE(m_view->selectionModel()->isRowSelected(4, {}));
}

TEST_F(PointListViewTest, ARefusedTextKeepsTheEditorOpenUntilEscape) {
    const GPSPointPtr before = point(0, 1);
    QPointer<QLineEdit> editor = typeInto(1, PointListColumn::Longitude, QStringLiteral("abc"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(editor && editor->isVisible());
    EXPECT_EQ(editor->text(), QStringLiteral("abc"));
    EXPECT_TRUE(editor->property(PointListItemDelegate::kRefusedProperty).toBool());
    QTest::keyClicks(editor, QStringLiteral("1"));
    EXPECT_FALSE(editor->property(PointListItemDelegate::kRefusedProperty).toBool());
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_TRUE(!editor || !editor->isVisible());
    EXPECT_EQ(point(0, 1), before);
    EXPECT_FALSE(m_document.undoManager().canUndo());
}

TEST_F(PointListViewTest, TheDateControlIsConfirmedOrDismissed) {
    const Instant before = *point(1, 2)->time();
    for (const bool confirm : {false, true}) {
        SCOPED_TRACE(confirm);
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, cell(5, PointListColumn::Timestamp));
        QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, {}, cell(5, PointListColumn::Timestamp));
        TimestampEditor* popup = m_view->timestampEditor();
        ASSERT_NE(popup, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
        QDateTimeEdit* control = popup->dateTimeEdit();
        EXPECT_EQ(control->dateTime().toMSecsSinceEpoch() * 1000, before.microsecondsSince1970());
        control->setDateTime(control->dateTime().addSecs(90));
        QTest::keyClick(control, confirm ? Qt::Key_Return : Qt::Key_Escape);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !m_view->timestampEditor(); }));
    }
    EXPECT_EQ(point(1, 2)->time(), before.addingSeconds(90));
    EXPECT_EQ(m_document.undoManager().undoActionName(), "Edit Timestamp");
}

// The list in a document window, as the user reaches it.
TEST(PointListWindowTest, TheMenuShowsTheListWhoseRowsAndMapFollowEachOther) {
    test::AppTestEnvironment env;
    DocumentWindow* window =
        env.controller->openDocument(QStringLiteral(WEND_SOURCE_DIR "/samples/sample.gpx"));
    ASSERT_NE(window, nullptr);
    window->resize(1200, 900);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    PointListView& list = *window->pointListView();
    EXPECT_FALSE(window->isPointListShown());

    QAction* toggle = window->actionFor(DocumentAction::ToggleEditablePointList);
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(toggle->text(), QStringLiteral("Show Editable Points &List"));
    toggle->trigger();
    ASSERT_TRUE(window->isPointListShown());
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(env.preferences.showEditablePointsList());
    // Under the map and the profile, above the statistics.
    QSplitter* column = window->mapSplitter();
    EXPECT_EQ(column->indexOf(&list), column->indexOf(window->statisticsPane()) - 1);
    EXPECT_TRUE(QTest::qWaitFor([&list] { return list.height() >= PointListView::kMinimumHeight; }));

    // A click on a row selects its point and centres the map on it.
    const int row = 10;
    const QModelIndex index = list.pointListModel()->index(row, 0);
    const GPSPointPtr clicked = list.controller().rows().pointAtRow(row);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(index).center());
    EXPECT_NEAR(window->gpsView()->center().lon, clicked->longitude(), 1e-9);
    EXPECT_NEAR(window->gpsView()->center().lat, clicked->latitude(), 1e-9);
    EXPECT_EQ(window->document().selectedItems().size(), 1u);

    // A selection on the map selects the rows.
    window->gpsView()->selectAll();
    EXPECT_EQ(list.selectionModel()->selectedRows().size(), list.pointListModel()->rowCount());
    // Hiding the list while it has the focus keeps the selection.
    list.setFocus();
    ASSERT_TRUE(list.hasFocus());
    const std::size_t selectedItems = window->document().selectedItems().size();
    toggle->trigger();
    EXPECT_EQ(window->document().selectedItems().size(), selectedItems);
    toggle->trigger();

    // The preference and the command agree: unticking it hides the list; new windows follow it.
    env.controller->showPreferences();
    auto* box = qobject_cast<QCheckBox*>(env.controller->preferencesWindow()->controlForKey(
        Preferences::kShowEditablePointsListKey));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isChecked());
    box->setChecked(false);
    EXPECT_FALSE(window->isPointListShown());
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(box->isChecked());
    DocumentWindow* second = env.controller->newDocument();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->isPointListShown());
}

} // namespace
} // namespace wend
