#include "core/base/StableSort.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

using namespace wend;

TEST(StableSort, EqualKeysKeepTheirOrderAndAbsentKeysComeFirstWhenAscending) {
    struct Entry {
        std::optional<int> key;
        char tag;
    };
    const std::vector<Entry> original = {{3, 'a'}, {std::nullopt, 'b'}, {1, 'c'}, {3, 'd'},
                                         {1, 'e'}, {std::nullopt, 'f'}, {2, 'g'}};
    for (const bool ascending : {true, false}) {
        auto entries = original;
        int calls = 0;
        stableSortBy(
            entries,
            [&](const Entry& e) {
                ++calls;
                return e.key;
            },
            ascending);
        std::string tags;
        for (const Entry& e : entries)
            tags += e.tag;
        EXPECT_EQ(tags, ascending ? "bfcegad" : "adgcebf");
        EXPECT_EQ(calls, 7); // each key computed once
    }
    // NaN keys sort like absent ones.
    const double nan = std::nan("");
    std::vector<double> values = {2.0, nan, -1.0, nan, 0.5};
    stableSortBy(values, [](double v) { return v; });
    EXPECT_TRUE(std::isnan(values[0]) && std::isnan(values[1]));
    EXPECT_EQ(std::vector<double>(values.begin() + 2, values.end()),
              (std::vector<double>{-1.0, 0.5, 2.0}));
}
