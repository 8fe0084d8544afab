#include "core/processing/TimestampRewriter.h"

#include "AlgorithmFixtures.h"
#include "core/processing/TimeIntervalEditor.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

using namespace wend;
using namespace wend::testing;

namespace {
constexpr double kStart = 1'700'000'000; // a Tuesday in November 2023

Instant at(double seconds) {
    return Instant::fromSecondsSince1970(seconds);
}

double secondsOf(const GPSPointPtr& p) {
    return p->time()->secondsSince1970();
}

// The points' times as seconds after kStart (to the millisecond), "-" for an untimed point.
std::string secondsAfterStart(const GPSItem& item) {
    std::string text;
    for (const auto& p : item.itemPoints()) {
        char buffer[32] = "-";
        if (p->time())
            std::snprintf(buffer, sizeof buffer, "%.10g",
                          std::round((secondsOf(p) - kStart) * 1000) / 1000);
        text += (text.empty() ? "" : " ") + std::string(buffer);
    }
    return text;
}

// Points `metres` apart along the equator, one minute apart.
GPSItemPtr evenTrack(int count, double metres, double firstSecond = kStart) {
    std::vector<TestPoint> rows;
    for (int i = 0; i < count; ++i)
        rows.emplace_back(metresEast(metres * i), 0.0, firstSecond + 60.0 * i);
    return makeTrack(rows);
}
} // namespace

TEST(TimeIntervalEditor, PartsFollowTheIntervalAndTheirLimits) {
    TimeIntervalEditor editor;
    editor.setInterval(3723.5);
    EXPECT_EQ(editor.text(), "1 hours, 2 minutes, 3 seconds, 500 milliseconds");
    const auto spans = editor.fieldSpans();
    EXPECT_EQ(editor.text().substr(spans[3].offset, spans[3].length), "500");
    editor.selectFieldAtPosition({0, 40, 90, 140}, 95);
    EXPECT_EQ(editor.selectedField(), TimeIntervalEditor::Seconds);
    editor.selectFieldAtPosition({10, 40, 90, 140}, 5);
    EXPECT_EQ(editor.selectedField(), TimeIntervalEditor::NoField);

    editor.setInterval(1.001); // 0.001 is not exact in binary
    EXPECT_EQ(editor.timeComponents()[TimeIntervalEditor::Milliseconds], 1u);
    for (double bad : {-5.0, std::nan("")}) {
        editor.setInterval(bad);
        EXPECT_DOUBLE_EQ(editor.interval(), 0);
    }
    editor.setInterval(1e12);
    EXPECT_EQ(editor.timeComponents(), (std::array<std::uint32_t, 4>{8760, 59, 59, 999}));
    // Typing: digits need a field, and a value beyond the part's limit starts over.
    editor.setSelectedField(TimeIntervalEditor::NoField);
    EXPECT_EQ(editor.handleKey("5"), TimeIntervalEditor::KeyResult::Beep);
    EXPECT_EQ(editor.handleKey("a"), TimeIntervalEditor::KeyResult::NotHandled);
    editor.setSelectedField(TimeIntervalEditor::Minutes);
    editor.updateSelectedFieldWithValue(0);
    editor.handleKey("7");
    editor.handleKey("5");
    EXPECT_EQ(editor.selectedFieldValue(), 5u);
    editor.handleKey("\b");
    editor.handleKey("4");
    EXPECT_EQ(editor.handleKey("5"), TimeIntervalEditor::KeyResult::Handled);
    EXPECT_EQ(editor.selectedFieldValue(), 45u);
    editor.handleKey("99999999999999999999"); // absurdly long: wraps, never overflows
    EXPECT_LE(editor.selectedFieldValue(), 59u);
    // Stepping wraps within the part's range.
    editor.setSelectedField(TimeIntervalEditor::Seconds);
    editor.updateSelectedFieldWithValue(0);
    editor.stepSelectedFieldByOffset(-1);
    EXPECT_EQ(editor.selectedFieldValue(), 59u);
    editor.setSelectedField(TimeIntervalEditor::Hours);
    editor.stepSelectedFieldByOffset(1);
    EXPECT_EQ(editor.selectedFieldValue(), 0u);
    editor.updateSelectedFieldWithValue(2);
    editor.stepSelectedFieldByOffset(-5); // wraps upwards instead of into huge numbers
    EXPECT_EQ(editor.selectedFieldValue(), 8758u);
    editor.focusLost();
    EXPECT_EQ(editor.selectedField(), TimeIntervalEditor::NoField);
}

TEST(TimestampRewriter, OffsetMovesOnlySelectedTimedPoints) {
    auto track = evenTrack(6, 100);
    track->itemPoints()[3]->setTime(std::nullopt);
    selectRanges(*track, {{2, 2}});
    auto other = evenTrack(3, 100);
    const ItemList originals{track, other};
    const auto before = stateOf(originals);
    const ItemList result = TimestampRewriter::offsetTimestamps(originals, -3600);
    ASSERT_EQ(result.size(), 2u);
    EXPECT_EQ(stateOf(originals), before);
    EXPECT_EQ(secondsAfterStart(*result[0]), "0 60 -3480 - -3360 300");
    EXPECT_EQ(result[0]->itemSelection(), track->itemSelection());
    EXPECT_EQ(secondsAfterStart(*result[1]), "0 60 120");
}

