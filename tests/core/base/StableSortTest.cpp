#include "core/base/StableSort.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

using namespace wend;

namespace {

struct Entry {
    std::optional<int> key;
    std::string tag;
};

std::string tags(const std::vector<Entry>& entries) {
    std::string result;
    for (const Entry& e : entries)
        result += e.tag;
    return result;
}

} // namespace

TEST(StableSort, EqualKeysKeepTheirOrderAndAbsentKeysComeFirstWhenAscending) {
    const std::vector<Entry> original = {{3, "a"}, {std::nullopt, "b"}, {1, "c"}, {3, "d"},
                                         {1, "e"}, {std::nullopt, "f"}, {2, "g"}};
    auto entries = original;
    int calls = 0;
    stableSortBy(entries, [&](const Entry& e) {
        ++calls;
        return e.key;
    });
    EXPECT_EQ(tags(entries), "bfcegad");
    EXPECT_EQ(calls, 7);

    entries = original;
    stableSortBy(
        entries, [](const Entry& e) { return e.key; }, false);
    EXPECT_EQ(tags(entries), "adgcebf");

    std::vector<Entry> empty;
    stableSortBy(empty, [](const Entry& e) { return e.key; });
    EXPECT_TRUE(empty.empty());
}

TEST(StableSort, NaNKeysSortLikeAbsentValues) {
    const double nan = std::nan("");
    std::vector<double> values = {2.0, nan, -1.0, nan, 0.5};
    stableSortBy(values, [](double v) { return v; });
    ASSERT_EQ(values.size(), 5u);
    EXPECT_TRUE(std::isnan(values[0]) && std::isnan(values[1]));
    EXPECT_EQ(std::vector<double>(values.begin() + 2, values.end()),
              (std::vector<double>{-1.0, 0.5, 2.0}));
}
