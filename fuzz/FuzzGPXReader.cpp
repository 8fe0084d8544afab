// The GPX reader on arbitrary bytes. Besides surviving the input it checks two promises:
// a file Wend writes reads back without repair, and a well-formed file gives the same
// document whether it arrives in one piece or in chunks (as parseFile feeds it).

#include "core/formats/GPXParser.h"
#include "core/formats/GPXWriter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

const wend::GPXWriteOptions& writeOptions() {
    static const wend::GPXWriteOptions options = [] {
        wend::GPXWriteOptions o;
        o.metadataTime = wend::Instant::fromMicroseconds(0);
        return o;
    }();
    return options;
}

// WEND_FUZZ_LENIENT_REPAIRED=1 asks only that a file written from repaired input reads back
// at all (warnings allowed): it keeps the fuzzer going past known faults of that kind.
bool lenientWithRepairedInput() {
    static const bool lenient = [] {
        const char* value = std::getenv("WEND_FUZZ_LENIENT_REPAIRED");
        return value && *value && *value != '0';
    }();
    return lenient;
}

[[noreturn]] void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "fuzz_gpx_reader: %s\n%s\n", what, detail.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const wend::GPXReadResult whole = wend::GPXParser::parseData(bytes);
    if (!whole.document)
        return 0;

    const std::string written = wend::GPXWriter::GPXString(*whole.document, writeOptions());
    const wend::GPXReadResult again = wend::GPXParser::parseData(written);
    if (!again.document)
        fail("written GPX does not read back", written);
    if (again.error && !(whole.error && lenientWithRepairedInput()))
        fail("written GPX needs repair when read back",
             again.error->description + ": " + again.error->failureReason + "\n" + written);

    if (whole.error || size < 2)
        return 0;
    // Split at a point chosen by the input itself, then feed the rest in small pieces.
    const std::size_t first = 1 + data[size - 1] % (size - 1);
    wend::GPXParser parser;
    parser.feed(bytes.data(), first);
    for (std::size_t at = first; at < size; at += 7)
        parser.feed(bytes.data() + at, std::min<std::size_t>(7, size - at));
    const wend::GPXReadResult chunked = parser.finish();
    if (!chunked.document)
        fail("chunked read failed where the whole read succeeded", std::string(bytes));
    const std::string writtenChunked =
        wend::GPXWriter::GPXString(*chunked.document, writeOptions());
    if (writtenChunked != written)
        fail("chunked read differs from the whole read", written + "\n----\n" + writtenChunked);
    return 0;
}
