// The keyed archive decoders on arbitrary bytes (clipboard and drag payloads come from other
// processes). Whatever decodes must archive again to the same bytes after one round, and a
// decoded document must be written as GPX that reads back without repair.

#include "core/formats/GPXParser.h"
#include "core/formats/GPXWriter.h"
#include "core/formats/KeyedArchive.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_keyed_archive: %s\n", what);
    std::abort();
}

// archive(decode(archive(x))) == archive(x) for a decoded x.
template <typename Decode, typename Archive>
void checkStable(const Bytes& archived, Decode decode, Archive archive, const char* what) {
    auto decoded = decode(std::span<const std::uint8_t>(archived));
    if (!decoded)
        fail(what);
    if (archive(*decoded) != archived)
        fail(what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);

    if (auto document = wend::KeyedArchive::unarchiveDocument(bytes)) {
        const Bytes archived = wend::KeyedArchive::archiveDocument(*document);
        checkStable(
            archived, wend::KeyedArchive::unarchiveDocument,
            [](const wend::GPSDocument& d) { return wend::KeyedArchive::archiveDocument(d); },
            "document archive does not round-trip");
        wend::GPXWriteOptions options;
        options.metadataTime = wend::Instant::fromMicroseconds(0);
        const std::string gpx = wend::GPXWriter::GPXString(*document, options);
        const wend::GPXReadResult read = wend::GPXParser::parseData(gpx);
        if (!read.document || read.error) {
            std::fprintf(stderr, "%s\n", gpx.c_str());
            fail("GPX written from a decoded document does not read back cleanly");
        }
    }
    if (auto item = wend::KeyedArchive::unarchiveItem(bytes)) {
        checkStable(
            wend::KeyedArchive::archiveItem(*item), wend::KeyedArchive::unarchiveItem,
            [](const wend::GPSItem& i) { return wend::KeyedArchive::archiveItem(i); },
            "item archive does not round-trip");
    }
    if (auto point = wend::KeyedArchive::unarchivePoint(bytes)) {
        checkStable(
            wend::KeyedArchive::archivePoint(*point), wend::KeyedArchive::unarchivePoint,
            [](const wend::GPSPoint& p) { return wend::KeyedArchive::archivePoint(p); },
            "point archive does not round-trip");
    }
    if (auto selection = wend::KeyedArchive::unarchiveSelection(bytes)) {
        checkStable(
            wend::KeyedArchive::archiveSelection(*selection),
            wend::KeyedArchive::unarchiveSelection,
            [](const wend::Selection& s) { return wend::KeyedArchive::archiveSelection(s); },
            "selection archive does not round-trip");
    }
    if (auto element = wend::KeyedArchive::unarchiveElement(bytes)) {
        checkStable(
            wend::KeyedArchive::archiveElement(*element), wend::KeyedArchive::unarchiveElement,
            [](const wend::XMLElement& e) { return wend::KeyedArchive::archiveElement(e); },
            "element archive does not round-trip");
    }
    return 0;
}
