#include "core/model/GPXTime.h"

#include "core/model/Instant.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>

namespace wend {
namespace {

constexpr std::int64_t kSecond = 1'000'000;
// 2011-07-04T16:20:05Z
constexpr std::int64_t kJuly4 = 1'309'796'405 * kSecond;

std::optional<std::int64_t> micros(std::string_view text) {
    auto t = GPXTime::parse(text);
    return t ? std::optional<std::int64_t>(t->microsecondsSince1970()) : std::nullopt;
}

TEST(GPXTime, ParsesTheFourPatternsAndZones) {
    EXPECT_EQ(micros("2011-07-04T16:20:05Z"), kJuly4);
    EXPECT_EQ(micros("2011-07-04T16:20:05.250Z"), kJuly4 + 250'000);
    EXPECT_EQ(micros("2011-07-04T16:20:05"), kJuly4);
    EXPECT_EQ(micros("2011-07-04T16:20:05.250"), kJuly4 + 250'000);

    EXPECT_EQ(micros("2011-07-04T18:20:05+02:00"), kJuly4);
    EXPECT_EQ(micros("2011-07-04T09:20:05-07:00"), kJuly4);
    EXPECT_EQ(micros("2011-07-04T17:35:05+01:15"), kJuly4);
    EXPECT_EQ(micros("2011-07-04T18:20:05+0200"), kJuly4);
    EXPECT_EQ(micros("2011-07-04T18:20:05+02"), kJuly4);
    EXPECT_EQ(micros("2011-07-04T18:20:06+02:00:01"), kJuly4);
    EXPECT_EQ(micros("2011-07-04T16:20:05-00:00"), kJuly4);
    EXPECT_EQ(micros("2011-07-05T00:20:05.5+08:00"), kJuly4 + 500'000);
    EXPECT_EQ(micros("2011-07-04T23:59:59-23:59"), micros("2011-07-05T23:58:59Z"));
    EXPECT_EQ(micros(" \t2011-07-04T16:20:05Z\n "), kJuly4) << "surrounding blanks are ignored";

    // One to nine fraction digits; digits beyond the microsecond are cut, not rounded.
    EXPECT_EQ(micros("2011-07-04T16:20:05.1Z"), kJuly4 + 100'000);
    EXPECT_EQ(micros("2011-07-04T16:20:05.12Z"), kJuly4 + 120'000);
    EXPECT_EQ(micros("2011-07-04T16:20:05.123456Z"), kJuly4 + 123'456);
    EXPECT_EQ(micros("2011-07-04T16:20:05.1234567Z"), kJuly4 + 123'456);
    EXPECT_EQ(micros("2011-07-04T16:20:05.999999999Z"), kJuly4 + 999'999);
    EXPECT_EQ(micros("2011-07-04T16:20:05.000000001"), kJuly4);
}

TEST(GPXTime, RejectsWhatDoesNotFit) {
    for (const char* bad : {
             "",
             "   ",
             "2011-07-04 16:20:05", // a blank instead of T
             "2011-07-04t16:20:05Z",
             "2011-13-04T16:20:05Z", // month 13
             "2011-00-04T16:20:05Z",
             "2011-02-30T16:20:05Z", // Feb 30
             "2011-02-29T16:20:05Z", // not a leap year
             "1900-02-29T00:00:00Z", // not a leap year either
             "2011-04-31T16:20:05Z",
             "2011-07-00T16:20:05Z",
             "2011-07-04T24:00:00Z",
             "2011-07-04T16:60:05Z",
             "2011-07-04T16:20:61Z",
             "2011-07-04T16:20Z",
             "2011-7-04T16:20:05Z",
             "11-07-04T16:20:05Z",
             "2011-07-04T16:20:05.Z",
             "2011-07-04T16:20:05.1234567890Z", // ten fraction digits
             "2011-07-04T16:20:05,250Z",
             "2011-07-04T16:20:05ZZ",
             "2011-07-04T16:20:05 Z",
             "2011-07-04T16:20:05+2:00",
             "2011-07-04T16:20:05+02:",
             "2011-07-04T16:20:05+02:0",
             "2011-07-04T16:20:05+0200:00",
             "2011-07-04T16:20:05+24:00",
             "2011-07-04T16:20:05+02:60",
             "2011-07-04T16:20:05+",
             "2011-07-04T16:20:05 UTC",
             "2011-07-04T16:20:05Zjunk",
             "+2011-07-04T16:20:05Z",
         })
        EXPECT_EQ(GPXTime::parse(bad), std::nullopt) << bad;
    // The text need not be NUL-terminated: only the view is read.
    const std::string longer = "2011-07-04T16:20:05Z0000";
    EXPECT_EQ(micros(std::string_view(longer).substr(0, 20)), kJuly4);
}

TEST(GPXTime, CalendarEdges) {
    // Read and written both ways.
    for (auto [text, seconds] : {std::pair<const char*, std::int64_t>{"1970-01-01T00:00:00Z", 0},
                                 {"2000-02-29T12:00:00Z", 951'825'600},
                                 {"4096-02-29T00:00:00Z", 67'095'216'000},
                                 {"1901-12-13T20:45:52Z", -2'147'483'648LL},
                                 {"1234-05-06T07:08:09Z", -23'215'049'511LL},
                                 {"0000-01-01T00:00:00Z", -62'167'219'200LL},
                                 {"9999-12-31T23:59:59Z", 253'402'300'799LL}}) {
        EXPECT_EQ(micros(text), seconds * kSecond) << text;
        EXPECT_EQ(GPXTime::format(Instant::fromMicroseconds(seconds * kSecond)), text);
    }

    for (std::int64_t days : {-719'468, -1, 0, 59, 11'016, 2'932'896}) {
        std::int64_t y;
        unsigned m, d;
        GPXTime::civilFromDays(days, y, m, d);
        EXPECT_EQ(GPXTime::daysFromCivil(y, m, d), days);
    }
}

TEST(GPXTime, FormatsWithMillisecondsOnlyWhenPresent) {
    auto format = [](std::int64_t us) { return GPXTime::format(Instant::fromMicroseconds(us)); };
    EXPECT_EQ(format(kJuly4), "2011-07-04T16:20:05Z");
    EXPECT_EQ(format(kJuly4 + 250'000), "2011-07-04T16:20:05.250Z");
    EXPECT_EQ(format(kJuly4 + 1'000), "2011-07-04T16:20:05.001Z");
    EXPECT_EQ(format(kJuly4 + 999), "2011-07-04T16:20:05Z");
    EXPECT_EQ(format(kJuly4 + 999'999), "2011-07-04T16:20:05.999Z") << "cut, not rounded up";

    // Before 1970: the calendar fields count toward the past.
    EXPECT_EQ(format(-1'250'000), "1969-12-31T23:59:58.750Z");
    EXPECT_EQ(format(-kSecond), "1969-12-31T23:59:59Z");
    EXPECT_EQ(format(-86'400 * kSecond), "1969-12-31T00:00:00Z");

    // Far outside the four-digit years the text still fits the buffer.
    for (std::int64_t us : {INT64_MIN, INT64_MAX, INT64_MIN + 1}) {
        char buffer[GPXTime::kMaxLength];
        std::size_t n = GPXTime::format(Instant::fromMicroseconds(us), buffer);
        EXPECT_LE(n, GPXTime::kMaxLength);
        EXPECT_EQ(buffer[n - 1], 'Z');
    }

    // Every written time reads back as the same instant, cut to milliseconds.
    for (std::int64_t us :
         {kJuly4 + 123'456, std::int64_t{-1'250'000}, 951'825'600 * kSecond + 7'000,
          std::int64_t{-62'167'219'200} * kSecond}) {
        auto back = GPXTime::parse(format(us));
        ASSERT_TRUE(back) << format(us);
        std::int64_t floorMs = us / 1000 * 1000 - (us % 1000 < 0 ? 1000 : 0);
        EXPECT_EQ(back->microsecondsSince1970(), floorMs) << format(us);
    }
}

TEST(Instant, SecondsConversions) {
    const Instant t = Instant::fromSecondsSince1970(1.25);
    EXPECT_EQ(t.microsecondsSince1970(), 1'250'000);
    EXPECT_EQ(Instant::fromSecondsSince1970(-1.25).microsecondsSince1970(), -1'250'000);
    EXPECT_DOUBLE_EQ(t.secondsSince1970(), 1.25);
    EXPECT_DOUBLE_EQ(t.secondsSince(Instant::fromMicroseconds(250'000)), 1.0);
    EXPECT_DOUBLE_EQ(Instant().secondsSince(t), -1.25);
    EXPECT_EQ(t.addingSeconds(-2.5).microsecondsSince1970(), -1'250'000);
    EXPECT_LT(Instant(), t);
    // Values no calendar holds are clamped instead of overflowing.
    EXPECT_EQ(Instant::fromSecondsSince1970(std::numeric_limits<double>::quiet_NaN())
                  .microsecondsSince1970(),
              0);
    EXPECT_GT(Instant::fromSecondsSince1970(1e300).microsecondsSince1970(), 0);
    EXPECT_LT(Instant::fromSecondsSince1970(-std::numeric_limits<double>::infinity())
                  .microsecondsSince1970(),
              0);
    EXPECT_GT(Instant::fromMicroseconds(INT64_MAX - 5).addingSeconds(1e6).microsecondsSince1970(),
              0);
    const Instant latest = Instant::fromSecondsSince1970(1e300),
                  earliest = Instant::fromSecondsSince1970(-1e300);
    EXPECT_EQ(latest.secondsSince(earliest), 1.8e13);
    EXPECT_LT(
        Instant::fromMicroseconds(INT64_MIN).secondsSince(Instant::fromMicroseconds(INT64_MAX)),
        -1.8e13 + 1);
}

} // namespace
} // namespace wend
