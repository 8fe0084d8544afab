#include "cli/CommandLine.h"
#include "cli/ConvertCommand.h"
#include "cli/InfoCommand.h"
#include "cli/KMLCommand.h"
#include "cli/ShiftTimesCommand.h"
#include "cli/SimplifyCommand.h"
#include "cli/SplitStopsCommand.h"
#include "cli/StatsCommand.h"

#include <exception>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

const char* kUsage = R"(usage: wend-cli COMMAND [ARGUMENTS]
       wend-cli --help | --version

Batch work on GPX files with the same core as the Wend editor.

commands:
  info [--json] FILE...            name, items, points and times of each file
  convert IN.gpx OUT.gpx [--file-order]
                                   read and write back as GPX 1.1 (waypoints, routes,
                                   tracks grouped unless --file-order)
  stats FILE [--imperial] [--keep-outliers] [--json]
                                   statistics of each item and of all items together;
                                   --json gives each item's figures in metres, seconds
                                   and metres per second (null when unknown)
  simplify IN.gpx OUT.gpx --strength S
                                   remove points where the track turns by less than
                                   S x 45 degrees (the editor suggests 0.25)
  split-stops IN.gpx OUT.gpx [--min-time SECONDS] [--max-distance METRES] [--keep-stops]
                                   split tracks where the recorder stayed within
                                   METRES (20) for SECONDS (2700); --keep-stops keeps
                                   each rest stop as a track of its own
  shift-times IN.gpx OUT.gpx --by [-]H:MM:SS[.mmm]
                                   move every time forwards, or back with "-"
  kml IN.gpx OUT.kml [--google-maps]
                                   export as KML 2.2 for Google Earth (or Google Maps)

Every command works on whole items, as if all their points were selected.
Output files are replaced only after they were written completely.
Exit status: 0 success, 1 input needed repair, 2 error.
)";

using Command = std::function<int(const std::vector<std::string>&)>;

const std::map<std::string, Command>& commands() {
    static const std::map<std::string, Command> table = {
        {"info", wend::cli::runInfo},
        {"convert", wend::cli::runConvert},
        {"stats", wend::cli::runStats},
        {"simplify", wend::cli::runSimplify},
        {"split-stops", wend::cli::runSplitStops},
        {"shift-times", wend::cli::runShiftTimes},
        {"kml", wend::cli::runKML},
    };
    return table;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h" ||
        arguments[0] == "help") {
        std::cout << kUsage;
        return arguments.empty() ? 2 : 0;
    }
    if (arguments[0] == "--version" || arguments[0] == "-v") {
        std::cout << "wend-cli " WEND_VERSION "\n";
        return 0;
    }
    auto it = commands().find(arguments[0]);
    if (it == commands().end()) {
        std::cerr << "wend-cli: unknown command \"" << arguments[0] << "\" (try wend-cli --help)\n";
        return 2;
    }
    for (std::size_t i = 1; i < arguments.size() && arguments[i] != "--"; ++i)
        if (arguments[i] == "--help" || arguments[i] == "-h") {
            std::cout << kUsage;
            return 0;
        }
    try {
        return it->second(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
    } catch (const wend::cli::UsageError& e) {
        std::cerr << "wend-cli " << arguments[0] << ": " << e.what() << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "wend-cli " << arguments[0] << ": " << e.what() << "\n";
        return 2;
    }
}
