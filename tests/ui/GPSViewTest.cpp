#include "ui/mapview/GPSView.h"

#include "AppTestSupport.h"
#include "core/document/InMemoryPreferences.h"
#include "core/document/WendDocument.h"
#include "core/model/GPSDocument.h"
#include "core/tools/ToolSet.h"
#include "ui/mapview/GPSViewDocumentDelegate.h"
#include "ui/mapview/MapFramePainter.h"
#include "ui/mapview/TooltipView.h"

#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace wend {
namespace {

using test::sameColor;

constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr int kZoom = 12;
constexpr WorldPoint kCenter{7.0, 46.0};

// `count` points from `first`, `step` degrees apart.
GPSItemPtr makeItem(int count, WorldPoint first, WorldPoint step, const char* colorName) {
    PointList points;
    for (int i = 0; i < count; ++i)
        points.push_back(GPSPoint::pointWithLongitude(
            first.lon + i * step.lon, first.lat + i * step.lat, GPSPoint::NaN, std::nullopt));
    auto item = GPSItem::item();
    item->setItemName(colorName);
    item->setItemType(count == 1 ? GPSItemType::Waypoint : GPSItemType::Track);
    item->setItemPoints(std::move(points));
    item->setItemColor(ItemColor::itemColorFromString(colorName));
    return item;
}

QColor colorOf(const GPSItemPtr& item) {
    return MapFramePainter::qColor(item->itemColor()->rgba());
}

void sendMouse(QWidget* widget, QEvent::Type type, QPointF position, Qt::MouseButtons buttons,
               Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, position, widget->mapToGlobal(position), button, buttons, modifiers);
    QCoreApplication::sendEvent(widget, &event);
}

void sendWheel(QWidget* widget, QPointF position, int angleDeltaY,
               Qt::ScrollPhase phase = Qt::NoScrollPhase) {
    QWheelEvent event(position, widget->mapToGlobal(position), QPoint(), QPoint(0, angleDeltaY),
                      Qt::NoButton, Qt::NoModifier, phase, false);
    QCoreApplication::sendEvent(widget, &event);
}

// A view over a plain white window, showing a document with two tracks and a waypoint.
class GPSViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        // East and north, 0.01 degrees (29 points at zoom 12) between points.
        red = makeItem(7, {6.97, 46.0}, {0.01, 0}, "DarkRed");
        blue = makeItem(5, {7.04, 45.98}, {0, 0.01}, "Blue");
        waypoint = makeItem(1, {6.98, 46.02}, {}, "Yellow");
        document.setGPSDoc(GPSDocument::documentWithItems({red, blue, waypoint}));

        background.setAutoFillBackground(true);
        QPalette palette = background.palette();
        palette.setColor(QPalette::Window, Qt::white);
        background.setPalette(palette);
        background.resize(kWidth, kHeight);
        view = new GPSView(preferences, &background);
        view->setGeometry(0, 0, kWidth, kHeight);
        documentDelegate = std::make_unique<GPSViewDocumentDelegate>(document, *view);
        view->setZoomLevel(kZoom);
        view->setCenter(kCenter.lon, kCenter.lat);
        background.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&background));
    }

    QImage viewImage() { return view->grab().toImage(); }
    QImage windowImage() { return background.grab().toImage(); }
    QPointF screenPoint(WorldPoint world) const {
        const ViewPoint p = view->geometry().transformWorldToScreen(world);
        return {p.x, p.y};
    }
    // The middle of the item's segment from its point `index` to the next.
    QPointF middleOf(const GPSItem& item, std::size_t index) const {
        const GPSPoint& a = *item.itemPoints()[index];
        const GPSPoint& b = *item.itemPoints()[index + 1];
        return screenPoint(
            {(a.longitude() + b.longitude()) / 2, (a.latitude() + b.latitude()) / 2});
    }
    static QColor pixelAt(const QImage& image, QPointF logical) {
        const qreal ratio = image.devicePixelRatio();
        return image.pixelColor(static_cast<int>(std::floor(logical.x() * ratio)),
                                static_cast<int>(std::floor(logical.y() * ratio)));
    }

    InMemoryPreferences preferences;
    WendDocument document{preferences};
    QWidget background;
    GPSView* view = nullptr;
    std::unique_ptr<GPSViewDocumentDelegate> documentDelegate;
    GPSItemPtr red, blue, waypoint;
};

