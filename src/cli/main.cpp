#include "cli/CommandLine.h"
#include "cli/ConvertCommand.h"
#include "cli/InfoCommand.h"

#include <exception>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

const char* kUsage = R"(usage: wend-cli COMMAND [ARGUMENTS]

Batch work on GPX files with the same core as the Wend editor.

commands:
  info [--json] FILE...            name, items, points and times of each file
  convert IN.gpx OUT.gpx [--file-order]
                                   read and write back as GPX 1.1 (waypoints, routes,
                                   tracks grouped unless --file-order)

Output files are replaced only after they were written completely.
Exit status: 0 success, 1 input needed repair, 2 error.
)";

using Command = std::function<int(const std::vector<std::string>&)>;

const std::map<std::string, Command>& commands() {
    static const std::map<std::string, Command> table = {
        {"info", wend::cli::runInfo},
        {"convert", wend::cli::runConvert},
    };
    return table;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h" || arguments[0] == "help") {
        std::cout << kUsage;
        return arguments.empty() ? 2 : 0;
    }
    auto it = commands().find(arguments[0]);
    if (it == commands().end()) {
        std::cerr << "wend-cli: unknown command \"" << arguments[0] << "\" (try wend-cli --help)\n";
        return 2;
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
