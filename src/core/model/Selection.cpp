#include "core/model/Selection.h"

#include <algorithm>
#include <cstdio>

namespace wend {

namespace {
IndexRange rangeFromTo(std::uint64_t first, std::uint64_t last) { return IndexRange{first, last - first}; }

// Whether b starts right after a ends (no index between them, none shared).
bool followsDirectly(const IndexRange& a, const IndexRange& b) {
    return a.end() != UINT64_MAX && b.location == a.end() + 1;
}
} // namespace

Selection::Selection(IndexRange validSelectionRange, std::vector<IndexRange> ranges)
    : m_validSelectionRange(validSelectionRange), m_ranges(std::move(ranges)) {}

Selection Selection::selectionWithValidSelectionRange(IndexRange validSelectionRange) {
    return Selection(validSelectionRange, {});
}

Selection Selection::selectionWithValidSelectionRange(IndexRange validSelectionRange,
                                                      const std::vector<IndexRange>& selections) {
    Selection s(validSelectionRange, {});
    for (const auto& r : selections)
        s.selectRange(r);
    return s;
}

void Selection::selectRange(IndexRange range) {
    if (range.isNotFound())
        return;
    const std::uint64_t last = m_validSelectionRange.length; // the valid range starts at 0
    std::uint64_t location = std::min(range.location, last);
    IndexRange c{location, std::min(range.length, last - location)};

    std::vector<bool> collected(m_ranges.size(), false);
    // Ranges sharing an index with the new one merge into it.
    const IndexRange original = c;
    std::uint64_t first = c.location, end = c.end();
    for (std::size_t i = 0; i < m_ranges.size(); ++i) {
        const auto& s = m_ranges[i];
        if (s.location <= original.end() && s.end() >= original.location) {
            collected[i] = true;
            first = std::min(first, s.location);
            end = std::max(end, s.end());
        }
    }
    c = rangeFromTo(first, end);
    // A single point right beside a stretch joins it, selecting the segment between them.
    for (std::size_t i = 0; i < m_ranges.size(); ++i) {
        if (collected[i])
            continue;
        const auto& s = m_ranges[i];
        if (s.length != 0 && c.length != 0)
            continue;
        if (followsDirectly(c, s) || followsDirectly(s, c)) {
            collected[i] = true;
            c = rangeFromTo(std::min(c.location, s.location), std::max(c.end(), s.end()));
        }
    }

    std::vector<IndexRange> remaining;
    remaining.reserve(m_ranges.size() + 1);
    for (std::size_t i = 0; i < m_ranges.size(); ++i)
        if (!collected[i])
            remaining.push_back(m_ranges[i]);
    auto at = std::find_if(remaining.begin(), remaining.end(),
                           [&](const IndexRange& r) { return r.location >= c.location; });
    remaining.insert(at, c);
    m_ranges = std::move(remaining);
}

void Selection::deselectRange(IndexRange d) {
    std::vector<IndexRange> stored = std::move(m_ranges);
    m_ranges.clear();
    for (const auto& s : stored) {
        if (d.length > 0) {
            const std::uint64_t a = d.location, b = d.end();
            if (a > s.location)
                selectRange(rangeFromTo(s.location, std::min(a, s.end())));
            if (b < s.end())
                selectRange(rangeFromTo(std::max(b, s.location), s.end()));
        } else {
            const std::uint64_t x = d.location;
            if (x < s.location || x > s.end()) {
                selectRange(s);
                continue;
            }
            if (x > s.location)
                selectRange(rangeFromTo(s.location, x - 1));
            if (x < s.end())
                selectRange(rangeFromTo(x + 1, s.end()));
        }
    }
}

Selection Selection::selectionBySelectingAll() const {
    return Selection(m_validSelectionRange, {m_validSelectionRange});
}

Selection Selection::selectionBySelectingRange(IndexRange range) const {
    Selection s(*this);
    s.selectRange(range);
    return s;
}

Selection Selection::selectionBySelectingRanges(const std::vector<IndexRange>& ranges) const {
    Selection s(*this);
    for (const auto& r : ranges)
        s.selectRange(r);
    return s;
}

Selection Selection::selectionByDeselectingAll() const { return Selection(m_validSelectionRange, {}); }

Selection Selection::selectionByDeselectingRange(IndexRange range) const {
    Selection s(*this);
    s.deselectRange(range);
    return s;
}

Selection Selection::selectionByInvertingSelection() const {
    Selection s = selectionBySelectingAll();
    for (const auto& r : m_ranges)
        s.deselectRange(r);
    return s;
}

Selection Selection::selectionWithOffset(std::int64_t offset) const {
    Selection s(m_validSelectionRange, {});
    for (const auto& r : m_ranges) {
        __int128 location = static_cast<__int128>(r.location) + offset;
        __int128 length = r.length;
        if (location < 0) {
            length += location; // cut off the part before index 0
            location = 0;
        }
        if (length < 0 || location > static_cast<__int128>(m_validSelectionRange.length))
            continue;
        s.selectRange(IndexRange{static_cast<std::uint64_t>(location), static_cast<std::uint64_t>(length)});
    }
    return s;
}

Selection Selection::selectionByChangingValidSelectionRange(IndexRange validSelectionRange) const {
    // Ranges are already sorted and joined, so those inside the new valid range stay as they
    // are; only the ones reaching past its end need clamping. This keeps re-basing linear.
    std::size_t inside = 0;
    while (inside < m_ranges.size() && m_ranges[inside].end() <= validSelectionRange.length)
        ++inside;
    Selection s(validSelectionRange, std::vector<IndexRange>(m_ranges.begin(), m_ranges.begin() + static_cast<std::ptrdiff_t>(inside)));
    for (std::size_t i = inside; i < m_ranges.size(); ++i)
        s.selectRange(m_ranges[i]);
    return s;
}

bool Selection::isSelectedAtIndex(std::uint64_t index) const {
    auto after = std::upper_bound(m_ranges.begin(), m_ranges.end(), index,
                                  [](std::uint64_t i, const IndexRange& r) { return i < r.location; });
    return after != m_ranges.begin() && index <= std::prev(after)->end();
}

std::uint64_t Selection::length() const {
    std::uint64_t total = 0;
    for (const auto& r : m_ranges)
        total += r.length;
    return total;
}

std::string Selection::description() const {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "<Selection: %p; selection count = %zu>",
                  static_cast<const void*>(this), m_ranges.size());
    return buffer;
}

} // namespace wend