TEST_F(GPSViewTest, DrawsTracksAndTheWaypointWhereTheProjectionPutsThem) {
    // The view is transparent where nothing is drawn, over whatever lies beneath.
    const QImage overlay = viewImage();
    const QColor redColor = colorOf(red);
    EXPECT_TRUE(sameColor(pixelAt(overlay, middleOf(*red, 0)), redColor));
    EXPECT_TRUE(sameColor(pixelAt(overlay, middleOf(*blue, 0)), colorOf(blue)));
    for (const QPointF& empty : {QPointF(300, 250), screenPoint({6.99, 45.99})})
        EXPECT_EQ(pixelAt(overlay, empty).alpha(), 0) << empty.x() << "," << empty.y();

    // The waypoint: a dot in its colour, its name to the right (white text on a dark shadow).
    const QPoint dot = screenPoint({6.98, 46.02}).toPoint();
    EXPECT_TRUE(sameColor(overlay.pixelColor(dot), colorOf(waypoint)));
    int textPixels = 0, shadowPixels = 0;
    for (int x = dot.x() + 10; x < dot.x() + 50; ++x)
        for (int y = dot.y() - 7; y <= dot.y() + 7; ++y) {
            const QColor c = overlay.pixelColor(x, y);
            textPixels += c.alpha() > 200 && c.lightness() > 200;
            shadowPixels += c.alpha() > 60 && c.lightness() < 60;
        }
    EXPECT_GT(textPixels, 5);
    EXPECT_GT(shadowPixels, 5);

    // At twice the pixel density the line keeps its width in points: 2 and 2.5 points from
    // its middle lie on the inner line and on the outline (dark red at half brightness).
    QImage dense(QSize(kWidth, kHeight) * 2, QImage::Format_ARGB32_Premultiplied);
    dense.setDevicePixelRatio(2);
    dense.fill(Qt::white);
    view->render(&dense);
    const QPointF middle = middleOf(*red, 0) * 2;
    const auto at = [&](double dy) {
        return dense.pixelColor(static_cast<int>(middle.x()),
                                static_cast<int>(std::lround(middle.y() + dy)));
    };
    EXPECT_TRUE(sameColor(at(2), redColor));
    EXPECT_TRUE(sameColor(at(5), QColor(83, 0, 0)));
    EXPECT_TRUE(sameColor(at(9), Qt::white));
}

TEST_F(GPSViewTest, SelectedStretchesUseTheSelectionColourAndFollowTheDocument) {
    document.GPSViewWillChangeSelection();
    red->setItemSelection(
        Selection::selectionWithValidSelectionRange(red->pointIndexRange(), {{3, 2}}));
    document.GPSViewDidChangeSelection();
    const QImage image = windowImage();
    EXPECT_TRUE(sameColor(pixelAt(image, middleOf(*red, 3)),
                          QColor(249, 0, 0))); // dark red, brightened for the selection
    EXPECT_TRUE(sameColor(pixelAt(image, middleOf(*red, 0)), colorOf(red)));

    // A hidden item with selected points is drawn whole at opacity 0.35 (two base strokes,
    // and two highlight strokes over them where selected); one without disappears.
    red->setVisible(false);
    blue->setVisible(false);
    document.postTrackDataChangedNotification();
    const QImage hidden = viewImage();
    EXPECT_NEAR(pixelAt(hidden, middleOf(*red, 0)).alpha(), 147, 3);
    EXPECT_NEAR(pixelAt(hidden, middleOf(*red, 3)).alpha(), 209, 3);
    EXPECT_EQ(pixelAt(hidden, middleOf(*blue, 0)).alpha(), 0);
    red->setVisible(true);
    blue->setVisible(true);

    // Ctrl+A selects every item, inside one pair of the document's brackets.
    int selectionNotifications = 0;
    const auto connection =
        document.selectionDidChange().connect([&] { ++selectionNotifications; });
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    document.selectionDidChange().disconnect(connection);
    EXPECT_EQ(selectionNotifications, 1);
    EXPECT_TRUE(blue->itemSelection().isFull());
}

