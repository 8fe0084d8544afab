#include "core/mapview/MapViewRenderer.h"
#include "core/mapview/MovePreview.h"

#include "MapViewTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace wend;
using namespace wend::testing;

namespace {
const UnitFormatter& formatter() {
    static const UnitFormatter metric(MeasurementSystem::Metric, "en_US", "UTC");
    return metric;
}

void expectXs(std::span<const ViewPoint> points, const std::vector<double>& expected) {
    ASSERT_EQ(points.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(points[i].x, expected[i], 1e-3) << "point " << i;
}

std::vector<const PathStroke*> strokesOf(const MapFrame& frame, const ViewPath& path) {
    std::vector<const PathStroke*> result;
    for (const PathStroke& stroke : frame.strokes)
        if (stroke.path == &path)
            result.push_back(&stroke);
    return result;
}

// Whether some copy of the path's first point (one per copy of the world) is drawn at `at`.
bool firstPointDrawnAt(const MapFrame& frame, const ViewPath& path, ViewPoint at) {
    const ViewPoint first = path.polyline(0)[0];
    for (const PathStroke* stroke : strokesOf(frame, path))
        if (std::fabs(first.x + stroke->offset.x - at.x) + std::fabs(first.y + stroke->offset.y - at.y) < 0.01)
            return true;
    return false;
}

// Points every `step` view points along the equator, starting at longitude 0.
GPSItemPtr equatorTrack(const std::vector<double>& pixels, int zoom) {
    std::vector<std::pair<double, double>> lonLats;
    for (double px : pixels)
        lonLats.emplace_back(lonForPixels(px, zoom), 0);
    return makeItem(lonLats);
}

void expectColor(const RGBAColor& c, const RGBAColor& e) {
    EXPECT_NEAR(std::fabs(c.red - e.red) + std::fabs(c.green - e.green) + std::fabs(c.blue - e.blue) +
                    std::fabs(c.alpha - e.alpha), 0, 1e-9)
        << c.red << " " << c.green << " " << c.blue << " " << c.alpha;
}

void expectSamePaths(const GPSViewDrawingCache& built, const GPSViewDrawingCache& expected) {
    for (const auto& [a, b] : {std::pair{&built.completePath(), &expected.completePath()},
                               std::pair{&built.selectedPath(), &expected.selectedPath()},
                               std::pair{&built.arrowPath(), &expected.arrowPath()}}) {
        ASSERT_EQ(a->polylineCount(), b->polylineCount());
        ASSERT_GT(a->polylineCount(), 0u);
        for (std::size_t i = 0; i < a->polylineCount(); ++i) {
            ASSERT_EQ(a->polyline(i).size(), b->polyline(i).size());
            for (std::size_t k = 0; k < a->polyline(i).size(); ++k) {
                EXPECT_NEAR(a->polyline(i)[k].x, b->polyline(i)[k].x, 1e-6);
                EXPECT_NEAR(a->polyline(i)[k].y, b->polyline(i)[k].y, 1e-6);
            }
        }
        EXPECT_EQ(a->dots(), b->dots());
    }
}

class MapViewRendererTest : public ::testing::Test {
protected:
    void SetUp() override { setUp(geometry, 800, 600, 10); }
    MapViewGeometry geometry;
    MapViewRenderer renderer;
};
} // namespace

TEST_F(MapViewRendererTest, PathsSkipPointsCloserThanThreeAndAHalfButKeepStretchEnds) {
    auto track = equatorTrack({0, 1, 2, 3, 4, 5, 6, 7}, 10);
    select(*track, {{0, 2}, {4, 0}, {6, 1}});
    renderer.recacheTrackDrawingData({track}, geometry);
    ASSERT_EQ(renderer.cachedDrawingData().size(), 1u);
    const GPSViewDrawingCache& cache = *renderer.cachedDrawingData()[0];

    // 401...403 lie within 3.5 of 400, 404 does not; 405 and 406 lie within 3.5 of 404, and
    // 407 ends the stretch.
    ASSERT_EQ(cache.completePath().polylineCount(), 1u);
    expectXs(cache.completePath().polyline(0), {400, 404, 407});
    EXPECT_TRUE(cache.completePath().dots().empty());

    const ViewPath& selected = cache.selectedPath();
    ASSERT_EQ(selected.polylineCount(), 2u);
    expectXs(selected.polyline(0), {400, 402});
    expectXs(selected.polyline(1), {406, 407});
    ASSERT_EQ(selected.dots().size(), 1u); // a stretch of one point is a dot
    EXPECT_NEAR(selected.dots()[0].x, 404, 1e-3);
    EXPECT_TRUE(cache.arrowPath().isEmpty()); // never 30 points from the start
}

TEST_F(MapViewRendererTest, SinglePointsDrawAsDotsOfTheLineWidths) {
    auto lone = makeItem({{0, 0}});
    MapFrame frame = renderer.prepareFrame({lone}, geometry, formatter());
    const GPSViewDrawingCache& cache = *renderer.cachedDrawingData()[0];
    ASSERT_EQ(cache.completePath().dots().size(), 1u);
    EXPECT_EQ(cache.completePath().polylineCount(), 0u);
    EXPECT_TRUE(cache.arrowPath().isEmpty());
    ASSERT_EQ(frame.strokes.size(), 2u);
    EXPECT_EQ(frame.strokes[0].width, 7);
    EXPECT_EQ(frame.strokes[1].width, 4);

    auto track = equatorTrack({0, 10, 20}, 10);
    select(*track, {{1, 0}});
    frame = renderer.prepareFrame({track}, geometry, formatter());
    const ViewPath& selected = renderer.cachedDrawingData()[0]->selectedPath();
    ASSERT_EQ(selected.dots().size(), 1u);
    EXPECT_NEAR(selected.dots()[0].x, 410, 1e-3);
    const auto highlight = strokesOf(frame, selected);
    ASSERT_EQ(highlight.size(), 2u);
    EXPECT_EQ(highlight[0]->width, 10.5);
    EXPECT_EQ(highlight[1]->width, 6);
}

TEST_F(MapViewRendererTest, ArrowsMarkEveryThirtyPointsOfProgress) {
    auto track = equatorTrack({0, 20, 40, 50, 75, 80}, 10);
    renderer.recacheTrackDrawingData({track}, geometry);
    const ViewPath& arrows = renderer.cachedDrawingData()[0]->arrowPath();
    // Arrows at 40 (40 from the start) and 75 (35 from 40); 80 is only 5 beyond.
    ASSERT_EQ(arrows.polylineCount(), 6u);
    const ViewPoint tip = arrows.polyline(0)[0];
    EXPECT_NEAR(tip.x, 440, 1e-3);
    EXPECT_NEAR(arrows.polyline(3)[0].x, 475, 1e-3);
    // Pointing east: two barbs of length 5 at 150 degrees either side, a shaft of 10.
    const ViewPoint barbA = arrows.polyline(0)[1], barbB = arrows.polyline(1)[1];
    const ViewPoint tail = arrows.polyline(2)[1];
    EXPECT_NEAR(barbA.x - tip.x + barbB.x - tip.x, -2 * 4.330127, 1e-5);
    EXPECT_NEAR(barbA.y - tip.y, -(barbB.y - tip.y), 1e-12);
    EXPECT_NEAR(std::fabs(barbA.y - tip.y), 2.5, 1e-5);
    EXPECT_NEAR(std::fabs(tail.x - tip.x + 10) + std::fabs(tail.y - tip.y), 0, 1e-9);
}

TEST_F(MapViewRendererTest, OpacityAndColoursFollowVisibilityAndSelection) {
    auto track = equatorTrack({0, 40, 80}, 10);
    track->setItemColor(ItemColor{0.6, 0.7, 0.8, 0.8});

    MapFrame frame = renderer.prepareFrame({track}, geometry, formatter());
    const GPSViewDrawingCache* cache = renderer.cachedDrawingData()[0].get();
    auto base = strokesOf(frame, cache->completePath());
    ASSERT_EQ(base.size(), 2u);
    expectColor(base[0]->color, {0.12, 0.232, 0.4, 0.8}); // shadowed by half
    expectColor(base[1]->color, {0.24, 0.464, 0.8, 0.8});
    auto arrows = strokesOf(frame, cache->arrowPath());
    ASSERT_EQ(arrows.size(), 1u);
    expectColor(arrows[0]->color, {0.048, 0.0928, 0.16, 0.8});
    EXPECT_EQ(arrows[0]->width, 1.25);
    // Every base line comes before any arrow or highlight.
    EXPECT_LT(base[1], arrows[0]);

    track->setVisible(false);
    frame = renderer.prepareFrame({track}, geometry, formatter());
    EXPECT_TRUE(frame.strokes.empty());

    select(*track, {{1, 1}});
    frame = renderer.prepareFrame({track}, geometry, formatter());
    cache = renderer.cachedDrawingData()[0].get();
    ASSERT_EQ(frame.strokes.size(), 5u);
    for (const PathStroke& stroke : frame.strokes)
        EXPECT_DOUBLE_EQ(stroke.color.alpha, 0.35);
    auto highlight = strokesOf(frame, cache->selectedPath());
    ASSERT_EQ(highlight.size(), 2u);
    expectColor(highlight[0]->color, {0.0525, 0.1715, 0.35, 0.35});
    expectColor(highlight[1]->color, {0.15, 0.49, 1, 0.35}); // more saturated and brighter
}

TEST_F(MapViewRendererTest, RebuildsOnlyWhenTheCachesNoLongerMatch) {
    setUp(geometry, 800, 600, 12, {7, 45});
    auto track = makeItem({{7, 45}, {7.01, 45.01}, {7.02, 45}});
    auto other = makeItem({{7.005, 45.005}, {7.006, 45.002}});
    ItemList items{track, other};
    EXPECT_TRUE(renderer.needsRecache(items, geometry));
    renderer.prepareFrame(items, geometry, formatter());
    EXPECT_FALSE(renderer.needsRecache(items, geometry));

    // A move of the centre shifts the cached paths to where the points are now.
    const GPSViewDrawingCache* cache = renderer.cachedDrawingData()[0].get();
    geometry.setCenter(7.003, 44.998);
    EXPECT_FALSE(renderer.needsRecache(items, geometry));
    MapFrame frame = renderer.prepareFrame(items, geometry, formatter());
    EXPECT_EQ(renderer.cachedDrawingData()[0].get(), cache);
    EXPECT_EQ(cache->cachedCenter(), (WorldPoint{7, 45}));
    EXPECT_TRUE(firstPointDrawnAt(frame, cache->completePath(), geometry.transformWorldToScreen({7, 45})));

    auto expectRebuild = [&](const char* what) {
        EXPECT_TRUE(renderer.needsRecache(items, geometry)) << what;
        renderer.prepareFrame(items, geometry, formatter());
        EXPECT_FALSE(renderer.needsRecache(items, geometry)) << what;
    };
    geometry.zoomIn();
    expectRebuild("zoom");
    geometry.setViewSize(1024, 768);
    expectRebuild("size");
    select(*other, {{0, 0}});
    expectRebuild("selection");
    renderer.invalidate();
    expectRebuild("notification");
    items = {other, track};
    expectRebuild("order");
    items.push_back(makeItem({}));
    expectRebuild("new item");
    items.back()->setItemPoints({GPSPoint::pointWithLongitude(7, 45, 0, std::nullopt)});
    expectRebuild("points");
    items.back()->setItemType(GPSItemType::Waypoint);
    expectRebuild("type");
    EXPECT_EQ(renderer.cachedDrawingData().size(), 2u); // waypoints and empty items get none
    const WorldPoint far = geometry.transformScreenToWorld({512 + 1100, 384});
    geometry.setCenter(far);
    expectRebuild("pan beyond the margin");
    geometry.setCenter(geometry.transformScreenToWorld({512 + 300, 384 - 300}));
    EXPECT_FALSE(renderer.needsRecache(items, geometry));
}

TEST_F(MapViewRendererTest, LeavesOutWhatLiesFarOffScreen) {
    // On screen, far east, further north, back on screen; then far west.
    auto track =
        makeItem({{0, 0}, {0.1, 0}, {50, 0}, {50, 1}, {0.1, 0.05}, {0, 0.05}, {-170, 0.05}});
    renderer.recacheTrackDrawingData({track}, geometry);
    const ViewPath& path = renderer.cachedDrawingData()[0]->completePath();
    const ViewRect region = renderer.cullRegion().rect();
    // The stretch (50,0)-(50,1) lies wholly outside and breaks the line in two.
    ASSERT_EQ(path.polylineCount(), 2u);
    // Lines leaving the region end at its edge.
    EXPECT_GE(path.bounds().x, region.x - 1e-6);
    for (std::size_t i = 0; i < 2; ++i)
        for (const ViewPoint& p : path.polyline(i))
            EXPECT_FALSE(std::fabs(p.x - geometry.transformWorldToScreen({50, 1}).x) < 1 &&
                         std::fabs(p.y - geometry.transformWorldToScreen({50, 1}).y) < 1)
                << "kept the point of an invisible stretch";

    auto away = makeItem({{60, 40}, {61, 41}, {62, 40}});
    auto awayWaypoint = makeWaypoint(60, 40);
    MapFrame frame = renderer.prepareFrame({away, awayWaypoint}, geometry, formatter());
    EXPECT_TRUE(renderer.cachedDrawingData()[0]->completePath().isEmpty());
    EXPECT_TRUE(renderer.cachedDrawingData()[0]->arrowPath().isEmpty());
    EXPECT_TRUE(frame.strokes.empty());
    EXPECT_TRUE(frame.waypoints.empty());
}

TEST(MapViewRenderer, DrawsAcrossTheAntimeridianFromEitherSide) {
    for (const double side : {1.0, -1.0}) {
        MapViewGeometry geometry;
        setUp(geometry, 800, 600, 10, {179.9 * side, 0});
        auto track = makeItem({{-179.95 * side, 0}, {-179.9 * side, 0.01}});
        auto waypoint = makeWaypoint(-179.95 * side, 0);
        MapViewRenderer renderer;
        const MapFrame frame = renderer.prepareFrame({track, waypoint}, geometry, formatter());
        // 0.15 degrees past the antimeridian: about 109 points beside the middle.
        const double expectedX = 400 + side * 0.15 * 262144 / 360;
        EXPECT_TRUE(firstPointDrawnAt(frame, renderer.cachedDrawingData()[0]->completePath(), {expectedX, 300}))
            << "side " << side;
        ASSERT_EQ(frame.waypoints.size(), 1u) << "side " << side;
        EXPECT_NEAR(frame.waypoints[0].position.x, expectedX, 0.01);
    }
}

TEST_F(MapViewRendererTest, WaypointsAndTheirLabelsDependOnSpacing) {
    auto a = makeWaypoint(0, 0, "A");
    auto b = makeWaypoint(lonForPixels(20, 10), 0, "B");
    auto track = equatorTrack({0, 100}, 10);
    const ViewRect frameRect{0, 0, 800, 600};

    EXPECT_NEAR(
        MapViewRenderer::calcAvgDistBetweenWaypointsInRect({a, b, track}, geometry, frameRect), 20,
        1e-3);
    MapFrame frame = renderer.prepareFrame({track, a, b}, geometry, formatter());
    EXPECT_EQ(frame.waypoints.size(), 2u);
    EXPECT_TRUE(frame.labels.empty());

    frame = renderer.prepareFrame({a}, geometry, formatter());
    ASSERT_EQ(frame.labels.size(), 1u);
    EXPECT_EQ(frame.labels[0].text, "A");
    EXPECT_EQ(frame.labels[0].origin, (ViewPoint{410, 300}));
    ASSERT_EQ(frame.waypoints.size(), 1u);
    const WaypointMarker& marker = frame.waypoints[0];
    EXPECT_EQ(std::pair(marker.outlineWidth, marker.fillWidth), std::pair(11.0, 8.0));
    expectColor(marker.outlineColor, {0, 0.44, 0.44, 1});

    select(*a, {{0, 0}});
    frame = renderer.prepareFrame({a}, geometry, formatter());
    EXPECT_EQ(std::pair(frame.waypoints[0].outlineWidth, frame.waypoints[0].fillWidth), std::pair(13.0, 10.0));
    expectColor(frame.waypoints[0].fillColor, {0, 1, 1, 1});

    // A hidden waypoint shows nothing, not even its name, and does not crowd the others.
    b->setVisible(false);
    EXPECT_EQ(MapViewRenderer::calcAvgDistBetweenWaypointsInRect({a, b}, geometry, frameRect), 1e6);
    frame = renderer.prepareFrame({a, b}, geometry, formatter());
    EXPECT_EQ(frame.waypoints.size(), 1u);
    ASSERT_EQ(frame.labels.size(), 1u);
    EXPECT_EQ(frame.labels[0].text, "A");

    // Waypoints outside the rectangle have no neighbours there.
    auto c = makeWaypoint(lonForPixels(30, 10), 0, "C");
    auto outside = makeWaypoint(lonForPixels(-500, 10), 0, "Out");
    EXPECT_NEAR(
        MapViewRenderer::calcAvgDistBetweenWaypointsInRect({a, c, outside}, geometry, frameRect),
        30, 1e-3);
}

TEST_F(MapViewRendererTest, ReprojectsPointsOnlyWhenTheItemHoldsOtherPointObjects) {
    setUp(geometry, 800, 600, 12, {7, 45});
    auto track = makeItem({{7, 45}, {7.01, 45.01}, {7.02, 45}});
    ProjectedPointCache cache;
    std::vector<ViewPoint> positions;
    cache.screenPositions(*track, geometry, positions);

    // A moved point is a new object in a new list of the same length.
    PointList moved = track->itemPoints();
    moved[1] = GPSPoint::pointWithLongitude(7.015, 44.99, GPSPoint::NaN, std::nullopt);
    track->setItemPoints(moved);
    geometry.zoomIn();
    cache.screenPositions(*track, geometry, positions);
    EXPECT_EQ(positions[1], geometry.transformWorldToScreen({7.015, 44.99}));

    renderer.prepareFrame({track}, geometry, formatter());
    moved = track->itemPoints();
    moved[2] = GPSPoint::pointWithLongitude(7.03, 45.02, GPSPoint::NaN, std::nullopt);
    track->setItemPoints(moved);
    renderer.invalidate(); // the document announces the new points
    renderer.prepareFrame({track}, geometry, formatter());
    const auto line = renderer.cachedDrawingData()[0]->completePath().polyline(0);
    EXPECT_EQ(line.back(), geometry.transformWorldToScreen({7.03, 45.02}));
}

// A change of selection alone, a move preview and its end draw what a full rebuild would.
TEST_F(MapViewRendererTest, PartialUpdatesAndMovePreviewsMatchAFullRebuild) {
    auto track = equatorTrack({0, 10, 20, 30, 40, 50, 60, 70}, 10);
    renderer.prepareFrame({track}, geometry, formatter());
    const GPSViewDrawingCache* cache = renderer.cachedDrawingData()[0].get();
    geometry.setCenter(lonForPixels(5, 10), 0); // a small pan: the caches stay
    select(*track, {{2, 3}});
    renderer.prepareFrame({track}, geometry, formatter());
    EXPECT_EQ(renderer.cachedDrawingData()[0].get(), cache);
    MapViewRenderer fresh;
    fresh.recacheTrackDrawingData({track}, geometry);
    ASSERT_EQ(cache->selectedPath().polylineCount(), 1u);
    expectXs(cache->selectedPath().polyline(0), {420, 430, 440, 450}); // as built, at the old centre
    expectXs(fresh.cachedDrawingData()[0]->selectedPath().polyline(0), {415, 425, 435, 445});

    // Points 3 and 4 shown 20 points north: the rest is drawn in place, the moved stretch
    // shifted, and the two joining segments placed anew.
    MovePreview preview;
    preview.items.push_back({track, {{3, 1}}});
    preview.latOffset = lonForPixels(20, 10);
    renderer.setMovePreview(preview);
    MapFrame frame = renderer.prepareFrame({track}, geometry, formatter());
    const GPSViewDrawingCache& moving = *renderer.cachedDrawingData()[0];
    // Rebuilt for the preview, still at the centre the caches were built for.
    expectXs(moving.movedPath().polyline(0), {430, 440});
    ASSERT_EQ(moving.completePath().polylineCount(), 2u);
    expectXs(moving.completePath().polyline(0), {400, 410, 420});
    const auto moved = strokesOf(frame, moving.movedPath());
    ASSERT_FALSE(moved.empty());
    EXPECT_NEAR(moved[0]->offset.y, -20, 0.1);
    std::size_t joins = 0;
    for (const PathStroke& stroke : frame.strokes)
        if (stroke.width == 7 && stroke.path != &moving.completePath() && stroke.path != &moving.movedPath())
            joins += stroke.path->polylineCount();
    EXPECT_EQ(joins, 2u);

    renderer.setMovePreview(std::nullopt);
    renderer.prepareFrame({track}, geometry, formatter());
    expectXs(renderer.cachedDrawingData()[0]->completePath().polyline(0),
             {400, 410, 420, 430, 440, 450, 460, 470});
}

// A rebuild walks only the chunks of points that may meet its region. What it draws must be
// what a walk over every point draws: a segment joining two chunks far off screen still
// crosses the view, stretches may begin or end inside a chunk passed over, points without a
// position are passed over, and an edit brings the chunks' bounds up to date.
TEST_F(MapViewRendererTest, ChunksPassedOverDrawWhatAWalkOverEveryPointDraws) {
    std::vector<std::pair<double, double>> lonLats;
    for (int i = 0; i < 256; ++i) // far north-east, then far south-west: the join crosses the view
        lonLats.emplace_back(40 + 0.001 * i, 10);
    for (int i = 0; i < 256; ++i)
        lonLats.emplace_back(-40 - 0.001 * i, -10);
    for (int i = 0; i < 300; ++i) // a zigzag in view, thinned
        lonLats.emplace_back(-0.5 + 0.004 * i, 0.1 * std::sin(i));
    for (int i = 0; i < 40; ++i) // no position, then far away again
        lonLats.emplace_back(0.1, i < 20 ? 90 : 30);
    auto track = makeItem(lonLats);
    select(*track, {{100, 1}, {200, 450}, {700, 110}});

    auto expectSameAsFullWalk = [&](const char* step) {
        SCOPED_TRACE(step);
        renderer.prepareFrame({track}, geometry, formatter());
        std::vector<ViewPoint> positions;
        ProjectedPointCache().screenPositions(*track, geometry, positions);
        const GPSViewDrawingCache full(track, geometry, renderer.cullRegion(), positions);
        const GPSViewDrawingCache& built = *renderer.cachedDrawingData()[0];
        EXPECT_GT(built.selectedPath().polylineCount(), 1u);
        expectSamePaths(built, full);
    };
    expectSameAsFullWalk("built");
    PointList edited = track->itemPoints();
    edited[600] = GPSPoint::pointWithLongitude(0.3, 0.4, GPSPoint::NaN, std::nullopt);
    edited.erase(edited.begin() + 300, edited.begin() + 310);
    track->setItemPoints(edited);
    select(*track, {{250, 500}});
    renderer.invalidate();
    expectSameAsFullWalk("edited");
}

// While the view moves away from the caches' centre, the caches for a centre further along
// are built on another thread. Taken up, they draw what a rebuild there draws; a change of
// anything but the centre meanwhile drops them.
TEST_F(MapViewRendererTest, CachesBuiltAheadOfAPanDrawWhatARebuildThereDraws) {
    std::vector<double> pixels;
    for (int i = 0; i < 600; ++i)
        pixels.push_back(10.0 * i + (i % 2) * 2);
    auto track = equatorTrack(pixels, 10);
    select(*track, {{50, 100}});
    const ItemList items{track};
    auto panTo = [&](double x) {
        geometry.setCenter(lonForPixels(x, 10), 0);
        renderer.prepareFrame(items, geometry, formatter());
    };
    // East by 100 points a frame: past a third of the 800-point margin a build starts for a
    // centre half the margin further on.
    for (double x : {0, 100, 200, 300})
        panTo(x);
    renderer.finishBuildAhead();
    EXPECT_TRUE(renderer.needsRecache(items, geometry));
    panTo(350);
    const GPSViewDrawingCache& taken = *renderer.cachedDrawingData()[0];
    EXPECT_NEAR(taken.cachedCenter().lon, lonForPixels(700, 10), 1e-6);
    MapViewGeometry there;
    setUp(there, 800, 600, 10, taken.cachedCenter());
    MapViewRenderer rebuilt;
    rebuilt.prepareFrame(items, there, formatter());
    expectSamePaths(taken, *rebuilt.cachedDrawingData()[0]);

    for (double x : {500, 700, 900, 1000})
        panTo(x);
    renderer.finishBuildAhead();
    select(*track, {{150, 10}});
    panTo(1050);
    EXPECT_NEAR(renderer.cachedDrawingData()[0]->cachedCenter().lon, lonForPixels(700, 10), 1e-6);
    setUp(there, 800, 600, 10, renderer.cachedDrawingData()[0]->cachedCenter());
    rebuilt.prepareFrame(items, there, formatter());
    expectSamePaths(*renderer.cachedDrawingData()[0], *rebuilt.cachedDrawingData()[0]);
}
