#include "CLIRunner.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace wend::test {

namespace {
std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}
} // namespace

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream stream(text);
    std::string line;
    while (std::getline(stream, line))
        lines.push_back(line);
    return lines;
}

std::vector<std::string> CLIRun::errLines() const {
    return linesOf(err);
}

CLIRun runCLI(const std::string& directory, const std::vector<std::string>& arguments) {
    const std::string errPath = directory + "/.stderr";
    std::string command = "cd " + shellQuoted(directory) + " && LC_ALL=en_US.UTF-8 TZ=UTC " +
                          shellQuoted(WEND_CLI_PATH);
    for (const auto& argument : arguments)
        command += " " + shellQuoted(argument);
    command += " 2>" + shellQuoted(errPath);
    CLIRun run;
    run.out = runCommand(command, &run.status);
    run.err = readFile(errPath);
    std::filesystem::remove(errPath);
    return run;
}

void writeGPX(const std::string& path, const std::string& body) {
    writeFile(
        path,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"test\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n" +
            body + "\n</gpx>\n");
}

std::vector<std::string> folderListing(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace wend::test
