#pragma once

#include "core/base/ByteSink.h"

#include <functional>
#include <string>

namespace wend {

// Replaces a file only after its new contents were written completely: the bytes go to a
// temporary file beside the target, which is flushed, synced and renamed over the target.
// When anything fails the temporary file is removed and the target stays as it was.
class SafeFileWriter {
public:
    // Synced files survive a power failure right after saving: the editor saves documents so.
    // Batch tools skip the sync like other command-line tools; the rename still guarantees
    // that a failed run leaves the old file.
    enum class Durability { Synced, Unsynced };

    // Calls `produce` with a sink into the temporary file. Returns an empty string on
    // success, else a message saying what failed. `produce` returns false to abandon the
    // write (the message then is `abandonMessage`).
    static std::string writeFile(const std::string& path,
                                 const std::function<bool(ByteSink&)>& produce,
                                 const std::string& abandonMessage = "the data could not be produced",
                                 Durability durability = Durability::Synced);
};

} // namespace wend
