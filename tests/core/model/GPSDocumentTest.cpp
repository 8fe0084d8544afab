#include "core/model/GPSDocument.h"

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

} // namespace
} // namespace wend
