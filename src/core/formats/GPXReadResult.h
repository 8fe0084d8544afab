#pragma once

#include "core/base/WendError.h"
#include "core/model/GPSDocument.h"

#include <memory>
#include <optional>

namespace wend {

// What a read gives back: a document or nothing, and an error. With a document the error is
// a warning (the input was malformed and had to be repaired); without one it says why the
// read failed.
struct GPXReadResult {
    std::shared_ptr<GPSDocument> document;
    std::optional<WendError> error;

    bool succeeded() const { return document != nullptr; }
    bool hasWarning() const { return document && error; }
};

} // namespace wend
