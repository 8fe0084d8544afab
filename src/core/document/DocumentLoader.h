#pragma once

#include "core/formats/GPXReadResult.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace wend {

// Reads GPX into a model for documents, imports and drops. The type of a file does not
// matter: everything is read as GPX, and what is not GPX gets the reader's error.
class DocumentLoader {
public:
    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    static GPXReadResult loadDocumentFromData(std::string_view bytes);
    static GPXReadResult loadDocumentFromFile(const std::string& path, const Progress& progress = {});
};

} // namespace wend
