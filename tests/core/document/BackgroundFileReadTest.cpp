#include "core/document/BackgroundFileRead.h"

#include "core/document/DocumentLoader.h"

#include <gtest/gtest.h>
#include <condition_variable>
#include <mutex>
#include <string>

namespace wend {
namespace {

// The read on its own thread gives what a read on the caller's thread gives, wakes the caller
// when done and reports the whole file read.
TEST(BackgroundFileRead, GivesTheSameDocumentAsAReadInPlaceAndSaysWhenDone) {
    const std::string path = WEND_SOURCE_DIR "/samples/sample.gpx";
    std::mutex mutex;
    std::condition_variable woken;
    bool finished = false;
    BackgroundFileRead read(path, [&] {
        const std::lock_guard lock(mutex);
        finished = true;
        woken.notify_one();
    });
    {
        std::unique_lock lock(mutex);
        woken.wait(lock, [&] { return finished; });
    }
    EXPECT_TRUE(read.isFinished());
    EXPECT_GT(read.bytesTotal(), 0u);
    EXPECT_EQ(read.bytesDone(), read.bytesTotal());
    const GPXReadResult result = read.takeResult();
    const GPXReadResult inPlace = DocumentLoader::loadDocumentFromFile(path);
    ASSERT_TRUE(result.document);
    ASSERT_EQ(result.document->documentItems().size(), inPlace.document->documentItems().size());
    for (std::size_t i = 0; i < inPlace.document->documentItems().size(); ++i)
        EXPECT_EQ(result.document->documentItems()[i]->itemPoints().size(),
                  inPlace.document->documentItems()[i]->itemPoints().size());
}

TEST(BackgroundFileRead, AFileThatCannotBeOpenedGivesTheReadersError) {
    BackgroundFileRead read("/nonexistent/route.gpx");
    const GPXReadResult result = read.takeResult();
    EXPECT_FALSE(result.document);
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->description, "Couldn't Load GPX Data");
}

} // namespace
} // namespace wend
