#include "core/formats/XMLNamespaceManager.h"

#include <gtest/gtest.h>

using namespace wend;

namespace {
const std::string kGPX = "http://www.topografix.com/GPX/1/1";
const std::string kGPXLocation = "http://www.topografix.com/GPX/1/1/gpx.xsd";
const std::string kTrackPoint = "http://www.garmin.com/xmlschemas/TrackPointExtension/v1";

std::string declarations(const XMLElementBuilder& element) {
    std::string out;
    for (const auto& ns : element.namespaces())
        out += (out.empty() ? "" : " ") + (ns.prefix.empty() ? std::string("(default)") : ns.prefix);
    return out;
}
} // namespace

TEST(XMLNamespaceManager, DocumentDeclarationsReplaceBuiltInEntries) {
    std::optional<WendError> error;
    auto manager = XMLNamespaceManager::namespaceManagerWithNamespaces(
        {{"", kGPX}, {"gpxtpx", kTrackPoint}, {"xsi", std::string(XMLNamespaceManager::kSchemaInstanceNamespace)}},
        kGPX + " " + kGPXLocation, &error);
    EXPECT_FALSE(error); // both prefixes are known, the GPX one has its location
    EXPECT_EQ(manager.namespaces().at("gpxtpx").schema, kTrackPoint);
    EXPECT_FALSE(manager.namespaces().at("gpxtpx").location); // replaced, without a location now

    XMLElementBuilder root("gpx");
    manager.updateElementWithNamespacesNamed(root, {"", "gpxtpx"}, &error);
    EXPECT_FALSE(error);
    manager.updateSchemaLocationsForElement(root, &error);
    ASSERT_TRUE(error); // no location for gpxtpx: the pair is left out
    EXPECT_EQ(root.attribute("xsi:schemaLocation"), kGPX + " " + kGPXLocation);
}

// Odd schema location lists and namespaces of no known location are reported.
TEST(XMLNamespaceManager, SchemaLocationTextIsSplitAtAnyWhitespace) {
    std::optional<WendError> error;
    auto manager = XMLNamespaceManager::namespaceManagerWithNamespaces(
        {{"abc", "urn:abc"}}, "\n   " + kGPX + "\n\t" + kGPXLocation + "\r\n  urn:abc   http://example.com/abc.xsd  \n",
        &error);
    EXPECT_FALSE(error);
    XMLElementBuilder root("gpx");
    manager.updateElementWithNamespacesNamed(root, {"", "abc"}, &error);
    manager.updateSchemaLocationsForElement(root, &error);
    EXPECT_FALSE(error);
    EXPECT_EQ(declarations(root), "(default) abc xsi");
    EXPECT_EQ(root.attribute("xsi:schemaLocation"),
              kGPX + " " + kGPXLocation + " urn:abc http://example.com/abc.xsd");

    XMLNamespaceManager::namespaceManagerWithNamespaces({}, "a b c", &error);
    EXPECT_TRUE(error);
    error.reset();
    XMLNamespaceManager::namespaceManagerWithNamespaces({{"odd", "urn:odd"}}, "", &error);
    EXPECT_TRUE(error);
}

TEST(XMLNamespaceManager, DeclaringPrefixes) {
    XMLNamespaceManager manager;
    XMLElementBuilder root("gpx");
    root.addNamespace("xsi", "urn:stale");
    std::optional<WendError> error;
    manager.updateElementWithNamespacesNamed(root, {"", "gpxx", "foo"}, &error);
    EXPECT_TRUE(error);
    // foo gets a placeholder so that its elements stay readable; xsi is declared once, freshly.
    EXPECT_EQ(declarations(root), "(default) gpxx foo xsi");
    EXPECT_EQ(root.namespaces().back().uri, XMLNamespaceManager::kSchemaInstanceNamespace);
}
