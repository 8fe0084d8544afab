#include "core/document/ClipboardCommands.h"

#include "CommandTestSupport.h"
#include "core/formats/KeyedArchive.h"
#include "core/formats/PasteboardFormats.h"

#include <gtest/gtest.h>

using namespace wend;
using namespace wend::test;

namespace {

class ClipboardCommandsTest : public CommandTest {
protected:
    // The points of the one item on the clipboard (none when it holds no single item).
    std::size_t copiedPoints() const {
        const auto copied = ClipboardCommands::pastedDocument(clipboard);
        return copied && copied->documentItems().size() == 1
                   ? copied->documentItems()[0]->itemPoints().size()
                   : 0;
    }

    InMemoryClipboard clipboard;
};

GPSPointPtr at(double lon, double lat) {
    return GPSPoint::pointWithLongitude(lon, lat, GPSPoint::NaN, std::nullopt);
}

} // namespace

TEST_F(ClipboardCommandsTest, CopyingAStretchAndPastingItIsOneStep) {
    auto track = makeTrack("Ride", 10);
    load({track, makeTrack("Other", 3, 9.0)});
    selectRanges(track, {{2, 3}});
    startFresh();
    auto before = snapshot();
    EXPECT_FALSE(ClipboardCommands::canPaste(clipboard));

    ASSERT_TRUE(ClipboardCommands::copy(document, clipboard));
    expectNothingRecorded(before);
    EXPECT_EQ(copiedPoints(), 4u);
    EXPECT_TRUE(ClipboardCommands::canPaste(clipboard));

    ASSERT_TRUE(ClipboardCommands::paste(document, clipboard));
    ASSERT_EQ(document.permanentItems().size(), 3u);
    const auto& pasted = document.permanentItems()[2];
    ASSERT_EQ(pasted->itemPoints().size(), 4u);
    EXPECT_DOUBLE_EQ(pasted->itemPoints()[0]->longitude(), track->itemPoints()[2]->longitude());
    EXPECT_EQ(pasted->itemPoints()[3]->time(), track->itemPoints()[5]->time());
    EXPECT_EQ(alerts.fits, 1);
    EXPECT_EQ(pasted->itemName() + colorName(pasted), "Ride" + colorName(track));
    expectOneUndoableStep("Paste Tracks", before);
    // Cut copies the stretch and deletes it in one step.
    ASSERT_TRUE(document.undoManager().undo());
    startFresh();
    clipboard.setText("");
    ASSERT_TRUE(ClipboardCommands::cut(document, clipboard));
    EXPECT_EQ(document.permanentItems().size(), 3u); // the pieces either side, and Other
    EXPECT_EQ(copiedPoints(), 4u);
    expectOneUndoableStep("Delete", before);
}

TEST_F(ClipboardCommandsTest, NothingHappensWithoutSelectionOrReadableClipboard) {
    load({makeTrack("Ride", 5)});
    auto before = snapshot();
    clipboard.setText("kept");
    EXPECT_FALSE(ClipboardCommands::canCopy(document));
    EXPECT_FALSE(ClipboardCommands::copy(document, clipboard));
    EXPECT_FALSE(ClipboardCommands::cut(document, clipboard));
    EXPECT_EQ(clipboard.text(), "kept");
    // GPX text alone, bytes that are no archive of a document, and a document without items
    // are not pasted.
    clipboard.setText("<gpx><trk><trkseg><trkpt lat='1' lon='2'/></trkseg></trk></gpx>");
    EXPECT_FALSE(ClipboardCommands::canPaste(clipboard));
    EXPECT_FALSE(ClipboardCommands::paste(document, clipboard));
    clipboard.setData(PasteboardFormats::kGPXType, {0xa1, 0x61, 0x78, 0x01});
    EXPECT_FALSE(ClipboardCommands::paste(document, clipboard));
    clipboard.setData(PasteboardFormats::kGPXType,
                      KeyedArchive::archiveDocument(*GPSDocument::document()));
    EXPECT_FALSE(ClipboardCommands::paste(document, clipboard));
    EXPECT_EQ(alerts.fits, 0);
    expectNothingRecorded(before);
}

TEST_F(ClipboardCommandsTest, CentreCoordinatesAndLinksOfTheSelection) {
    auto a = GPSItem::item();
    a->setItemPoints({at(20, 10), at(24, 12), at(80, 80)});
    auto south = GPSItem::item();
    south->setItemPoints({at(-70.25, -33.5)});
    load({a, south});
    EXPECT_FALSE(ClipboardCommands::copyCenterCoordinatesOfSelection(document, clipboard));
    selectRanges(a, {{0, 1}});
    ASSERT_TRUE(ClipboardCommands::copyCenterCoordinatesOfSelection(document, clipboard));
    EXPECT_EQ(clipboard.text(), "11.000000, 22.000000"); // the mean of the selected points
    selectRanges(a, {});
    selectWhole(south);
    EXPECT_EQ(ClipboardCommands::centerCoordinatesOfSelection(document), "-33.500000, -70.250000");
    // The link comes from the later selected item that has one.
    auto first = makeTrack("First", 2);
    auto second = makeTrack("Second", 2, 9.0);
    auto third = makeTrack("Third", 2, 10.0);
    first->setItemLink("https://example.org/first");
    second->setItemLink("https://example.org/second");
    load({first, second, third});
    clipboard.setText("kept");
    EXPECT_FALSE(ClipboardCommands::copyLinkFromMetadata(document, clipboard));
    EXPECT_EQ(clipboard.text(), "kept");
    for (const auto& item : {first, second, third})
        selectWhole(item);
    ASSERT_TRUE(ClipboardCommands::copyLinkFromMetadata(document, clipboard));
    EXPECT_EQ(clipboard.text(), "https://example.org/second");
}

TEST_F(ClipboardCommandsTest, StatisticsAreCopiedLineByLine) {
    std::vector<StatisticsRow> rows = {{"Total Distance", "8 km"}, {"", "A <note> & more"}};
    ClipboardCommands::copyStatistics(rows, clipboard);
    EXPECT_EQ(clipboard.text(), "Total Distance: 8 km\nA <note> & more\n");
    const auto html = clipboard.text(Clipboard::kHTMLType).value_or("");
    EXPECT_NE(html.find("<b>Total Distance:</b> 8 km"), std::string::npos);
    EXPECT_NE(html.find("A &lt;note&gt; &amp; more"), std::string::npos);
}
