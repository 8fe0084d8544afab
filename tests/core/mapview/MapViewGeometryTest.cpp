#include "core/mapview/MapViewGeometry.h"

#include "MapViewTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>
#include <vector>

using namespace wend;
using namespace wend::testing;

namespace {
struct MoveLog {
    std::vector<std::tuple<double, double, int>> moves;
    std::vector<WorldPoint> centersSeen; // the stored centre while each move was announced
    int displays = 0;

    explicit MoveLog(MapViewGeometry& geometry) {
        geometry.willMoveTo().connect([this, &geometry](double lon, double lat, int zoom) {
            moves.emplace_back(lon, lat, zoom);
            centersSeen.push_back(geometry.center());
        });
        geometry.needsDisplay().connect([this] { ++displays; });
    }
};
} // namespace

TEST(MapViewGeometry, ProjectsWithSphericalMercator) {
    EXPECT_EQ(MapViewGeometry::worldSizeForZoom(-3), 256);
    EXPECT_EQ(MapViewGeometry::worldSizeForZoom(24), std::int64_t{256} << 24);

    // The nine-decimal degree factor puts longitude 180 just short of the world's edge.
    const ViewPoint edge = MapViewGeometry::projectToWorldPixels(180, 0, 1024);
    EXPECT_NEAR(edge.x, 511.99998, 1e-5);
    EXPECT_GT(MapViewGeometry::projectToWorldPixels(0, 60, 1024).y,
              MapViewGeometry::projectToWorldPixels(0, 30, 1024).y * 2); // Mercator stretch

    for (const auto& [lon, lat] : std::vector<std::pair<double, double>>{
             {0, 0}, {13.4, 52.5}, {-122.4, 37.8}, {179.9, -85}, {-179.9, 84.9}}) {
        const double w = static_cast<double>(MapViewGeometry::worldSizeForZoom(17));
        const WorldPoint back = MapViewGeometry::unprojectWorldPixels(
            MapViewGeometry::projectToWorldPixels(lon, lat, w), w);
        EXPECT_NEAR(back.lon, lon, 1e-5);
        EXPECT_NEAR(back.lat, lat, 1e-5);
    }
    // Pixels beyond the world's edge come back as longitudes inside -180...180.
    EXPECT_NEAR(MapViewGeometry::unprojectWorldPixels({768, 0}, 1024).lon, -90, 1e-5);
    EXPECT_EQ(MapViewGeometry::wrappedLongitude(190), -170);
    EXPECT_EQ(MapViewGeometry::wrappedLongitude(-540), -180);
    EXPECT_EQ(MapViewGeometry::wrappedLongitude(540), 180);
}

TEST(MapViewGeometry, TransformsBetweenWorldViewAndScreen) {
    MapViewGeometry geometry;
    setUp(geometry, 800, 600, 10, {13.4, 52.5});

    const ViewPoint middle = geometry.transformWorldToView({13.4, 52.5});
    EXPECT_NEAR(std::fabs(middle.x - 400) + std::fabs(middle.y - 300), 0, 1e-9);
    const WorldPoint center = geometry.transformViewToWorld({400, 300});
    EXPECT_NEAR(std::fabs(center.lon - 13.4) + std::fabs(center.lat - 52.5), 0, 1e-5);

    // View y grows northwards, screen y southwards.
    const ViewPoint north = geometry.transformWorldToView({13.4, 52.6});
    EXPECT_GT(north.y, 300);
    EXPECT_LT(geometry.transformWorldToScreen({13.4, 52.6}).y, 300);
    EXPECT_EQ(geometry.screenPointFromViewPoint({10, 20}), (ViewPoint{10, 580}));
    EXPECT_EQ(geometry.viewPointFromScreenPoint({10, 580}), (ViewPoint{10, 20}));

    // One degree of longitude spans W / 360 points at every latitude.
    const double w = static_cast<double>(geometry.currentWorldSize());
    EXPECT_NEAR(geometry.viewDistanceFromPoint({13.4, 52.5}, {14.4, 52.5}), w / 360, 1e-3);
}

