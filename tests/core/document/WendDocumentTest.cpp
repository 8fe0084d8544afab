#include "CommandTestSupport.h"
#include "core/formats/GPXParser.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace wend;
using namespace wend::test;

namespace {

std::string gpxWithTracks(const std::vector<std::pair<std::string, int>>& tracks) {
    std::string text = "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\">";
    int t = 0;
    for (const auto& [name, count] : tracks) {
        text += "<trk><name>" + name + "</name><trkseg>";
        for (int i = 0; i < count; ++i, ++t)
            text += "<trkpt lat=\"" + std::to_string(47 + 0.001 * t) + "\" lon=\"8\"><ele>" +
                    std::to_string(400 + i) + "</ele><time>2020-01-01T10:0" + std::to_string(i) +
                    ":00Z</time></trkpt>";
        text += "</trkseg></trk>";
    }
    return text + "</gpx>";
}

using WendDocumentTest = CommandTest;

} // namespace

TEST_F(WendDocumentTest, ReadProblemsAreShownAndRepairedFilesOpen) {
    EXPECT_FALSE(document.readFromData("not a gpx file"));
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].title, "Couldn't Load GPX Data");
    EXPECT_EQ(alerts.alerts[0].text, "The selected file does not contain valid GPX data.");
    EXPECT_EQ(alerts.alerts[0].buttons, std::vector<std::string>{"OK"});

    EXPECT_TRUE(document.readFromData("<gpx><wpt lat='1' lon='2'><name>W</wpt>"));
    ASSERT_EQ(alerts.alerts.size(), 2u);
    EXPECT_EQ(alerts.alerts[1].title, "Warning");
    EXPECT_EQ(document.items().size(), 1u);
    // Broken compressed input gives the reader's error and leaves the document as it was.
    EXPECT_FALSE(document.readFromData(std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10) +
                                       "not deflated data at all"));
    ASSERT_EQ(alerts.alerts.size(), 3u);
    EXPECT_EQ(alerts.alerts[2].title, "Couldn't Load GPX Data");
    EXPECT_EQ(document.items().size(), 1u);
}

TEST_F(WendDocumentTest, LoadedAndAddedItemsTakePoolColoursAndRemovalIsUndone) {
    ASSERT_TRUE(document.readFromData(gpxWithTracks({{"A", 3}, {"B", 3}, {"C", 3}})));
    ASSERT_EQ(document.items().size(), 3u);
    EXPECT_EQ(colorName(document.items()[2]), "DarkBlue");
    endEvent();
    EXPECT_FALSE(document.undoManager().canUndo()); // loading is no step
    EXPECT_FALSE(document.isEdited());
    EXPECT_TRUE(alerts.alerts.empty());
    // An added item without colour takes the next pool colour and keeps it through Undo and Redo.
    GPSItemPtr b = GPSItem::item();
    b->setItemName("B");
    document.addItem(b);
    endEvent();
    EXPECT_EQ(colorName(b), "Blue");
    document.removeItem(b);
    endEvent();
    EXPECT_EQ(document.items().size(), 3u);
    ASSERT_TRUE(document.undoManager().undo());
    ASSERT_EQ(document.items().size(), 4u);
    EXPECT_EQ(document.items()[3], b);
    EXPECT_EQ(colorName(b), "Blue");
}

TEST_F(WendDocumentTest, SelectingRowsKeepsPartialSelections) {
    ASSERT_TRUE(document.readFromData(gpxWithTracks({{"A", 5}, {"B", 5}, {"C", 5}})));
    auto items = document.items();
    items[0]->setItemSelection(items[0]->itemSelection().selectionBySelectingRange({1, 1}));
    items[1]->setItemSelection(items[1]->itemSelection().selectionBySelectingAll());
    int notifications = 0;
    document.selectionDidChange().connect([&] { ++notifications; });
    document.setSelectedItemIndexes({0, 2});
    EXPECT_EQ(items[0]->itemSelection().ranges(), (std::vector<IndexRange>{{1, 1}}));
    EXPECT_TRUE(items[1]->itemSelection().isEmpty());
    EXPECT_TRUE(items[2]->itemSelection().isFull());
    EXPECT_EQ(notifications, 1);
}

TEST_F(WendDocumentTest, ImportIsOneStepAndReportsEachFailure) {
    std::string dir = test::scratchDirectory("document-import");
    test::writeFile(dir + "/a.gpx", gpxWithTracks({{"First", 2}}));
    test::writeFile(dir + "/b.gpx", "garbage");
    test::writeFile(dir + "/c.gpx", gpxWithTracks({{"Third", 2}}));
    EXPECT_EQ(document.importFiles({dir + "/a.gpx", dir + "/b.gpx", dir + "/c.gpx"}), 2u);
    endEvent();
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].buttons, std::vector<std::string>{"Ok"});
    EXPECT_EQ(alerts.fits, 1);
    ASSERT_EQ(document.items().size(), 2u);
    EXPECT_EQ(document.undoManager().undoActionName(), "Import Items");
    ASSERT_TRUE(document.undoManager().undo());
    EXPECT_TRUE(document.items().empty());

    EXPECT_EQ(document.importDroppedFiles({dir + "/b.gpx", dir + "/c.gpx"}), 1u);
    endEvent();
    EXPECT_EQ(alerts.alerts.size(), 1u); // drops skip failures silently
    EXPECT_EQ(document.undoManager().undoActionName(), "Import Tracks");

    EXPECT_TRUE(WendDocument::canAcceptDroppedFiles({"/x/TRACK.GPX"}));
    EXPECT_FALSE(WendDocument::canAcceptDroppedFiles({"/x/a.gpx", "/x.gpx/b"}));
}

