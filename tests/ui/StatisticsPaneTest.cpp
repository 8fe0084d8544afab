#include "ui/app/StatisticsPane.h"

#include "core/document/Clipboard.h"
#include "core/document/CommandTestSupport.h"

#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace wend::test {
namespace {

const StatisticsRow* rowLabelled(const std::vector<StatisticsRow>& rows, std::string_view label) {
    auto it = std::find_if(rows.begin(), rows.end(),
                           [&](const StatisticsRow& row) { return row.label == label; });
    return it == rows.end() ? nullptr : &*it;
}

class StatisticsPaneTest : public CommandTest {
protected:
    StatisticsPaneTest() {
        StatisticsPane::setBackgroundPoints(StatisticsPane::kDefaultBackgroundPoints);
        preferences.setShowStatistics(false);
        pane.setUnitFormatter(UnitFormatter(MeasurementSystem::Metric, "en_US", "UTC"));
        pane.resize(420, 100);
    }

    StatisticsPane pane;
};

// The rows themselves are the core's (StatisticsRows); the pane follows the document and the
// preferences and takes the height of its rows.
TEST_F(StatisticsPaneTest, RowsFollowTheSelectionAndThePreferences) {
    auto first = makeTrack("First", 5);
    load({first, makeWaypoint("Hut")});
    pane.setDocument(&document);
    pane.setExpanded(true);
    EXPECT_EQ(rowLabelled(pane.statistics(), "Number of Points")->value, "6");
    QSignalSpy refreshed(&pane, &StatisticsPane::statisticsChanged);
    selectRanges(first, {IndexRange{1, 2}});
    document.postSelectionChangedNotification();
    EXPECT_EQ(refreshed.count(), 1);
    EXPECT_EQ(rowLabelled(pane.statistics(), "Number of Points")->value, "3");

    document.setSelectedItemIndexes({1});
    EXPECT_EQ(pane.statistics().size(), 3u) << "a waypoint's time, location and elevation";
    EXPECT_EQ(pane.height(), 3 * 19 + 48);
    preferences.setMeasurementSystem(Preferences::kImperialSystem);
    document.setSelectedItemIndexes({1});
    EXPECT_EQ(rowLabelled(pane.statistics(), "Elevation")->value, "1,312 ft");

    InMemoryClipboard clipboard;
    EXPECT_FALSE(pane.copyStatistics());
    pane.setClipboard(&clipboard);
    ASSERT_TRUE(pane.copyStatistics());
    EXPECT_NE(clipboard.text().value_or("").find("Elevation: 1,312 ft\n"), std::string::npos);

    // A closed pane computes nothing until it is copied from or opened again.
    pane.setExpanded(false);
    refreshed.clear();
    document.setSelectedItemIndexes({0});
    EXPECT_EQ(refreshed.count(), 0);
    ASSERT_TRUE(pane.copyStatistics());
    EXPECT_NE(clipboard.text().value_or("").find("Number of Points: 5\n"), std::string::npos);
    document.setSelectedItemIndexes({1});
    pane.setExpanded(true);
    EXPECT_EQ(pane.statistics().size(), 3u);
}

// Figures over many points come from the other thread: meanwhile the pane shows the figures it
// had ("Computing…" without any), and while a drag lasts nothing starts.
TEST_F(StatisticsPaneTest, FiguresComputedOnTheOtherThreadFollowTheDocument) {
    StatisticsPane::setBackgroundPoints(1);
    auto first = makeTrack("First", 5);
    load({first, makeTrack("Second", 4, 9.0)});
    pane.setDocument(&document);
    pane.setExpanded(true);
    ASSERT_EQ(pane.statistics().size(), 1u);
    EXPECT_EQ(pane.statistics()[0].value, StatisticsPane::kComputingText);
    QTRY_VERIFY_WITH_TIMEOUT(rowLabelled(pane.statistics(), "Number of Points"), 5000);
    EXPECT_EQ(rowLabelled(pane.statistics(), "Number of Points")->value, "9");

    pane.setRefreshThrottled(true);
    selectRanges(first, {IndexRange{1, 2}});
    document.postSelectionChangedNotification();
    QCoreApplication::processEvents();
    EXPECT_EQ(rowLabelled(pane.statistics(), "Number of Points")->value, "9") << "the last figures";
    pane.setRefreshThrottled(false);
    QTRY_COMPARE_WITH_TIMEOUT(rowLabelled(pane.statistics(), "Number of Points")->value,
                              std::string("3"), 5000);
}

TEST_F(StatisticsPaneTest, SixteenRowsMakeAPaneOf352PointsAndTheToggleIsRemembered) {
    // Up and down, so that every figure has a row.
    PointList points;
    const double elevations[] = {400, 420, 450, 430, 410, 440};
    for (int i = 0; i < 6; ++i)
        points.push_back(GPSPoint::pointWithLongitude(8.0 + 0.001 * i, 47.0, elevations[i],
                                                      atSeconds(60.0 * i)));
    auto track = GPSItem::item();
    track->setItemPoints(std::move(points));
    load({track});
    preferences.setShowStatistics(true);
    preferences.setIgnoreOutliersWhenCalculatingStatistics(false);

    QSplitter splitter(Qt::Vertical);
    auto* map = new QWidget;
    splitter.addWidget(map);
    auto* statistics = new StatisticsPane;
    splitter.addWidget(statistics);
    statistics->setDocument(&document);
    splitter.resize(480, 600);
    splitter.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splitter));
    EXPECT_EQ(statistics->statistics().size(), 16u);
    splitter.setSizes({100, 500});
    EXPECT_EQ(statistics->height(), 352);
    EXPECT_EQ(map->height() + statistics->height() + splitter.handleWidth(), 600);
    // The toggle is remembered for the next pane; opening a pane in that state stores nothing.
    statistics->toggleStatisticsView();
    EXPECT_FALSE(preferences.showStatistics());
    QCoreApplication::processEvents();
    EXPECT_EQ(map->height() + 40 + splitter.handleWidth(), 600);
    statistics->setExpanded(true);
    EXPECT_FALSE(preferences.showStatistics());
}

} // namespace
} // namespace wend::test