TEST(TimestampRewriter, OverwriteBySpeedAndByInterval) {
    auto first = evenTrack(4, 100);
    selectRanges(*first, {{1, 1}}); // partly selected: still wholly re-timed
    auto unselected = evenTrack(2, 100);
    auto second = evenTrack(3, 50, kStart + 99999);
    selectAll(*second);
    const ItemList originals{first, unselected, second};
    const auto before = stateOf(originals);

    // 36 km/h: 10 s for each 100 m step, 5 s for each 50 m step; the second selected track
    // follows on from the first.
    OverwriteTimestampsSettings bySpeed;
    bySpeed.startDate = at(kStart + 1000);
    bySpeed.speed = TimestampRewriter::speedIncrementInMS(36, MeasurementSystem::Metric);
    auto result = TimestampRewriter::overwriteTimestamps(originals, bySpeed);
    ASSERT_TRUE(result) << result.errorMessage;
    EXPECT_EQ(stateOf(originals), before);
    ASSERT_EQ(result.items->size(), 3u);
    EXPECT_EQ(secondsAfterStart(*result.items->at(0)), "1000 1010 1020 1030");
    EXPECT_EQ(secondsAfterStart(*result.items->at(1)), "0 60"); // untouched
    EXPECT_EQ(secondsAfterStart(*result.items->at(2)), "1030 1035 1040");

    OverwriteTimestampsSettings byInterval;
    byInterval.incrementMethod = TimestampIncrementMethod::ByTimeInterval;
    byInterval.startDate = at(kStart);
    byInterval.timeInterval = 1;
    result = TimestampRewriter::overwriteTimestamps(originals, byInterval);
    EXPECT_EQ(secondsAfterStart(*result.items->at(2)), "3 4 5");
    byInterval.everyItemFromStartDate = true;
    result = TimestampRewriter::overwriteTimestamps(originals, byInterval);
    EXPECT_EQ(secondsAfterStart(*result.items->at(2)), "0 1 2");
}

TEST(TimestampRewriter, OverwriteByFinishDateLandsOnItAndRefusesUnusableInput) {
    auto track = evenTrack(5, 250);
    selectAll(*track);
    const ItemList originals{track};

    OverwriteTimestampsSettings byFinish;
    byFinish.incrementMethod = TimestampIncrementMethod::ByFinishDate;
    byFinish.startDate = at(kStart);
    byFinish.finishDate = at(kStart + 7200);
    auto result = TimestampRewriter::overwriteTimestamps(originals, byFinish);
    ASSERT_TRUE(result);
    EXPECT_EQ(secondsAfterStart(*result.items->at(0)), "0 1800 3600 5400 7200");

    byFinish.finishDate = at(kStart);
    result = TimestampRewriter::overwriteTimestamps(originals, byFinish);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.errorMessage, "The finish date must be later than the start date.");
    byFinish.finishDate.reset();
    EXPECT_FALSE(TimestampRewriter::overwriteTimestamps(originals, byFinish));
    // A track without length has no speed to reach the finish date with.
    auto standing = makeTrack({{1, 1, kStart}, {1, 1, kStart + 5}});
    selectAll(*standing);
    byFinish.finishDate = at(kStart + 7200);
    EXPECT_FALSE(TimestampRewriter::overwriteTimestamps({standing}, byFinish).errorMessage.empty());

    OverwriteTimestampsSettings bad;
    for (double speed : {0.0, -3.0}) {
        bad.speed = speed;
        EXPECT_FALSE(TimestampRewriter::overwriteTimestamps(originals, bad));
    }
    bad.incrementMethod = TimestampIncrementMethod::ByTimeInterval;
    bad.timeInterval = -1;
    EXPECT_FALSE(TimestampRewriter::overwriteTimestamps(originals, bad));
}

TEST(TimestampRewriter, OpeningValuesAndSpeedTexts) {
    auto unselected = evenTrack(2, 10, kStart - 5000);
    auto first = evenTrack(3, 10, kStart);
    selectAll(*first);
    auto last = evenTrack(3, 10, kStart + 1000);
    selectRanges(*last, {{0, 1}});
    auto opening = TimestampRewriter::openingValues({unselected, first, last});
    EXPECT_EQ(opening.startDate, at(kStart));
    EXPECT_EQ(opening.finishDate, at(kStart + 1120));
    EXPECT_TRUE(opening.showSelectionsWarning);
    EXPECT_FALSE(TimestampRewriter::openingValues({unselected, first}).showSelectionsWarning);
    EXPECT_FALSE(TimestampRewriter::openingValues({unselected}).startDate);

    EXPECT_DOUBLE_EQ(TimestampRewriter::speedFromString(" 12.5 km/h"), 12.5);
    EXPECT_DOUBLE_EQ(TimestampRewriter::speedFromString("fast"), 0);
}