TEST_F(WendDocumentTest, ExportSuggestsANameAndWritesTheSelection) {
    ASSERT_TRUE(document.readFromData(gpxWithTracks({{"Untitled Track", 5}, {"Ride", 5}})));
    auto items = document.items();
    items[0]->setItemSelection(items[0]->itemSelection().selectionBySelectingRange({1, 2}));
    EXPECT_EQ(document.suggestedExportFileName(), "Untitled Document");
    items[0]->setItemSelection(Selection());
    items[1]->setItemSelection(items[1]->itemSelection().selectionBySelectingRange({1, 2}));
    EXPECT_EQ(document.suggestedExportFileName(), "Ride");
    items[1]->setItemSelection(
        Selection::selectionWithValidSelectionRange(items[1]->pointIndexRange(), {{0, 1}, {3, 1}}));
    EXPECT_EQ(document.suggestedExportFileName(), "Untitled Document"); // two stretches

    // The exported file carries the document's metadata.
    document.GPSDoc()->setDocumentAuthor("Ann");
    document.GPSDoc()->setMetadataElements(
        XMLElementList{XMLElement::fromXMLString("<keywords>alps</keywords>")});
    std::string dir = test::scratchDirectory("document-export");
    EXPECT_EQ(document.exportSelection(dir + "/ride.gpx", "gpx", false), "");
    auto back = GPXParser::parseFile(dir + "/ride.gpx");
    ASSERT_TRUE(back.document);
    EXPECT_EQ(back.document->documentAuthor() + " " +
                  back.document->metadataElements().elementNamed("keywords").stringValue(),
              "Ann alps");
    ASSERT_EQ(back.document->documentItems().size(), 2u);
    EXPECT_EQ(back.document->documentItems()[0]->itemPoints().size(), 2u);
    EXPECT_EQ(document.exportSelection(dir + "/ride.kml", "kml", true), "");
    EXPECT_NE(test::readFile(dir + "/ride.kml").find("earth.google.com"), std::string::npos);
    // A failed write is reported.
    EXPECT_NE(document.exportSelection(dir + "/missing/ride.gpx", "gpx", false), "");
}

TEST_F(WendDocumentTest, SavingIsSafeAndMarksTheDocumentClean) {
    ASSERT_TRUE(document.readFromData(gpxWithTracks({{"A", 3}})));
    endEvent();
    document.items()[0]->setItemName("Changed");
    endEvent();
    EXPECT_TRUE(document.isEdited());
    std::string dir = test::scratchDirectory("document-save");
    EXPECT_NE(document.writeToFile(dir + "/nowhere/a.gpx", "GPX"), "");
    EXPECT_TRUE(document.isEdited());
    EXPECT_EQ(document.writeToFile(dir + "/a.gpx", "GPX"), "");
    EXPECT_FALSE(document.isEdited());
    EXPECT_FALSE(std::filesystem::exists(dir + "/nowhere"));
    auto back = GPXParser::parseFile(dir + "/a.gpx");
    ASSERT_TRUE(back.document);
    EXPECT_EQ(back.document->documentItems()[0]->itemName(), "Changed");
    EXPECT_EQ(document.writeToFile(dir + "/a.kml", "KML"), "");
    EXPECT_NE(document.writeToFile(dir + "/a.txt", "TXT"), "");
    EXPECT_FALSE(document.dataOfType("TXT"));
}

TEST_F(WendDocumentTest, NamespaceWarningsCanBeSilenced) {
    ASSERT_TRUE(
        document.readFromData("<gpx xmlns='http://www.topografix.com/GPX/1/1'><trk><trkseg>"
                              "<trkpt lat='1' lon='1'><extensions><u:x>1</u:x></extensions></trkpt>"
                              "</trkseg></trk></gpx>"));
    alerts.alerts.clear();
    alerts.answer = 1; // "Don't Show Again"
    std::string dir = test::scratchDirectory("document-warnings");
    EXPECT_EQ(document.writeToFile(dir + "/a.gpx", "GPX"), "");
    ASSERT_EQ(alerts.alerts.size(), 2u);
    EXPECT_EQ(alerts.alerts[1].buttons, (std::vector<std::string>{"OK", "Don't Show Again"}));
    EXPECT_TRUE(preferences.boolForKey("HideErr2"));
    EXPECT_TRUE(preferences.boolForKey("HideErr3"));
    alerts.alerts.clear();
    EXPECT_EQ(document.writeToFile(dir + "/a.gpx", "GPX"), "");
    EXPECT_TRUE(alerts.alerts.empty());
}
