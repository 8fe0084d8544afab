// Writes keyed archives made from real GPX files into a folder: the starting corpus of the
// archive fuzzer, so that it begins from archives the decoders accept.
//
//   wend-fuzz-archive-seeds OUT_DIR FILE.gpx...

#include "core/formats/GPXParser.h"
#include "core/formats/KeyedArchive.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int written = 0;

void save(const std::string& directory, const std::string& kind,
          const std::vector<std::uint8_t>& bytes) {
    const std::string path = directory + "/" + kind + "-" + std::to_string(written++);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        std::perror(path.c_str());
        return;
    }
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUT_DIR FILE.gpx...\n", argv[0]);
        return 2;
    }
    const std::string directory = argv[1];
    for (int i = 2; i < argc; ++i) {
        const wend::GPXReadResult result = wend::GPXParser::parseFile(argv[i]);
        if (!result.document)
            continue;
        const wend::GPSDocument& document = *result.document;
        // Whole documents of large files only make the fuzzer slow; their items still count.
        if (document.documentItems().size() <= 20) {
            std::size_t points = 0;
            for (const auto& item : document.documentItems())
                points += item->itemPoints().size();
            if (points <= 2000)
                save(directory, "document", wend::KeyedArchive::archiveDocument(document));
        }
        for (const auto& item : document.documentItems()) {
            if (item->itemPoints().size() > 2000)
                continue;
            const std::uint64_t count = item->itemPoints().size();
            if (count > 2)
                item->setItemSelection(wend::Selection(wend::IndexRange{0, count - 1},
                                                       {wend::IndexRange{1, count / 2 - 1}}));
            save(directory, "item", wend::KeyedArchive::archiveItem(*item));
            save(directory, "selection",
                 wend::KeyedArchive::archiveSelection(item->itemSelection()));
            if (!item->itemPoints().empty()) {
                const auto& point = *item->itemPoints()[item->itemPoints().size() / 2];
                save(directory, "point", wend::KeyedArchive::archivePoint(point));
                if (point.XMLElements().size() > 0)
                    save(directory, "element",
                         wend::KeyedArchive::archiveElement(point.XMLElements()[0]));
            }
            if (item->XMLElements().size() > 0)
                save(directory, "element",
                     wend::KeyedArchive::archiveElement(item->XMLElements()[0]));
            break; // one item per file is enough variety
        }
    }
    std::printf("%d archives written to %s\n", written, directory.c_str());
    return 0;
}
