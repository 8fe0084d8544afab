#include "cli/KMLCommand.h"

#include "cli/CommandLine.h"
#include "core/formats/KMLWriter.h"

namespace wend::cli {

int runKML(const std::vector<std::string>& arguments) {
    CommandLine line(arguments, {"google-maps"}, {});
    line.expectPositional(2, "IN.gpx OUT.kml");
    GPXReadResult read = readDocumentOrFail(line.positional()[0]);
    const bool forGoogleMaps = line.flag("google-maps");
    // Colourless items are drawn in the colours the editor gives them on opening the file.
    PathColorPool pool;
    for (const auto& item : read.document->documentItems())
        if (!item->itemColor())
            item->setItemColor(pool.nextPathColor());
    writeFileOrFail(line.positional()[1], [&](ByteSink& sink) {
        return KMLWriter(*read.document).writeKML(sink, forGoogleMaps);
    });
    return read.error ? 1 : 0;
}

} // namespace wend::cli