// Where the selection goes is the core's (MapSelectionCommands); the keys reach it.
TEST_F(GPSViewTest, ArrowKeysMoveTheSelectionAndCentreOnIt) {
    red->setItemSelection(
        Selection::selectionWithValidSelectionRange(red->pointIndexRange(), {{1, 0}}));
    QTest::keyClick(view, Qt::Key_Up);
    EXPECT_EQ(red->itemSelection().ranges(), (std::vector<IndexRange>{{0, 0}}));
    EXPECT_NEAR(view->center().lon, 6.97, 1e-9);
}

TEST_F(GPSViewTest, WheelAndPinchZoomAroundThePointer) {
    QSignalSpy moves(view, &GPSView::willMoveTo);
    const QPointF pointer(300, 100);
    const WorldPoint underPointer =
        view->geometry().transformScreenToWorld({pointer.x(), pointer.y()});
    sendWheel(view, pointer, 120);
    EXPECT_EQ(view->zoomLevel(), kZoom + 1);
    ASSERT_GE(moves.count(), 1);
    EXPECT_EQ(moves.last().at(2).toInt(), kZoom + 1);
    const QPointF after = screenPoint(underPointer);
    EXPECT_NEAR(after.x(), pointer.x(), 2);
    EXPECT_NEAR(after.y(), pointer.y(), 4);

    // Trackpad scrolling (a scroll phase) never zooms; how amounts add up is the core's.
    sendWheel(view, pointer, 600, Qt::ScrollUpdate);
    EXPECT_EQ(view->zoomLevel(), kZoom + 1);

    QNativeGestureEvent pinch(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2,
                              pointer, pointer, view->mapToGlobal(pointer), -0.25, QPointF());
    QCoreApplication::sendEvent(view, &pinch);
    EXPECT_EQ(view->zoomLevel(), kZoom);
}

TEST_F(GPSViewTest, SpaceDragPansAndDoubleClickZooms) {
    QSignalSpy moves(view, &GPSView::willMoveTo);
    // Without Space a drag is left to the tools: the map stays.
    sendMouse(view, QEvent::MouseButtonPress, {200, 150}, Qt::LeftButton);
    sendMouse(view, QEvent::MouseMove, {260, 190}, Qt::LeftButton);
    sendMouse(view, QEvent::MouseButtonRelease, {260, 190}, Qt::NoButton);
    EXPECT_EQ(view->center(), kCenter);
    EXPECT_EQ(moves.count(), 0);

    QTest::keyPress(view, Qt::Key_Space);
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    sendMouse(view, QEvent::MouseButtonPress, {200, 150}, Qt::LeftButton);
    EXPECT_EQ(view->cursor().shape(), Qt::ClosedHandCursor);
    sendMouse(view, QEvent::MouseMove, {300, 200}, Qt::LeftButton);
    sendMouse(view, QEvent::MouseButtonRelease, {300, 200}, Qt::NoButton);
    // 360 degrees per world width on both axes, against the pointer's movement.
    const double degreesPerPoint =
        360.0 / static_cast<double>(MapViewGeometry::worldSizeForZoom(kZoom));
    EXPECT_NEAR(view->center().lon, kCenter.lon - 100 * degreesPerPoint, 1e-9);
    EXPECT_NEAR(view->center().lat, kCenter.lat + 50 * degreesPerPoint, 1e-9);
    EXPECT_EQ(moves.count(), 1);
    // The tracks are drawn where their points now are.
    EXPECT_TRUE(sameColor(pixelAt(windowImage(), middleOf(*red, 0)), colorOf(red)));

    // A double click centres on the pointer and zooms in, in pan mode only.
    const QPointF target(120, 80);
    const WorldPoint targetWorld =
        view->geometry().transformScreenToWorld({target.x(), target.y()});
    const auto doubleClick = [&] {
        sendMouse(view, QEvent::MouseButtonPress, target, Qt::LeftButton);
        sendMouse(view, QEvent::MouseButtonRelease, target, Qt::NoButton);
        sendMouse(view, QEvent::MouseButtonDblClick, target, Qt::LeftButton);
        sendMouse(view, QEvent::MouseButtonRelease, target, Qt::NoButton);
    };
    doubleClick();
    EXPECT_EQ(view->zoomLevel(), kZoom + 1);
    EXPECT_NEAR(view->center().lon, targetWorld.lon, 1e-9);
    QTest::keyRelease(view, Qt::Key_Space);
    EXPECT_EQ(view->cursor().shape(), Qt::CrossCursor); // the range selection tool's
    doubleClick();
    EXPECT_EQ(view->zoomLevel(), kZoom + 1);
}

