#include "core/document/CommandTestSupport.h"
#include "core/pointlist/PointListCellText.h"
#include "core/pointlist/PointListEditText.h"
#include "core/pointlist/PointListEditorController.h"
#include "core/pointlist/PointListSelectionMapping.h"

#include <gtest/gtest.h>

namespace wend {
namespace {

using test::atSeconds;
using test::selectRanges;

GPSItemPtr makeTrack(std::size_t n, double lon = 8.0) {
    return test::makeTrack("", n, lon);
}

TEST(PointListRows, RowsRunThroughTheItemsOneAfterTheOther) {
    // A track of 3, one without points, a waypoint, a track of 4.
    PointListRows rows({makeTrack(3), makeTrack(0), makeTrack(1), makeTrack(4)});
    EXPECT_EQ(rows.rowCount(), 8u);
    const std::pair<std::size_t, PointListRows::Location> expected[] = {
        {0, {0, 0}}, {2, {0, 2}}, {3, {2, 0}}, {4, {3, 0}}, {7, {3, 3}}};
    for (const auto& [row, location] : expected) {
        SCOPED_TRACE(row);
        EXPECT_EQ(rows.locate(row), location);
        EXPECT_EQ(rows.pointAtRow(row), rows.items()[location.item]->itemPoints()[location.point]);
    }
    EXPECT_FALSE(rows.locate(8));
    EXPECT_EQ(rows.previousPointInItem(4), nullptr);
    EXPECT_EQ(rows.previousPointInItem(5), rows.pointAtRow(4));

    ItemList items = rows.items();
    EXPECT_TRUE(rows.matches(items));
    items[1]->setItemPoints({GPSPoint::point()});
    EXPECT_FALSE(rows.matches(items));
}

TEST(PointListSelectionMapping, SelectionsAndRowsFollowEachOther) {
    // Two tracks of 3 and 4 points: rows 0-2 and 3-6.
    struct Case {
        const char* name;
        RowBlockList rows;
        std::vector<IndexRange> first, second;
    };
    const Case cases[] = {
        {"rows 4 and 5 are the second track's first points", {{3, 2}}, {}, {{0, 1}}},
        {"a block over the end of a track goes on in the next", {{2, 4}}, {{2, 0}}, {{0, 2}}},
        {"separate rows are separate points", {{0, 1}, {2, 1}, {6, 1}}, {{0, 0}, {2, 0}}, {{3, 0}}},
        {"touching and overlapping blocks join", {{1, 1}, {0, 1}, {1, 2}}, {{0, 2}}, {}},
        {"rows beyond the last select nothing more", {{5, 9}}, {}, {{2, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PointListRows rows({makeTrack(3), makeTrack(4)});
        const auto selections = PointListSelectionMapping::selectionsOfRowBlocks(rows, c.rows);
        ASSERT_EQ(selections.size(), 2u);
        EXPECT_EQ(selections[0].ranges(), c.first);
        EXPECT_EQ(selections[1].ranges(), c.second);
        // And back: the items' selections give the rows again.
        for (std::size_t i = 0; i < 2; ++i)
            rows.items()[i]->setItemSelection(selections[i]);
        RowBlockList inside;
        for (RowBlock block : PointListSelectionMapping::normalizedRowBlocks(c.rows))
            if (block.first < rows.rowCount())
                inside.push_back({block.first, std::min(block.end(), rows.rowCount()) - block.first});
        EXPECT_EQ(PointListSelectionMapping::rowBlocksOfSelections(rows), inside);
    }
}

TEST(PointListCellText, CellsShowThePointInTheUnitsChosen) {
    const auto previous = GPSPoint::pointWithLongitude(-8.25, 47.5, 1000, atSeconds(0));
    // 100 m north and 10 m down, ten seconds later.
    const auto point = GPSPoint::pointWithLongitude(-8.25, 47.5 + 100 / 111195.0, 990,
                                                    atSeconds(10));
    const auto bare = GPSPoint::pointWithLongitude(0, 0, GPSPoint::NaN, std::nullopt);
    struct Case {
        PointListColumn column;
        const GPSPoint* point;
        const GPSPoint* previous;
        MeasurementSystem system;
        std::string text;
    };
    const Case cases[] = {
        {PointListColumn::Timestamp, bare.get(), nullptr, MeasurementSystem::Metric, "None"},
        {PointListColumn::Latitude, previous.get(), nullptr, MeasurementSystem::Metric, "+47.500000"},
        {PointListColumn::Elevation, previous.get(), nullptr, MeasurementSystem::Imperial, "3,281 ft"},
        {PointListColumn::Elevation, bare.get(), nullptr, MeasurementSystem::Metric, "Unknown"},
        {PointListColumn::Speed, point.get(), previous.get(), MeasurementSystem::Metric, "36.18 km/h"},
        {PointListColumn::Speed, point.get(), nullptr, MeasurementSystem::Metric, "Unknown"},
        {PointListColumn::Speed, previous.get(), point.get(), MeasurementSystem::Metric, "Unknown"},
        {PointListColumn::Gradient, point.get(), previous.get(), MeasurementSystem::Metric, "\u221210%"},
        {PointListColumn::Gradient, previous.get(), point.get(), MeasurementSystem::Metric, "+10%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const UnitFormatter formatter(c.system, "en_US", "UTC");
        EXPECT_EQ(PointListCellText::text(c.column, 41, *c.point, c.previous, formatter), c.text);
    }
}

TEST(PointListEditText, TypedTextsAreReadOrRefused) {
    constexpr auto metric = MeasurementSystem::Metric;
    constexpr auto imperial = MeasurementSystem::Imperial;
    struct Case {
        PointListColumn column;
        const char* text;
        MeasurementSystem system;
        const char* separator;
        std::optional<double> value;
    };
    const Case cases[] = {
        {PointListColumn::Latitude, "+47.5", metric, ".", 47.5},
        {PointListColumn::Latitude, "  -12.25 \u00b0 ", metric, ".", -12.25},
        {PointListColumn::Latitude, "\u22125", metric, ".", -5},
        {PointListColumn::Latitude, "abc", metric, ".", std::nullopt},
        {PointListColumn::Latitude, "95", metric, ".", std::nullopt},
        {PointListColumn::Longitude, "180", metric, ".", 180},
        {PointListColumn::Longitude, "-180.5", metric, ".", std::nullopt},
        {PointListColumn::Elevation, "1000 ft", imperial, ".", 1000 / UnitFormatter::kFeetPerMetre},
        {PointListColumn::Elevation, "1000 ft", metric, ".", std::nullopt},
        {PointListColumn::Elevation, "12m", metric, ".", 12},
        {PointListColumn::Elevation, "1,5", metric, ",", 1.5},
        {PointListColumn::Elevation, "1.5", metric, ",", 1.5},
        {PointListColumn::Elevation, "1,234", metric, ".", std::nullopt},
        {PointListColumn::Elevation, ".", metric, ".", std::nullopt},
        {PointListColumn::Speed, "12", metric, ".", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(PointListEditText::valueOfText(c.column, c.text, c.system, c.separator), c.value);
    }
    // Editing starts from the full value without grouping, and reads back the same.
    const auto point = GPSPoint::pointWithLongitude(8.123456789, 47, 1234.4, std::nullopt);
    for (const auto system : {metric, imperial}) {
        const std::string text = PointListEditText::editText(PointListColumn::Elevation, *point, system);
        EXPECT_EQ(text.find(','), std::string::npos) << text;
        EXPECT_NEAR(*PointListEditText::valueOfText(PointListColumn::Elevation, text, system, "."),
                    1234.4, 1e-9);
    }
    EXPECT_EQ(PointListEditText::editText(PointListColumn::Longitude, *point, metric), "8.123456789");
}

// Records what the controller asks of its table.
struct RecordingTable : PointListTable {
    void pointListRowsDidChange(std::size_t rowCount) override { rowCounts.push_back(rowCount); }
    void pointListSelectRows(const RowBlockList& rows, std::optional<std::size_t> scrollTo) override {
        selected.push_back(rows);
        scrolledTo = scrollTo;
    }
    void pointListCenterMap(double lon, double lat) override { center = {lon, lat}; }

    std::vector<std::size_t> rowCounts;
    std::vector<RowBlockList> selected;
    std::optional<std::size_t> scrolledTo;
    std::optional<std::pair<double, double>> center;
};

class PointListEditorControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_document.setGPSDoc(GPSDocument::documentWithItems({makeTrack(3), makeTrack(4, 9.0)}));
        m_document.undoManager().removeAllActions();
        m_controller.setTable(&m_table);
        m_document.trackDataDidChange().connect([this] { m_controller.updatePoints(); });
        m_document.selectionDidChange().connect([this] { m_controller.updatePointSelection(); });
        m_controller.updatePoints();
    }
    const GPSItemPtr& item(std::size_t i) const { return m_document.permanentItems()[i]; }
    void endEvent() { m_document.undoManager().closeImplicitGroup(); }

    InMemoryPreferences m_preferences;
    WendDocument m_document{m_preferences};
    PointListEditorController m_controller{m_document, UnitFormatter(MeasurementSystem::Metric, "en_US", "UTC")};
    RecordingTable m_table;
};

TEST_F(PointListEditorControllerTest, AnEditReplacesTheRowsPointAndUndoPutsItBack) {
    // The second track starts with the first one's last point, as pieces cut apart at a point do.
    PointList shared = item(1)->itemPoints();
    shared.front() = item(0)->itemPoints().back();
    item(1)->setItemPoints(shared);
    m_document.undoManager().removeAllActions();
    const PointList before = item(0)->itemPoints();

    using Result = PointListEditorController::EditResult;
    EXPECT_EQ(m_controller.setCellText(2, PointListColumn::Latitude, "abc"), Result::Refused);
    EXPECT_EQ(m_controller.setCellText(2, PointListColumn::Latitude, m_controller.editText(2, PointListColumn::Latitude)),
              Result::Unchanged);
    EXPECT_FALSE(m_document.undoManager().canUndo());

    EXPECT_EQ(m_controller.setCellText(2, PointListColumn::Latitude, "+47.5"), Result::Changed);
    endEvent();
    EXPECT_EQ(item(0)->itemPoints()[2]->latitude(), 47.5);
    EXPECT_EQ(item(0)->itemPoints()[2]->elevation(), 402);
    EXPECT_EQ(item(1)->itemPoints()[0], before[2]) << "the other item's point stays";
    EXPECT_EQ(m_controller.cellText(2, PointListColumn::Latitude), "+47.500000");
    EXPECT_EQ(m_document.undoManager().undoActionName(), "Edit Point");

    m_preferences.setMeasurementSystem(1);
    EXPECT_EQ(m_controller.setCellText(0, PointListColumn::Elevation, "1000"), Result::Changed);
    endEvent();
    EXPECT_NEAR(item(0)->itemPoints()[0]->elevation(), 304.80, 0.005);

    m_document.undoManager().undo();
    m_document.undoManager().undo();
    EXPECT_EQ(item(0)->itemPoints(), before);
    EXPECT_EQ(m_table.rowCounts.back(), 7u);
}

TEST_F(PointListEditorControllerTest, TimestampsStartNearbyAndChangeToTheMillisecond) {
    PointList points = item(1)->itemPoints();
    points[1] = GPSPoint::pointWithLongitude(9.001, 47, 400, std::nullopt);
    points[2] = GPSPoint::pointWithLongitude(9.002, 47, 400, std::nullopt);
    points[0] = GPSPoint::pointWithLongitude(9.000, 47, 400, std::nullopt);
    item(1)->setItemPoints(points);
    m_document.undoManager().removeAllActions();

    // Row 6 (the second track's last point) has a time; rows 4 and 5 have none before them.
    EXPECT_EQ(m_controller.timestampEditorStart(6), points[3]->time());
    EXPECT_EQ(m_controller.timestampEditorStart(5), std::nullopt);
    EXPECT_EQ(m_controller.timestampEditorStart(1), item(0)->itemPoints()[1]->time());

    using Result = PointListEditorController::EditResult;
    const Instant time = *item(0)->itemPoints()[1]->time();
    EXPECT_EQ(m_controller.setTimestamp(1, Instant::fromMicroseconds(time.microsecondsSince1970() + 999)),
              Result::Unchanged);
    EXPECT_EQ(m_controller.setTimestamp(3, time), Result::Changed);
    endEvent();
    EXPECT_EQ(item(1)->itemPoints()[0]->time(), time);
    EXPECT_EQ(m_document.undoManager().undoActionName(), "Edit Timestamp");
}

TEST_F(PointListEditorControllerTest, RowSelectionAndDocumentSelectionFollowEachOther) {
    // Rows 3 and 4 are the second track's first two points; the map centres on them.
    m_table.selected.clear();
    m_controller.tableViewSelectionDidChange({{3, 2}});
    EXPECT_EQ(item(0)->itemSelection().ranges(), std::vector<IndexRange>{});
    EXPECT_EQ(item(1)->itemSelection().ranges(), (std::vector<IndexRange>{{0, 1}}));
    EXPECT_TRUE(m_table.selected.empty()) << "the table is not told what it did itself";
    ASSERT_TRUE(m_table.center);
    EXPECT_NEAR(m_table.center->first, 9.0005, 1e-9);

    // A selection made elsewhere reaches the table and brings its last stretch into view; the
    // same selection again asks nothing.
    m_document.GPSViewWillChangeSelection();
    selectRanges(item(0), {{0, 0}});
    selectRanges(item(1), {{2, 1}});
    m_document.GPSViewDidChangeSelection();
    ASSERT_EQ(m_table.selected.size(), 1u);
    EXPECT_EQ(m_table.selected.back(), (RowBlockList{{0, 1}, {5, 2}}));
    EXPECT_EQ(m_table.scrolledTo, 5u);
    m_document.postSelectionChangedNotification();
    EXPECT_EQ(m_table.selected.size(), 1u);

    // An edit reloads the rows and shows the selection again, without scrolling.
    m_table.scrolledTo.reset();
    m_controller.setCellText(0, PointListColumn::Elevation, "500");
    EXPECT_EQ(m_table.selected.back(), (RowBlockList{{0, 1}, {5, 2}}));
    EXPECT_FALSE(m_table.scrolledTo);
}

TEST_F(PointListEditorControllerTest, APreviewIsShownButNotEdited) {
    m_document.setTempItems(ItemList{makeTrack(5)});
    EXPECT_EQ(m_controller.rowCount(), 5u);
    EXPECT_EQ(m_controller.cellText(4, PointListColumn::RowNumber), "5");
    EXPECT_FALSE(m_controller.canEditCell(0, PointListColumn::Latitude));
    EXPECT_EQ(m_controller.setCellText(0, PointListColumn::Latitude, "10"),
              PointListEditorController::EditResult::Refused);
    m_document.setTempItems(std::nullopt);
    EXPECT_EQ(m_controller.rowCount(), 7u);
    EXPECT_TRUE(m_controller.canEditCell(0, PointListColumn::Timestamp));
    EXPECT_FALSE(m_controller.canEditCell(0, PointListColumn::Speed));
}

} // namespace
} // namespace wend
