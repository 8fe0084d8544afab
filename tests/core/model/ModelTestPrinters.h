#pragma once

#include "core/model/IndexRange.h"
#include "core/model/Selection.h"

#include <ostream>

namespace wend {

// Readable failure messages for ranges ("{3, 4}" instead of raw bytes).
inline void PrintTo(const IndexRange& range, std::ostream* os) {
    *os << stringFromRange(range);
}

inline void PrintTo(const Selection& selection, std::ostream* os) {
    *os << "valid " << stringFromRange(selection.validSelectionRange()) << ", ranges";
    for (const auto& r : selection.ranges())
        *os << ' ' << stringFromRange(r);
}

} // namespace wend