TEST(MapViewGeometry, ZoomIsClampedAndAnnouncedOnlyWhenAskedForAnotherLevel) {
    MapViewGeometry geometry;
    MoveLog log(geometry);

    geometry.setZoomLevel(2);
    EXPECT_TRUE(log.moves.empty());
    EXPECT_EQ(log.displays, 0);

    geometry.setZoomLevel(30);
    EXPECT_EQ(geometry.zoomLevel(), 24);
    ASSERT_EQ(log.moves.size(), 1u);
    EXPECT_EQ(log.moves[0], std::make_tuple(0.0, 0.0, 24));

    geometry.setZoomLevel(24);
    EXPECT_EQ(log.moves.size(), 1u);
    // Beyond the limit while at it: stored again, and still announced and redrawn.
    geometry.setZoomLevel(25);
    EXPECT_EQ(geometry.zoomLevel(), 24);
    EXPECT_EQ(log.moves.size(), 2u);
    EXPECT_EQ(log.displays, 2);

    geometry.setZoomLevel(std::numeric_limits<int>::min());
    EXPECT_EQ(geometry.zoomLevel(), 2);
    geometry.zoomOut();
    EXPECT_EQ(geometry.zoomLevel(), 2);
}

TEST(MapViewGeometry, CenterIsWrappedAndAnnouncedBeforeItIsStored) {
    MapViewGeometry geometry;
    MoveLog log(geometry);

    geometry.setCenter(190, 10);
    EXPECT_EQ(geometry.center(), (WorldPoint{-170, 10}));
    ASSERT_EQ(log.moves.size(), 1u);
    EXPECT_EQ(log.moves[0], std::make_tuple(-170.0, 10.0, 2));
    EXPECT_EQ(log.centersSeen[0], (WorldPoint{0, 0}));
    EXPECT_EQ(geometry.centerPositionInPixels(), MapViewGeometry::projectToWorldPixels(-170, 10, 1024));

    geometry.setCenter(-170, 10);
    geometry.setCenter(190, 10); // the same place once wrapped
    EXPECT_EQ(log.moves.size(), 1u);

    geometry.setCenter(1e300, 0); // wraps without stepping through 360s
    EXPECT_LE(std::fabs(geometry.center().lon), 180);
    geometry.setCenter(0, -120);
    EXPECT_NEAR(geometry.center().lat, -85.0511, 1e-4);

    const std::size_t before = log.moves.size();
    const WorldPoint kept = geometry.center();
    geometry.setCenter(std::nan(""), 0);
    geometry.setCenter(0, std::numeric_limits<double>::infinity());
    EXPECT_EQ(geometry.center(), kept);
    EXPECT_EQ(log.moves.size(), before);

    // A new size keeps centre and zoom.
    geometry.setViewSize(640, 480);
    EXPECT_EQ(geometry.center(), kept);
    EXPECT_EQ(log.moves.size(), before);
}

