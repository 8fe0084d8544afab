#include "core/model/GPSDocument.h"

#include "ModelTestSupport.h"

#include <gtest/gtest.h>
#include <vector>

namespace wend {
namespace {

GPSItemPtr trackOf(std::size_t count, std::string_view name) {
    PointList points;
    for (std::size_t i = 0; i < count; ++i)
        points.push_back(GPSPoint::pointWithLongitude(static_cast<double>(i), 0, 0, std::nullopt));
    auto item = GPSItem::item();
    item->setItemName(name);
    item->setItemPoints(points);
    return item;
}

TEST(GPSDocument, CopyHasItsOwnItemsSharingPoints) {
    auto doc = GPSDocument::documentWithItems({trackOf(4, "a"), trackOf(2, "b")}, "Trip");
    doc->setDocumentDescription("desc");
    doc->setDocumentAuthor("me");
    doc->setDocumentLink("http://x");
    doc->setXMLNamespaces({{"", "http://www.topografix.com/GPX/1/1"}, {"gpxx", "urn:gpxx"}});
    doc->setXMLSchemaLocation("urn:gpxx http://x/gpxx.xsd");
    doc->setMetadataExtensions(XMLElement::fromXMLString("<extensions><a/></extensions>"));
    doc->setMetadataElements(XMLElementList{XMLElement::fromXMLString("<keywords>k</keywords>")});
    doc->setXMLElements(
        XMLElementList{XMLElement::fromXMLString("<extensions><root/></extensions>")});

    auto copy = doc->copy();
    EXPECT_EQ(copy->documentName() + copy->documentDescription() + copy->documentAuthor() +
                  copy->documentLink(),
              "Tripdescmehttp://x");
    EXPECT_EQ(copy->XMLNamespaces(), doc->XMLNamespaces());
    EXPECT_EQ(copy->XMLSchemaLocation(), doc->XMLSchemaLocation());
    EXPECT_EQ(copy->metadataExtensions(), doc->metadataExtensions());
    EXPECT_EQ(copy->metadataElements(), doc->metadataElements());
    EXPECT_TRUE(copy->XMLElements().empty()) << "the document's own kept elements are not copied";
    // A document made from items alone (the clipboard's) has no name, and keeps having none.
    EXPECT_EQ(GPSDocument::documentWithItems({})->copy()->documentName(), "");
}

TEST(GPSDocument, SettersAnnounceAndRestore) {
    auto doc = GPSDocument::document();
    RecordingObserver observer;
    doc->setObserver(&observer);
    auto items = ItemList{trackOf(1, "x")};

    doc->setDocumentName("N");
    doc->setDocumentDescription("D");
    doc->setDocumentAuthor("A");
    doc->setDocumentLink("L");
    doc->setDocumentItems(items);
    doc->setXMLNamespaces({{"p", "urn:p"}});
    doc->setXMLSchemaLocation("urn:p p.xsd");
    doc->setMetadataExtensions(XMLElement::fromXMLString("<extensions/>"));
    doc->setMetadataElements(XMLElementList{XMLElement::fromXMLString("<copyright/>")});
    doc->setXMLElements(XMLElementList{XMLElement::fromXMLString("<extensions/>")});

    EXPECT_EQ(observer.keys(),
              (std::vector<ModelKey>{ModelKey::DocumentName, ModelKey::DocumentDescription,
                                     ModelKey::DocumentAuthor, ModelKey::DocumentLink,
                                     ModelKey::DocumentItems, ModelKey::XMLNamespaces,
                                     ModelKey::XMLSchemaLocation, ModelKey::MetadataExtensions,
                                     ModelKey::MetadataElements, ModelKey::XMLElements}));
    observer.undoAll();
    EXPECT_EQ(observer.changes.size(), 10u);
    EXPECT_EQ(doc->documentName() + doc->documentDescription() + doc->documentAuthor() +
                  doc->documentLink() + doc->XMLSchemaLocation(),
              "Untitled Document");
    EXPECT_TRUE(doc->documentItems().empty() && doc->XMLNamespaces().empty() &&
                doc->metadataExtensions().isNull() && doc->metadataElements().empty() &&
                doc->XMLElements().empty());
    observer.undoAll(); // redo
    EXPECT_EQ(doc->documentItems(), items);
    EXPECT_EQ(doc->metadataExtensions().name(), "extensions");
}

} // namespace
} // namespace wend
