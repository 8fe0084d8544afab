#pragma once

#include "core/model/IndexRange.h"

#include <cstdint>
#include <string>
#include <vector>

namespace wend {

// Which points of one item are selected: sorted, disjoint stretches of point indexes inside
// the valid range (location 0, length = point count - 1). A stretch selects its points and
// the segments between them, so the stretch 3..7 differs from the two points 3 and 7.
// Selections are values: every operation returns a new one.
class Selection {
public:
    Selection() = default;
    // Stores the ranges as given (they must already be normal, as copies and archives are).
    Selection(IndexRange validSelectionRange, std::vector<IndexRange> ranges);

    static Selection selectionWithValidSelectionRange(IndexRange validSelectionRange);
    static Selection selectionWithValidSelectionRange(IndexRange validSelectionRange,
                                                      const std::vector<IndexRange>& selections);

    Selection selectionBySelectingAll() const;
    Selection selectionBySelectingRange(IndexRange range) const;
    Selection selectionBySelectingRanges(const std::vector<IndexRange>& ranges) const;
    Selection selectionByDeselectingAll() const;
    Selection selectionByDeselectingRange(IndexRange range) const;
    Selection selectionByInvertingSelection() const;
    Selection selectionWithOffset(std::int64_t offset) const;
    Selection selectionByChangingValidSelectionRange(IndexRange validSelectionRange) const;

    bool isSelectedAtIndex(std::uint64_t index) const;
    template <typename F> void applyToSelectionRanges(F&& f) const {
        for (const auto& r : m_ranges)
            f(r);
    }

    const std::vector<IndexRange>& ranges() const { return m_ranges; }
    IndexRange validSelectionRange() const { return m_validSelectionRange; }
    // The number of selected segments.
    std::uint64_t length() const;
    bool isEmpty() const { return m_ranges.empty(); }
    bool isFull() const { return m_ranges.size() == 1 && m_ranges.front() == m_validSelectionRange; }

    bool operator==(const Selection&) const = default;
    std::string description() const;

private:
    void selectRange(IndexRange range);
    void deselectRange(IndexRange range);

    IndexRange m_validSelectionRange{0, 0};
    std::vector<IndexRange> m_ranges;
};

} // namespace wend
