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
    std::shared_ptr<GPSDocument> clipboardDocument() const {
        return ClipboardCommands::pastedDocument(clipboard);
    }

    InMemoryClipboard clipboard;
};

} // namespace

TEST_F(ClipboardCommandsTest, CopyingAStretchAndPastingItIsOneStep) {
    auto track = makeTrack("Ride", 10);
    load({track, makeTrack("Other", 3, 9.0)});
    selectRanges(track, {{2, 3}});
    startFresh();
    auto before = snapshot();
    EXPECT_TRUE(ClipboardCommands::canCopy(document));
    EXPECT_FALSE(ClipboardCommands::canPaste(clipboard));

    ASSERT_TRUE(ClipboardCommands::copy(document, clipboard));
    expectNothingRecorded(before);
    auto copied = clipboardDocument();
    ASSERT_TRUE(copied);
    ASSERT_EQ(copied->documentItems().size(), 1u);
    EXPECT_EQ(copied->documentItems()[0]->itemPoints().size(), 4u);
    // GPX text for other applications: a complete file without document name.
    auto text = clipboard.text(PasteboardFormats::kPlainTextType);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("<metadata>"), std::string::npos);
    EXPECT_EQ(text->find("Untitled Document"), std::string::npos);

    EXPECT_TRUE(ClipboardCommands::canPaste(clipboard));
    ASSERT_TRUE(ClipboardCommands::paste(document, clipboard));
    ASSERT_EQ(document.permanentItems().size(), 3u);
    const auto& pasted = document.permanentItems()[2];
    ASSERT_EQ(pasted->itemPoints().size(), 4u);
    EXPECT_DOUBLE_EQ(pasted->itemPoints()[0]->longitude(), track->itemPoints()[2]->longitude());
    EXPECT_EQ(pasted->itemPoints()[3]->time(), track->itemPoints()[5]->time());
    EXPECT_EQ(alerts.fits, 1);
    expectOneUndoableStep("Paste Tracks", before);

    // Into another document: the items arrive with their names and colours.
    WendDocument other(preferences);
    ASSERT_TRUE(ClipboardCommands::paste(other, clipboard));
    EXPECT_EQ(other.permanentItems().at(0)->itemName(), "Ride");
    EXPECT_EQ(other.permanentItems()[0]->itemColor(), track->itemColor());

    // Cut copies the stretch and deletes it in one step.
    ASSERT_TRUE(document.undoManager().undo());
    startFresh();
    clipboard.setText("");
    ASSERT_TRUE(ClipboardCommands::cut(document, clipboard));
    EXPECT_EQ(document.permanentItems().size(), 3u); // the pieces either side, and Other
    copied = clipboardDocument();
    ASSERT_TRUE(copied && copied->documentItems().size() == 1);
    EXPECT_EQ(copied->documentItems()[0]->itemPoints().size(), 4u);
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

    // GPX text alone and bytes that are no archive of a document are not pasted.
    clipboard.setText("<gpx><trk><trkseg><trkpt lat='1' lon='2'/></trkseg></trk></gpx>");
    EXPECT_FALSE(ClipboardCommands::canPaste(clipboard));
    EXPECT_FALSE(ClipboardCommands::paste(document, clipboard));
    clipboard.setData(PasteboardFormats::kGPXType, {0xa1, 0x61, 0x78, 0x01});
    EXPECT_FALSE(ClipboardCommands::canPaste(clipboard));
    EXPECT_FALSE(ClipboardCommands::paste(document, clipboard));
    // A document without items pastes nothing.
    clipboard.setData(PasteboardFormats::kGPXType,
                      KeyedArchive::archiveDocument(*GPSDocument::document()));
    EXPECT_FALSE(ClipboardCommands::paste(document, clipboard));
    EXPECT_EQ(alerts.fits, 0);
    expectNothingRecorded(before);
}

TEST_F(ClipboardCommandsTest, CentreCoordinatesAreTheMeanOfTheSelectedPoints) {
    auto a = GPSItem::item();
    a->setItemPoints({GPSPoint::pointWithLongitude(20, 10, GPSPoint::NaN, std::nullopt),
                      GPSPoint::pointWithLongitude(24, 12, GPSPoint::NaN, std::nullopt),
                      GPSPoint::pointWithLongitude(80, 80, GPSPoint::NaN, std::nullopt)});
    load({a});
    EXPECT_FALSE(ClipboardCommands::centerCoordinatesOfSelection(document));
    EXPECT_FALSE(ClipboardCommands::copyCenterCoordinatesOfSelection(document, clipboard));

    selectRanges(a, {{0, 1}});
    ASSERT_TRUE(ClipboardCommands::copyCenterCoordinatesOfSelection(document, clipboard));
    EXPECT_EQ(clipboard.text(), "11.000000, 22.000000");

    // Southern and western coordinates keep their signs.
    auto b = GPSItem::item();
    b->setItemPoints({GPSPoint::pointWithLongitude(-70.25, -33.5, GPSPoint::NaN, std::nullopt)});
    load({b});
    selectWhole(b);
    EXPECT_EQ(ClipboardCommands::centerCoordinatesOfSelection(document), "-33.500000, -70.250000");
}

TEST_F(ClipboardCommandsTest, CopyLinkTakesTheLaterSelectedItem) {
    auto first = makeTrack("First", 2);
    auto second = makeTrack("Second", 2, 9.0);
    auto third = makeTrack("Third", 2, 10.0);
    first->setItemLink("https://example.org/first");
    second->setItemLink("https://example.org/second");
    load({first, second, third});
    EXPECT_FALSE(ClipboardCommands::copyLinkFromMetadata(document, clipboard));

    selectWhole(first);
    selectWhole(second);
    selectWhole(third); // the last selected item without a link does not count
    ASSERT_TRUE(ClipboardCommands::copyLinkFromMetadata(document, clipboard));
    EXPECT_EQ(clipboard.text(), "https://example.org/second");
    selectRanges(first, {});
    selectRanges(second, {});
    clipboard.setText("kept");
    EXPECT_FALSE(ClipboardCommands::copyLinkFromMetadata(document, clipboard));
    EXPECT_EQ(clipboard.text(), "kept");
}

TEST_F(ClipboardCommandsTest, StatisticsAreCopiedLineByLine) {
    std::vector<StatisticsRow> rows = {{"Total Distance", "8 km"}, {"", "A <note> & more"}};
    ClipboardCommands::copyStatistics(rows, clipboard);
    EXPECT_EQ(clipboard.text(), "Total Distance: 8 km\nA <note> & more\n");
    auto html = clipboard.text(Clipboard::kHTMLType);
    ASSERT_TRUE(html);
    EXPECT_NE(html->find("<b>Total Distance:</b> 8 km"), std::string::npos);
    EXPECT_NE(html->find("A &lt;note&gt; &amp; more"), std::string::npos);
}