TEST(MapViewGeometry, WheelAndPinchAccumulateIntoSingleZoomSteps) {
    MapViewGeometry geometry;
    setUp(geometry, 400, 300, 5, {10, 20});
    MoveLog log(geometry);
    const ViewPoint middle{200, 150};

    EXPECT_FALSE(geometry.scrollWheel(0.05, false, middle));
    EXPECT_DOUBLE_EQ(geometry.magnificationAccum(), 0.05);
    EXPECT_TRUE(geometry.scrollWheel(0.05, false, middle));
    EXPECT_EQ(geometry.zoomLevel(), 6);
    EXPECT_EQ(geometry.magnificationAccum(), 0);
    EXPECT_NEAR(std::fabs(geometry.center().lon - 10) + std::fabs(geometry.center().lat - 20), 0, 1e-5);

    EXPECT_TRUE(geometry.scrollWheel(3.0, false, middle));
    EXPECT_EQ(geometry.zoomLevel(), 7); // one level however large the step

    // Trackpad scrolling has a phase and does not zoom.
    EXPECT_FALSE(geometry.scrollWheel(5.0, true, middle));
    EXPECT_EQ(geometry.zoomLevel(), 7);
    EXPECT_EQ(geometry.magnificationAccum(), 0);

    EXPECT_FALSE(geometry.scrollWheel(0.06, false, middle));
    EXPECT_FALSE(geometry.scrollWheel(-0.06, false, middle)); // opposite amounts cancel
    EXPECT_NEAR(geometry.magnificationAccum(), 0, 1e-15);

    EXPECT_FALSE(geometry.magnify(0.04, middle));
    EXPECT_FALSE(geometry.magnify(0.04, middle));
    EXPECT_TRUE(geometry.magnify(0.04, middle));
    EXPECT_EQ(geometry.zoomLevel(), 8);
    EXPECT_TRUE(geometry.scrollWheel(-0.2, false, middle));
    EXPECT_EQ(geometry.zoomLevel(), 7);

    // Off-centre: zooming in moves halfway towards the pointer, zooming out away by the whole
    // offset, so the place under the pointer stays (nearly) put.
    const ViewPoint corner{300, 50};
    const WorldPoint under = geometry.transformScreenToWorld(corner);
    for (double delta : {1.0, -1.0}) {
        ASSERT_TRUE(geometry.scrollWheel(delta, false, corner));
        const WorldPoint stillUnder = geometry.transformScreenToWorld(corner);
        EXPECT_NEAR(std::fabs(stillUnder.lon - under.lon) + std::fabs(stillUnder.lat - under.lat), 0, 0.04);
    }

    // At a zoom limit the wheel neither zooms nor drifts the view towards the pointer.
    geometry.setZoomLevel(24);
    const WorldPoint atLimit = geometry.center();
    const std::size_t moves = log.moves.size();
    EXPECT_FALSE(geometry.scrollWheel(1, false, corner));
    EXPECT_EQ(geometry.center(), atLimit);
    EXPECT_EQ(log.moves.size(), moves);
    EXPECT_EQ(geometry.magnificationAccum(), 0);
    geometry.setZoomLevel(2);
    EXPECT_FALSE(geometry.magnify(-0.5, corner));
    EXPECT_EQ(geometry.zoomLevel(), 2);
}

TEST(MapViewGeometry, FittingARegionChoosesOneLevelBelowTheDeepestFit) {
    MapViewGeometry geometry;
    geometry.setViewSize(800, 600);

    geometry.centerViewOnWorldRect({10, 20, 0, 0});
    EXPECT_EQ(geometry.zoomLevel(), 22);
    EXPECT_EQ(geometry.center(), (WorldPoint{10, 20}));

    // 1 by 1 degree: 0.71 pixels at zoom 0, so it fits 600 points at zoom 9 but not 10.
    geometry.centerViewOnWorldRect({10, 20, 1, 1});
    EXPECT_EQ(geometry.zoomLevel(), 8);
    EXPECT_EQ(geometry.center(), (WorldPoint{10.5, 20.5}));

    geometry.centerViewOnWorldRect({-180, -80, 360, 160});
    EXPECT_EQ(geometry.zoomLevel(), 2); // z ends at 0 and is clamped
    EXPECT_EQ(geometry.center(), (WorldPoint{0, 0}));

    MoveLog log(geometry);
    for (const WorldRect& nonsense : {WorldRect{10, 20, -1, 1}, WorldRect{10, 20, 1, -1},
                                      WorldRect{std::nan(""), 20, 1, 1}, WorldRect{10, 20, std::nan(""), 1}})
        geometry.centerViewOnWorldRect(nonsense);
    EXPECT_TRUE(log.moves.empty());
    EXPECT_EQ(geometry.center(), (WorldPoint{0, 0}));

    MapViewGeometry unsized; // before the first layout nothing fits
    unsized.setZoomLevel(9);
    unsized.centerViewOnWorldRect({10, 20, 0, 0});
    EXPECT_EQ(unsized.zoomLevel(), 2);
}

