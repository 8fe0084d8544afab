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
// Why a test is skipped without the corpus: in full the first time, then a short reminder.
std::string missingCorpusNote();
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

// Skips a test that needs the corpus when ../shared is absent (a clone outside its usual
// place). Only the first skip of a program explains where the corpus was looked for.
#define WEND_SKIP_WITHOUT_CORPUS()                                                                 \
    do {                                                                                           \
        if (!::wend::test::haveCorpus())                                                           \
            GTEST_SKIP() << ::wend::test::missingCorpusNote();                                     \
    } while (0)
