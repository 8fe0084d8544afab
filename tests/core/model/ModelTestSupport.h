#pragma once

#include "core/model/IndexRange.h"
#include "core/model/ModelObserver.h"
#include "core/model/Selection.h"

#include <gtest/gtest.h>
#include <ostream>
#include <vector>

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

// Records every announced change; undoing runs the restoring closures newest first, as an
// undo manager does, and what they announce in turn is what a redo would run.
class RecordingObserver : public ModelObserver {
public:
    void modelDidChange(const ModelChange& change) override { changes.push_back(change); }

    std::vector<ModelKey> keys() const {
        std::vector<ModelKey> out;
        for (const auto& c : changes)
            out.push_back(c.key);
        return out;
    }
    // Runs the restorations of all changes recorded so far, newest first, and keeps what they
    // announce as the new record.
    void undoAll() {
        auto recorded = std::move(changes);
        changes.clear();
        for (auto it = recorded.rbegin(); it != recorded.rend(); ++it) {
            ASSERT_TRUE(it->restoreOldValue);
            it->restoreOldValue();
        }
    }

    std::vector<ModelChange> changes;
};

} // namespace wend
