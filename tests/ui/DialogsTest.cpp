#include "core/document/CommandTestSupport.h"
#include "core/document/TrackCommands.h"
#include "core/model/XMLElementBuilder.h"
#include "ui/dialogs/EditMetadataDialog.h"
#include "ui/dialogs/EditWaypointDialog.h"
#include "ui/dialogs/OffsetTimestampsDialog.h"
#include "ui/dialogs/OptimizationDialog.h"
#include "ui/dialogs/OverwriteTimestampsDialog.h"
#include "ui/dialogs/SplitOnRestStopsDialog.h"
#include "ui/dialogs/TimeIntervalField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

namespace wend::test {
namespace {

// Plays the user's part once the dialog's modal run has started. The script ends the run with
// Done or Cancel; a script that fails early leaves nothing hanging.
void whileModal(QDialog& dialog, std::function<void()> script) {
    QTimer::singleShot(0, &dialog, [&dialog, script = std::move(script)] {
        EXPECT_TRUE(dialog.isVisible());
        script();
        if (dialog.isVisible()) {
            ADD_FAILURE() << "the script left the dialog open";
            dialog.reject();
        }
    });
}

// Push buttons get a real mouse click; check boxes and radio buttons only react to clicks on
// their indicator and label, so they are clicked wherever the layout put that.
void click(QAbstractButton* button) {
    if (qobject_cast<QPushButton*>(button))
        QTest::mouseClick(button, Qt::LeftButton);
    else
        button->click();
}

void typeInto(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

using DialogsTest = CommandTest;

// Each dialog: what it shows and previews, and that Done applies what was set (as one undo step
// of the command's name). Cancelling each from the window is DocumentWindowTest's; what the
// command computes is the core's to test.
TEST_F(DialogsTest, OptimizationPreviewsWhileLiveAndReturnConfirms) {
    auto line = makeTrack("Line", 10);
    load({line});
    selectWhole(line);
    startFresh();
    const DocumentSnapshot before = snapshot();
    {
        OptimizationDialog dialog;
        whileModal(dialog, [&] {
            EXPECT_EQ(dialog.strengthLabel()->text(),
                      QStringLiteral("Optimization Strength: 0.25"));
            ASSERT_TRUE(document.tempItems().has_value());
            dialog.strengthSlider()->setValue(0);
            EXPECT_EQ(dialog.strengthLabel()->text(),
                      QStringLiteral("Optimization Strength: 0.00"));
            EXPECT_EQ((*document.tempItems())[0]->itemPoints().size(), 10u);
            // Without live update the map shows the document's own items again.
            click(dialog.liveUpdateCheckBox());
            EXPECT_FALSE(document.tempItems().has_value());
            EXPECT_TRUE(dialog.pointsRemovedLabel()->text().isEmpty());
            dialog.strengthSlider()->setValue(100);
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
        ASSERT_TRUE(TrackCommands::optimizeSelection(document, dialog));
    }
    EXPECT_LT(document.permanentItems()[0]->itemPoints().size(), 10u);
    EXPECT_FALSE(document.tempItems().has_value());
    expectOneUndoableStep("Optimize Selection", before);
}

TEST_F(DialogsTest, SplitOnRestStopsPreviewsThePiecesAndSlidersShowTheirValues) {
    PointList points;
    const double seconds[] = {0, 60, 120, 1000, 3600, 3660, 3720};
    const double longitudes[] = {8.0, 8.001, 8.002, 8.00201, 8.00202, 8.003, 8.004};
    for (int i = 0; i < 7; ++i)
        points.push_back(
            GPSPoint::pointWithLongitude(longitudes[i], 47.0, 400, atSeconds(seconds[i])));
    auto trip = GPSItem::item();
    trip->setItemPoints(std::move(points));
    load({trip});
    selectWhole(trip);
    startFresh();
    const DocumentSnapshot before = snapshot();
    {
        SplitOnRestStopsDialog dialog;
        whileModal(dialog, [&] {
            EXPECT_EQ(dialog.minTimeLabel()->text(), QStringLiteral("0h 45m 0s"));
            ASSERT_TRUE(document.tempItems().has_value());
            EXPECT_EQ(document.tempItems()->size(), 2u);
            // The slider moves on a cube-root scale from about a minute to a day.
            const int minTime = dialog.minTimeSlider()->value();
            dialog.minTimeSlider()->setValue(0);
            EXPECT_NEAR(dialog.minTime(), 60.1, 0.5);
            dialog.minTimeSlider()->setValue(SplitOnRestStopsDialog::kMinTimeSliderSteps);
            EXPECT_NEAR(dialog.minTime(), 86400, 1);
            dialog.minTimeSlider()->setValue(minTime);
            dialog.maxDistanceSlider()->setValue(30);
            EXPECT_EQ(dialog.maxDistanceLabel()->text(), QStringLiteral("30.0 metres"));
            // Keeping the stops adds the stop itself as a track.
            click(dialog.discardRestStopsCheckBox());
            EXPECT_EQ(document.tempItems()->size(), 3u);
            click(dialog.livePreviewCheckBox());
            EXPECT_FALSE(document.tempItems().has_value());
            click(dialog.doneButton());
        });
        ASSERT_TRUE(TrackCommands::splitSelectionAtRestStops(document, dialog));
    }
    EXPECT_EQ(document.permanentItems().size(), 3u);
    expectOneUndoableStep("Split Selection at Rest-stops", before);
}

TEST_F(DialogsTest, OffsetTimestampsTakesTheIntervalTypedAndStepped) {
    auto track = makeTrack("Ride", 3);
    load({track});
    selectRanges(track, {IndexRange{1, 1}});
    startFresh();
    const DocumentSnapshot before = snapshot();
    {
        OffsetTimestampsDialog dialog;
        whileModal(dialog, [&] {
            // Typing goes to the hours first; a click selects the number under it; the arrow
            // keys and the step buttons step it (the editing rules are the core's).
            TimeIntervalField* field = dialog.intervalField();
            QTest::keyClick(field, Qt::Key_1);
            QTest::mouseClick(field, Qt::LeftButton, Qt::NoModifier,
                              field->fieldRect(TimeIntervalEditor::Minutes).center().toPoint());
            QTest::keyClicks(field, QStringLiteral("5"));
            QTest::keyClick(field, Qt::Key_Up);
            QTest::keyClick(field, Qt::Key_Up);
            click(dialog.stepDownButton());
            EXPECT_DOUBLE_EQ(dialog.interval(), 3600 + 6 * 60);
            click(dialog.earlierButton());
            click(dialog.doneButton());
        });
        ASSERT_TRUE(TrackCommands::offsetTimestampsOfSelection(document, dialog));
    }
    EXPECT_EQ(document.permanentItems()[0]->itemPoints()[1]->time(), atSeconds(60 - 3960));
    expectOneUndoableStep("Offset Timestamps", before);
}

TEST_F(DialogsTest, OverwriteTimestampsRefusesUnusableSettingsAndStaysOpen) {
    auto track = makeTrackOf100MetreSteps("Ride", 4);
    load({track, makeTrack("Other", 2, 9.0)});
    selectRanges(track, {IndexRange{1, 1}});
    startFresh();
    const DocumentSnapshot before = snapshot();
    {
        OverwriteTimestampsDialog dialog;
        whileModal(dialog, [&] {
            EXPECT_EQ(dialog.speedEdit()->text(), QStringLiteral("5.0 km/h"));
            EXPECT_FALSE(dialog.intervalField()->isVisible());
            EXPECT_TRUE(dialog.selectionsWarningLabel()->isVisible()) << "partly selected";
            dialog.incrementMethodBox()->setCurrentIndex(1);
            EXPECT_TRUE(dialog.intervalField()->isVisible());
            EXPECT_FALSE(dialog.speedEdit()->isVisible());
            dialog.incrementMethodBox()->setCurrentIndex(0);

            // A speed of 0 gives no times: refused with the reason, the dialog stays open.
            typeInto(dialog.speedEdit(), QStringLiteral("0"));
            click(dialog.doneButton());
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_TRUE(dialog.refusalLabel()->isVisible());
            EXPECT_EQ(dialog.refusalLabel()->text().toStdString(), dialog.refusalMessage());
            // 36 km/h is 10 m/s; Done takes the speed still being typed.
            typeInto(dialog.speedEdit(), QStringLiteral("36"));
            click(dialog.doneButton());
        });
        ASSERT_TRUE(TrackCommands::overwriteTimestampsOfSelection(document, dialog));
    }
    const auto& points = document.permanentItems()[0]->itemPoints();
    EXPECT_NEAR(points[3]->time()->secondsSince(*points[0]->time()), 30, 0.001);
    expectOneUndoableStep("Overwrite Timestamps", before);
}

TEST_F(DialogsTest, EditWaypointTakesTheFieldsIncludingTheOneBeingEdited) {
    auto hut = makeWaypoint("Hut");
    load({makeTrack("Ride", 3), hut});
    document.setSelectedItemIndexes({1});
    preferences.setMeasurementSystem(Preferences::kImperialSystem);
    preferences.setShowAdditionalWaypointFields(false);
    startFresh();
    const DocumentSnapshot before = snapshot();
    {
        EditWaypointDialog dialog(preferences);
        whileModal(dialog, [&] {
            EXPECT_EQ(dialog.nameEdit()->text(), QStringLiteral("Hut"));
            EXPECT_FALSE(dialog.linkEdit()->isVisible());
            typeInto(dialog.nameEdit(), QStringLiteral("Summit Hut"));
            click(dialog.additionalFieldsButton());
            EXPECT_TRUE(dialog.linkEdit()->isVisible());
            EXPECT_TRUE(preferences.showAdditionalWaypointFields());
            typeInto(dialog.symbolEdit(), QStringLiteral("Lodge"));
            click(dialog.deleteTimestampButton());
            EXPECT_FALSE(dialog.timeEdit()->isEnabled());
            // 500 ft, still being typed when Done is pressed.
            typeInto(dialog.elevationEdit(), QStringLiteral("500"));
            click(dialog.doneButton());
        });
        ASSERT_TRUE(dialog.editWaypoint(document));
    }
    const GPSItemPtr edited = document.permanentItems()[1];
    EXPECT_EQ(edited->itemName(), "Summit Hut");
    EXPECT_EQ(edited->wptSym(), "Lodge");
    EXPECT_NEAR(edited->itemPoints()[0]->elevation(), 500 / 3.2808399, 0.01);
    EXPECT_FALSE(edited->itemPoints()[0]->time().has_value());
    expectOneUndoableStep("Edit Waypoint", before);
}

TEST_F(DialogsTest, EditMetadataGivesTypedValuesToEverySelectedItem) {
    auto a = makeTrack("A", 2);
    auto b = makeTrack("B", 2, 9.0);
    a->setXMLElements(XMLElementList{XMLElementBuilder("cmt", "first").build()});
    b->setXMLElements(XMLElementList{XMLElementBuilder("cmt", "second").build()});
    load({a, b, makeTrack("C", 2, 10.0)});
    document.setSelectedItemIndexes({0, 1});
    startFresh();
    const DocumentSnapshot before = snapshot();

    // Differing names show "Multiple Values"; a typed name and a new property, its name still
    // being edited at Done, reach both items.
    {
        EditMetadataDialog dialog(document);
        whileModal(dialog, [&] {
            EXPECT_EQ(dialog.nameEdit()->placeholderText(), QStringLiteral("Multiple Values"));
            EXPECT_FALSE(dialog.authorEdit()->isEnabled()) << "items have no author";
            typeInto(dialog.nameEdit(), QStringLiteral("Same"));
            dialog.propertiesTable()->selectRow(0);
            click(dialog.removePropertyButton());
            click(dialog.addPropertyButton());
            QTableWidget* table = dialog.propertiesTable();
            ASSERT_EQ(table->rowCount(), 1);
            auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(table->currentIndex()));
            ASSERT_NE(editor, nullptr);
            EXPECT_EQ(editor->selectedText(), QStringLiteral("Property Name"));
            QTest::keyClicks(editor, QStringLiteral("note"));
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
        EXPECT_TRUE(dialog.editSelectionMetadata());
    }
    for (const GPSItemPtr& item : {a, b}) {
        EXPECT_EQ(item->itemName(), "Same");
        EXPECT_EQ(item->XMLElements().elementNamed("note").stringValue(), "Property Value");
        EXPECT_TRUE(item->XMLElements().elementNamed("cmt").isNull());
    }
    EXPECT_TRUE(document.permanentItems()[2]->XMLElements().elementNamed("note").isNull());
    expectOneUndoableStep("Edit Metadata", before);
}

} // namespace
} // namespace wend::test
