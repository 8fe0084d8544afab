// Inputs the reader fuzzer found: each reads (with a repair warning), and what Wend writes of
// it must read back cleanly.

#include "core/base/UTF8Text.h"
#include "core/formats/GPXParser.h"
#include "core/formats/GPXWriter.h"
#include "core/formats/KeyedArchive.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <span>

using namespace wend;

TEST(FuzzRegressions, WrittenFilesAndArchivesReadBackWithoutWarning) {
    std::filesystem::path folder = std::filesystem::path(WEND_SOURCE_DIR) / "tests/core/formats/fuzz-regressions";
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".gpx")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        auto first = GPXParser::parseData(test::readFile(entry.path().string()));
        ASSERT_TRUE(first.document);
        std::string written = GPXWriter::GPXString(*first.document);
        EXPECT_TRUE(UTF8Text::isValid(written));
        auto again = GPXParser::parseData(written);
        ASSERT_TRUE(again.document);
        EXPECT_FALSE(again.error) << again.error->failureReason << "\n" << written;
        ++checked;
    }
    EXPECT_GE(checked, 10);

    const std::string bytes = test::readFile(folder / "archive-namespace-name-not-a-uri.cbor");
    auto document = KeyedArchive::unarchiveDocument(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    ASSERT_TRUE(document);
    auto again = GPXParser::parseData(GPXWriter::GPXString(*document));
    ASSERT_TRUE(again.document);
    EXPECT_FALSE(again.error) << again.error->failureReason;
}

TEST(FuzzRegressions, NamespaceNamesThatAreNotURIsArePercentEncoded) {
    auto result = GPXParser::parseData(
        "<gpx xmlns='http://www.topografix.com/GPX/1/1' xmlns:t='http://ex.com/Caf\xe9 v1' "
        "xmlns:o=':x%' xmlns:k='http://ex.com/a%20b'><wpt lat='1' lon='2'><extensions>"
        "<t:a/><o:b/><k:c/></extensions></wpt></gpx>");
    ASSERT_TRUE(result.document);
    const std::string written = GPXWriter::GPXString(*result.document);
    EXPECT_NE(written.find("\"http://ex.com/Caf%C3%A9%20v1\""), std::string::npos) << written;
    EXPECT_NE(written.find("\"%3Ax%25\""), std::string::npos) << written;
    // A name that already is a URI keeps its escapes as they are.
    EXPECT_NE(written.find("\"http://ex.com/a%20b\""), std::string::npos) << written;
}

TEST(FuzzRegressions, TextInAnotherEncodingIsReadAsWindows1252) {
    auto result = GPXParser::parseData("<gpx><wpt lat='1' lon='2'><name>Caf\xe9 \x93quoted\x94</name></wpt></gpx>");
    ASSERT_TRUE(result.document);
    EXPECT_EQ(result.document->documentItems().at(0)->itemName(), "Caf\xc3\xa9 \xe2\x80\x9cquoted\xe2\x80\x9d");
}
