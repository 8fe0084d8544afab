#pragma once

#include <string>
#include <vector>

namespace wend::test {

// One run of wend-cli: exit status and what it printed.
struct CLIRun {
    int status = -1;
    std::string out;
    std::string err;

    std::vector<std::string> errLines() const;
};

// Runs the built wend-cli in `directory` with the arguments (quoted for the shell), with an
// English locale and UTC so that formatted figures and dates are predictable.
CLIRun runCLI(const std::string& directory, const std::vector<std::string>& arguments);

// The lines of a text, without their line ends.
std::vector<std::string> linesOf(const std::string& text);

// A GPX 1.1 file whose root holds `body`.
void writeGPX(const std::string& path, const std::string& body);

// The names of the entries of a folder, sorted.
std::vector<std::string> folderListing(const std::string& directory);

} // namespace wend::test
