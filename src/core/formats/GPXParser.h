#pragma once

#include "core/formats/GPXReadResult.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace wend {

// Reads GPX 1.1 (and the GPX 1.0 elements that differ from it) into a document, leniently:
// malformed XML is repaired where possible and reported as a warning, numbers are read
// without validation, and every element the model does not hold is kept on the nearest model
// object so that saving writes it back. The parse streams: no tree of the whole file is
// ever held, and files may be fed in chunks (gzip-compressed input is inflated on the fly).
class GPXParser {
public:
    GPXParser();
    ~GPXParser();
    GPXParser(const GPXParser&) = delete;
    GPXParser& operator=(const GPXParser&) = delete;

    static GPXReadResult parseData(std::string_view bytes);
    // Reads a file from disk in chunks; `progress` (optional) is told the bytes read so far
    // and the file's size after each chunk.
    static GPXReadResult parseFile(const std::string& path,
                                   const std::function<void(std::size_t, std::size_t)>& progress = {});

    // Incremental use.
    void feed(const char* bytes, std::size_t size);
    GPXReadResult finish();

    // The errors of the reader.
    static WendError couldNotLoadError();
    static WendError warningForRepair(const std::string& xmlError);

private:
    class Handler;
    class Inflater;
    void feedXML(const char* bytes, std::size_t size);

    std::unique_ptr<Handler> m_handler;
    std::unique_ptr<Inflater> m_inflater;
    std::string m_head; // first bytes, to recognise compressed input
    bool m_started = false;
};

} // namespace wend