TEST(MapViewGeometry, CentersOnTheMeanOfAllSelectedPoints) {
    MapViewGeometry geometry;
    geometry.setCenter(5, 5);
    auto track = makeItem({{0, 0}, {2, 2}, {4, 4}, {6, 6}});
    auto hidden = makeItem({{10, 20}, {30, 40}});
    hidden->setVisible(false);
    auto empty = makeItem({});
    const ItemList items{track, hidden, empty};

    geometry.centerOnSelection(items);
    EXPECT_EQ(geometry.center(), (WorldPoint{5, 5}));

    select(*track, {{1, 1}});  // (2,2) and (4,4)
    select(*hidden, {{1, 0}}); // (30,40), hidden but selected
    geometry.centerOnSelection(items);
    EXPECT_DOUBLE_EQ(geometry.center().lon, (2 + 4 + 30) / 3.0);
    EXPECT_DOUBLE_EQ(geometry.center().lat, (2 + 4 + 40) / 3.0);
}

TEST(MapViewGeometry, ClosestItemSkipsHiddenItemsAndOptionallyWaypoints) {
    auto farTrack = makeItem({{0, 10}, {10, 10}});
    auto hiddenNear = makeItem({{0, 0.1}, {10, 0.1}});
    hiddenNear->setVisible(false);
    auto waypoint = makeWaypoint(5, 0.2);
    auto nearTrack = makeItem({{0, 1}, {10, 1}});
    auto twin = makeItem({{0, -1}, {10, -1}}); // as near as nearTrack, but later
    auto lonePoint = makeItem({{5, 0.5}});
    auto empty = makeItem({});
    const WorldPoint target{5, 0};

    EXPECT_EQ(MapViewGeometry::closestItemToPoint({empty, farTrack, hiddenNear, nearTrack, twin},
                                                  target, false),
              nearTrack);
    EXPECT_EQ(MapViewGeometry::closestItemToPoint({twin, nearTrack}, target, false), twin);
    EXPECT_EQ(MapViewGeometry::closestItemToPoint({nearTrack, waypoint}, target, false), nearTrack);
    EXPECT_EQ(MapViewGeometry::closestItemToPoint({nearTrack, waypoint}, target, true), waypoint);
    // A one-point track is measured to its point.
    EXPECT_EQ(MapViewGeometry::closestItemToPoint({nearTrack, lonePoint}, target, false),
              lonePoint);
    EXPECT_EQ(MapViewGeometry::closestItemToPoint({empty, hiddenNear}, target, true), nullptr);
}

TEST(MapViewGeometry, PanDragsMoveLinearlyAndDoubleClickZoomsAtThePointer) {
    MapViewGeometry geometry;
    setUp(geometry, 800, 600, 2, {0, 0});

    geometry.dragPan(50, 50); // no drag in progress
    EXPECT_EQ(geometry.center(), (WorldPoint{0, 0}));

    geometry.beginPan();
    geometry.dragPan(10, 0); // pointer right: the map follows, the centre goes west
    EXPECT_DOUBLE_EQ(geometry.center().lon, -10 * 360.0 / 1024);
    geometry.dragPan(0, 20); // pointer down (screen y grows down): the centre goes north
    EXPECT_DOUBLE_EQ(geometry.center().lat, 20 * 360.0 / 1024);
    EXPECT_DOUBLE_EQ(geometry.center().lon, -10 * 360.0 / 1024);
    geometry.endPan();

    const WorldPoint clicked = geometry.transformScreenToWorld({600, 100});
    geometry.centerAndZoomInAt({600, 100});
    EXPECT_EQ(geometry.center(), clicked);
    EXPECT_EQ(geometry.zoomLevel(), 3);
}
