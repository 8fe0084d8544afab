#pragma once

#include <map>
#include <string>
#include <vector>

namespace wend::test {

// The folder holding corpus/ and schema/ (WEND_SHARED_DIR in the environment overrides the
// build's setting).
std::string sharedDirectory();
std::string corpusDirectory();
std::string schemaDirectory();
bool haveCorpus();
// The names of the files in the corpus folder, sorted.
std::vector<std::string> corpusFiles();

// The rows of corpus/expect.tsv by file name: column name to value.
std::map<std::string, std::map<std::string, std::string>> corpusExpectations();

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
// A fresh folder under the build folder for one test.
std::string scratchDirectory(const std::string& name);
// Runs a shell command; returns its standard output and sets the exit status.
std::string runCommand(const std::string& command, int* status = nullptr);
bool haveProgram(const std::string& name);

} // namespace wend::test

#define WEND_SKIP_WITHOUT_CORPUS()                                                                 \
    do {                                                                                           \
        if (!::wend::test::haveCorpus())                                                           \
            GTEST_SKIP() << "the GPX corpus was not found at " << ::wend::test::corpusDirectory()  \
                         << " (set WEND_SHARED_DIR)";                                               \
    } while (0)
