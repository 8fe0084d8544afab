#include "TestSupport.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <utility>

namespace wend::test {

namespace fs = std::filesystem;

std::string sharedDirectory() {
    if (const char* env = std::getenv("WEND_SHARED_DIR"); env && *env)
        return env;
    return WEND_SHARED_DIR;
}

std::string corpusDirectory() { return sharedDirectory() + "/corpus/gpx"; }
std::string schemaDirectory() { return sharedDirectory() + "/schema"; }

bool haveCorpus() { return fs::is_directory(corpusDirectory()); }

std::string missingCorpusNote() {
    static bool told = false;
    if (std::exchange(told, true))
        return "the GPX corpus is absent (see the first skipped test)";
    return "the GPX corpus was not found at " + corpusDirectory() +
           "; set WEND_SHARED_DIR to the folder holding corpus/ and schema/";
}

std::vector<std::string> corpusFiles() {
    std::vector<std::string> files;
    if (!haveCorpus())
        return files;
    for (const auto& entry : fs::directory_iterator(corpusDirectory()))
        if (entry.is_regular_file())
            files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::map<std::string, std::map<std::string, std::string>> corpusExpectations() {
    std::map<std::string, std::map<std::string, std::string>> rows;
    std::ifstream in(sharedDirectory() + "/corpus/expect.tsv");
    std::string line;
    std::vector<std::string> header;
    while (std::getline(in, line)) {
        std::vector<std::string> parts;
        std::stringstream fields(line);
        for (std::string part; std::getline(fields, part, '\t');)
            parts.push_back(part);
        if (header.empty()) {
            header = parts;
            continue;
        }
        for (std::size_t i = 0; i < header.size() && i < parts.size(); ++i)
            rows[parts[0]][header[i]] = parts[i];
    }
    return rows;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string scratchDirectory(const std::string& name) {
    const fs::path dir = fs::path(WEND_BINARY_DIR) / "test-scratch" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

std::string runCommand(const std::string& command, int* status) {
    std::string output;
    int rc = -1;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer;
        for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
            output.append(buffer.data(), n);
        rc = pclose(pipe);
    }
    if (status)
        *status = rc != -1 && WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return output;
}

bool haveProgram(const std::string& name) {
    int status = 0;
    runCommand("command -v " + name + " >/dev/null 2>&1", &status);
    return status == 0;
}

} // namespace wend::test