TEST_F(GPSViewTest, ChoosingAToolShowsItsUsageUntilThePointerMoves) {
    view->setCurrentTool(4, true);
    ASSERT_TRUE(view->tooltipView()->isShowing());
    EXPECT_EQ(view->tooltipView()->heading(), QStringLiteral("Edit Point Tool (P)"));
    EXPECT_TRUE(view->tooltipView()->text().startsWith(
        QStringLiteral("Hold Space to disable editing and drag the map\n\n")));
    // Faded in: a dark translucent bubble in the middle of the view.
    const auto bubbleShown = [&] {
        return sameColor(
            windowImage().pixelColor(kWidth / 2, view->tooltipView()->geometry().top() + 4),
            QColor(51, 51, 51), 3);
    };
    EXPECT_TRUE(QTest::qWaitFor(bubbleShown, 5000));

    sendMouse(view, QEvent::MouseMove, {10, 10}, Qt::NoButton, Qt::NoButton);
    EXPECT_FALSE(view->tooltipView()->isShowing());
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->tooltipView()->isHidden(); }, 5000));

    // Not when tooltips are off; an unknown tool changes nothing.
    preferences.setShowTooltips(false);
    view->setCurrentTool(1, true);
    EXPECT_FALSE(view->tooltipView()->isShowing());
    view->setCurrentTool(6, true);
    EXPECT_EQ(view->currentTool(), 1);
}

TEST_F(GPSViewTest, XMarksThePointToRemoveAndEscapeCancelsADrag) {
    view->setCurrentTool(ToolSet::EditPoint, false);
    QTest::keyPress(view, Qt::Key_X);
    EXPECT_EQ(view->toolModifiers(), GPSView::kOptionModifier);
    const QPointF point = screenPoint({7.01, 46.0});
    sendMouse(view, QEvent::MouseMove, point + QPointF(4, 3), Qt::NoButton, Qt::NoButton);
    const QImage marked = windowImage();
    EXPECT_TRUE(sameColor(pixelAt(marked, point + QPointF(0.5, -2.5)), Qt::red, 8));
    QTest::keyRelease(view, Qt::Key_X);
    EXPECT_EQ(view->toolModifiers(), 0u);

    const GPSPointPtr moved = red->itemPoints()[2];
    const QPointF from = screenPoint({6.99, 46.0});
    sendMouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton,
              Qt::ControlModifier);
    sendMouse(view, QEvent::MouseMove, from + QPointF(30, 40), Qt::LeftButton, Qt::LeftButton,
              Qt::ControlModifier);
    EXPECT_TRUE(view->isToolDragging());
    EXPECT_TRUE(view->renderer().movePreview());
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_FALSE(view->isToolDragging());
    EXPECT_FALSE(view->renderer().movePreview());
    sendMouse(view, QEvent::MouseButtonRelease, from + QPointF(30, 40), Qt::NoButton);
    document.undoManager().closeImplicitGroup();
    EXPECT_EQ(red->itemPoints()[2], moved);
    EXPECT_FALSE(document.undoManager().canUndo());
    EXPECT_EQ(document.undoManager().groupingLevel(), 0);
}

} // namespace
} // namespace wend
