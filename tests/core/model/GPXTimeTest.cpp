#include "core/model/GPXTime.h"

#include "core/model/Instant.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>

namespace wend {
namespace {

constexpr std::int64_t kSecond = 1'000'000;
constexpr std::int64_t kJuly4 = 1'309'796'405 * kSecond; // 2011-07-04T16:20:05Z

std::optional<std::int64_t> micros(std::string_view text) {
    auto t = GPXTime::parse(text);
    return t ? std::optional<std::int64_t>(t->microsecondsSince1970()) : std::nullopt;
}

std::string format(std::int64_t us) {
    return GPXTime::format(Instant::fromMicroseconds(us));
}

TEST(GPXTime, ParsesTheFourPatternsAndZones) {
    const std::pair<const char*, std::int64_t> rows[] = {
        {"2011-07-04T16:20:05Z", 0},
        {"2011-07-04T16:20:05.250Z", 250'000},
        {"2011-07-04T16:20:05", 0},
        {"2011-07-04T16:20:05.250", 250'000},
        {"2011-07-04T18:20:05+02:00", 0},
        {"2011-07-04T09:20:05-07:00", 0},
        {"2011-07-04T17:35:05+01:15", 0},
        {"2011-07-04T18:20:05+0200", 0},
        {"2011-07-04T18:20:05+02", 0},
        {"2011-07-04T18:20:06+02:00:01", 0},
        {"2011-07-04T16:20:05-00:00", 0},
        {"2011-07-05T00:20:05.5+08:00", 500'000},
        {"2011-07-05T16:19:05+23:59", 0},
        {" \t2011-07-04T16:20:05Z\n ", 0},
        // One to nine fraction digits; digits beyond the microsecond are cut, not rounded.
        {"2011-07-04T16:20:05.1234567Z", 123'456},
        {"2011-07-04T16:20:05.999999999Z", 999'999},
    };
    for (const auto& [text, offset] : rows)
        EXPECT_EQ(micros(text), kJuly4 + offset) << text;
    // The text need not be NUL-terminated: only the view is read.
    const std::string longer = "2011-07-04T16:20:05Z0000";
    EXPECT_EQ(micros(std::string_view(longer).substr(0, 20)), kJuly4);
}

TEST(GPXTime, RejectsWhatDoesNotFit) {
    for (const char* bad : {
             "", "   ",
             "2011-07-04 16:20:05", // a blank instead of T
             "2011-07-04t16:20:05Z", "2011-13-04T16:20:05Z", "2011-00-04T16:20:05Z",
             "2011-02-30T16:20:05Z", "2011-02-29T16:20:05Z", "1900-02-29T00:00:00Z",
             "2011-04-31T16:20:05Z", "2011-07-00T16:20:05Z", "2011-07-04T24:00:00Z",
             "2011-07-04T16:60:05Z", "2011-07-04T16:20:61Z", "2011-07-04T16:20Z",
             "2011-7-04T16:20:05Z", "11-07-04T16:20:05Z", "2011-07-04T16:20:05.Z",
             "2011-07-04T16:20:05.1234567890Z", "2011-07-04T16:20:05,250Z",
             "2011-07-04T16:20:05ZZ", "2011-07-04T16:20:05 Z", "2011-07-04T16:20:05+2:00",
             "2011-07-04T16:20:05+02:", "2011-07-04T16:20:05+02:0",
             "2011-07-04T16:20:05+0200:00", "2011-07-04T16:20:05+24:00",
             "2011-07-04T16:20:05+02:60", "2011-07-04T16:20:05+", "2011-07-04T16:20:05 UTC",
             "2011-07-04T16:20:05Zjunk", "+2011-07-04T16:20:05Z",
         })
        EXPECT_EQ(GPXTime::parse(bad), std::nullopt) << bad;
}

TEST(GPXTime, CalendarEdgesAndFormatting) {
    // Read and written both ways.
    for (auto [text, seconds] : {std::pair<const char*, std::int64_t>{"1970-01-01T00:00:00Z", 0},
                                 {"2000-02-29T12:00:00Z", 951'825'600},
                                 {"4096-02-29T00:00:00Z", 67'095'216'000},
                                 {"1901-12-13T20:45:52Z", -2'147'483'648LL},
                                 {"1234-05-06T07:08:09Z", -23'215'049'511LL},
                                 {"0000-01-01T00:00:00Z", -62'167'219'200LL},
                                 {"9999-12-31T23:59:59Z", 253'402'300'799LL}}) {
        EXPECT_EQ(micros(text), seconds * kSecond) << text;
        EXPECT_EQ(format(seconds * kSecond), text);
    }
    // Milliseconds only when present, cut rather than rounded; before 1970 the fields count
    // toward the past.
    const std::pair<std::int64_t, const char*> written[] = {
        {kJuly4 + 250'000, "2011-07-04T16:20:05.250Z"}, {kJuly4 + 1'000, "2011-07-04T16:20:05.001Z"},
        {kJuly4 + 999, "2011-07-04T16:20:05Z"},         {kJuly4 + 999'999, "2011-07-04T16:20:05.999Z"},
        {-1'250'000, "1969-12-31T23:59:58.750Z"},      {-86'400 * kSecond, "1969-12-31T00:00:00Z"},
    };
    for (const auto& [us, text] : written)
        EXPECT_EQ(format(us), text);

    // Far outside the four-digit years the text still fits the buffer.
    for (std::int64_t us : {INT64_MIN, INT64_MAX}) {
        char buffer[GPXTime::kMaxLength];
        std::size_t n = GPXTime::format(Instant::fromMicroseconds(us), buffer);
        EXPECT_LE(n, GPXTime::kMaxLength);
        EXPECT_EQ(buffer[n - 1], 'Z');
    }
}

TEST(Instant, SecondsConversionsClampInsteadOfOverflowing) {
    const Instant t = Instant::fromSecondsSince1970(1.25);
    EXPECT_EQ(t.microsecondsSince1970(), 1'250'000);
    EXPECT_EQ(Instant::fromSecondsSince1970(-1.25).microsecondsSince1970(), -1'250'000);
    EXPECT_DOUBLE_EQ(t.secondsSince(Instant::fromMicroseconds(250'000)), 1.0);
    EXPECT_EQ(t.addingSeconds(-2.5).microsecondsSince1970(), -1'250'000);
    constexpr double kInf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Instant::fromSecondsSince1970(std::nan("")).microsecondsSince1970(), 0);
    EXPECT_LT(Instant::fromSecondsSince1970(-kInf).microsecondsSince1970(), 0);
    EXPECT_GT(Instant::fromMicroseconds(INT64_MAX - 5).addingSeconds(1e6).microsecondsSince1970(), 0);
    const Instant latest = Instant::fromSecondsSince1970(1e300),
                  earliest = Instant::fromSecondsSince1970(-1e300);
    EXPECT_EQ(latest.secondsSince(earliest), 1.8e13);
    EXPECT_LT(Instant::fromMicroseconds(INT64_MIN).secondsSince(Instant::fromMicroseconds(INT64_MAX)),
              -1.8e13 + 1);
}

} // namespace
} // namespace wend
