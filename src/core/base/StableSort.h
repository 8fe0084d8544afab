#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace wend {

namespace detail {

template <typename T> struct IsOptional : std::false_type {};
template <typename T> struct IsOptional<std::optional<T>> : std::true_type {};

// A strict weak order over keys: absent optionals and NaN come before every value, so a
// point list with missing times or elevations still sorts without breaking the algorithm.
template <typename Key> bool keyIsLess(const Key& a, const Key& b) {
    if constexpr (IsOptional<Key>::value) {
        if (!a || !b)
            return !a && b;
        return keyIsLess(*a, *b);
    } else if constexpr (std::is_floating_point_v<Key>) {
        if (std::isnan(a) || std::isnan(b))
            return std::isnan(a) && !std::isnan(b);
        return a < b;
    } else {
        return a < b;
    }
}

} // namespace detail

// Sorts a random-access container in place by the key that keyFunction gives for each element.
// Stable in both directions: equal keys keep their order. Absent keys (empty optionals, NaN)
// come first when ascending and last when descending. keyFunction is called once per element.
template <typename Container, typename KeyFunction>
void stableSortBy(Container& container, KeyFunction keyFunction, bool ascending = true) {
    using Key =
        std::decay_t<std::invoke_result_t<KeyFunction&, const typename Container::value_type&>>;
    const std::size_t count = container.size();
    if (count < 2)
        return;

    std::vector<Key> keys;
    keys.reserve(count);
    for (const auto& element : container)
        keys.push_back(std::invoke(keyFunction, element));

    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < count; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return ascending ? detail::keyIsLess(keys[a], keys[b])
                         : detail::keyIsLess(keys[b], keys[a]);
    });

    std::vector<typename Container::value_type> sorted;
    sorted.reserve(count);
    for (std::size_t index : order)
        sorted.push_back(std::move(container[index]));
    std::move(sorted.begin(), sorted.end(), container.begin());
}

} // namespace wend
