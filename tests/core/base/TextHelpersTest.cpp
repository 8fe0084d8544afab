#include "core/base/TextHelpers.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace wend;

TEST(TextHelpers, TimeIntervalCutsEachPartTowardZero) {
    EXPECT_EQ(stringWithTimeInterval(3725.9), "1h 2m 5s");
    EXPECT_EQ(stringWithTimeInterval(7199.999), "1h 59m 59s");
    EXPECT_EQ(stringWithTimeInterval(90061), "25h 1m 1s");
    EXPECT_EQ(stringWithTimeInterval(-3725.9), "-1h 2m 5s");
    EXPECT_EQ(stringWithTimeInterval(-0.5), "0h 0m 0s");
    EXPECT_EQ(stringWithTimeInterval(1e19), "2777777777777777h 46m 40s");
    EXPECT_EQ(stringWithTimeInterval(1e20), "Unknown");
    EXPECT_EQ(stringWithTimeInterval(std::numeric_limits<double>::quiet_NaN()), "Unknown");
    EXPECT_EQ(stringWithTimeInterval(INFINITY), "Unknown");
}

TEST(TextHelpers, FileSizeUsesTheLargestUnitReached) {
    EXPECT_EQ(stringWithFileSize(1023), "1023.00 B");
    EXPECT_EQ(stringWithFileSize(1024), "1.00 KB");
    EXPECT_EQ(stringWithFileSize(1048575), "1024.00 KB");
    EXPECT_EQ(stringWithFileSize(std::uint64_t{5} << 29), "2.50 GB");
    EXPECT_EQ(stringWithFileSize(std::numeric_limits<std::uint64_t>::max()), "16384.00 PB");
}

TEST(TextHelpers, SeparatingCapitalizedWords) {
    EXPECT_EQ(stringBySeparatingCapitalizedWords("CamelCaseText"), "Camel Case Text");
    EXPECT_EQ(stringBySeparatingCapitalizedWords("ABC"), "A B C");
    EXPECT_EQ(stringBySeparatingCapitalizedWords(""), "");
    // Multi-byte characters, upper-case ones included, pass unchanged and never split.
    EXPECT_EQ(stringBySeparatingCapitalizedWords("ÄpfelUndBirnen"), "Äpfel Und Birnen");
    EXPECT_EQ(stringBySeparatingCapitalizedWords("grüßÄrger"), "grüßÄrger");
    EXPECT_EQ(stringBySeparatingCapitalizedWords("élanVital"), "élan Vital");
}
