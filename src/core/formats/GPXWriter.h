#pragma once

#include "core/base/ByteSink.h"
#include "core/base/WendError.h"
#include "core/model/GPSDocument.h"
#include "core/model/Instant.h"

#include <optional>
#include <string>
#include <vector>

namespace wend {

struct GPXWriteOptions {
    // Groups the items as all waypoints, then all routes, then all tracks (what Garmin
    // devices expect); otherwise items keep the document's order.
    bool saveGarminFriendly = true;
    // The metadata time; the moment of writing when absent.
    std::optional<Instant> metadataTime;
};

// A problem with the namespaces of a written file. The file is written anyway; the caller
// shows the warning unless the user suppressed its kind ("HideErr1" … "HideErr3").
struct NamespaceWarning {
    int kind = 1; // 1: the file's schema locations, 2: declaring a prefix, 3: a schema location pair
    WendError error;

    std::string preferenceKey() const { return "HideErr" + std::to_string(kind); }
};

struct GPXWriteResult {
    bool ok = false; // false only when the sink failed
    std::vector<NamespaceWarning> warnings;
};

// Writes a document as GPX 1.1: a fresh tree from the model fields with the kept XML put
// back, every element's children in the order of the GPX 1.1 schema, the namespaces in use
// declared on the root with their schema locations, indented UTF-8. Points are streamed, so
// writing needs little memory beyond the model.
class GPXWriter {
public:
    static GPXWriteResult write(const GPSDocument& document, ByteSink& sink, const GPXWriteOptions& options = {});
    static std::string GPXString(const GPSDocument& document, const GPXWriteOptions& options = {},
                                 std::vector<NamespaceWarning>* warnings = nullptr);

    // "yyyy-MM-ddTHH:mm:ss[.SSS]Z".
    static std::string dateStringFor(Instant time);

    static constexpr const char* kCreator = "Wend - https://wend.app";
};

} // namespace wend
