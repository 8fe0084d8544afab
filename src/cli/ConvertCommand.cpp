#include "cli/ConvertCommand.h"

#include "cli/CommandLine.h"

namespace wend::cli {

int runConvert(const std::vector<std::string>& arguments) {
    CommandLine line(arguments, {"file-order"}, {});
    line.expectPositional(2, "IN.gpx OUT.gpx");
    GPXReadResult read = readDocumentOrFail(line.positional()[0]);
    GPXWriteOptions options;
    options.saveGarminFriendly = !line.flag("file-order");
    writeGPXOrFail(*read.document, line.positional()[1], options);
    return read.error ? 1 : 0;
}

} // namespace wend::cli
