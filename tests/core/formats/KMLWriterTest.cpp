#include "core/formats/KMLWriter.h"

#include "core/base/TempFile.h"
#include "support/TestSupport.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace wend {
namespace {

GPSItemPtr makeItem(std::string_view name, GPSItemType type, PointList points,
                    std::optional<ItemColor> color = std::nullopt,
                    std::string_view description = "") {
    return GPSItem::itemWithName(name, type, std::move(points), "", description, "", "", color,
                                 true, Selection(), {});
}

XMLElement parse(const std::string& kml) {
    XMLElement root = XMLElement::fromXMLString(kml);
    EXPECT_FALSE(root.isNull()) << kml;
    return root;
}

TEST(KMLWriter, WaypointAndTrackPlacemarks) {
    auto summit = makeItem("Summit", GPSItemType::Waypoint,
                           {GPSPoint::pointWithLongitude(8.5, 47.25, GPSPoint::NaN, std::nullopt)});
    auto track =
        makeItem("Ride & <run>", GPSItemType::Track,
                 {GPSPoint::pointWithLongitude(-0.1275, 51.507222, 11.25, std::nullopt),
                  GPSPoint::pointWithLongitude(-0.1276, 51.5073, -3.5, std::nullopt),
                  GPSPoint::pointWithLongitude(179.9999999, -89.0000004, 8848.86, std::nullopt)},
                 ItemColor::itemColorFromString("Red"), "along the river");
    auto doc = GPSDocument::documentWithItems({summit, track});
    KMLWriter writer(*doc);
    const std::string kml = writer.KMLData();
    EXPECT_EQ(kml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml", 0), 0u);

    XMLElement root = parse(kml);
    EXPECT_EQ(root.namespaces(),
              (std::vector<XMLNamespaceDecl>{{"", "http://www.opengis.net/kml/2.2"},
                                             {"gx", "http://www.google.com/kml/ext/2.2"}}));
    // The Google Maps variant declares only the earlier namespace.
    EXPECT_EQ(parse(writer.GMapsData()).namespaces(),
              (std::vector<XMLNamespaceDecl>{{"", "http://earth.google.com/kml/2.2"}}));
    XMLElement document = root.childNamed("Document");
    std::vector<std::string> order;
    for (const auto& child : document.childElements())
        order.emplace_back(child.name());
    EXPECT_EQ(order, (std::vector<std::string>{"name", "description", "Style", "Style", "Placemark",
                                               "Placemark"}));

    auto styles = document.childrenNamed("Style");
    auto placemarks = document.childrenNamed("Placemark");
    ASSERT_EQ(placemarks.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_EQ(placemarks[i].childNamed("styleUrl").stringValue(),
                  "#" + std::string(*styles[i].attribute("id")));
    EXPECT_NE(*styles[0].attribute("id"), *styles[1].attribute("id"));
    EXPECT_EQ(styles[1].childNamed("LineStyle").childNamed("color").stringValue(), "ff0000ff");
    EXPECT_EQ(styles[1].childNamed("LineStyle").childNamed("width").stringValue(), "3");
    EXPECT_EQ(styles[0].childNamed("LineStyle").childNamed("color").stringValue(), "ff000000");

    XMLElement point = placemarks[0].childNamed("Point");
    EXPECT_EQ(placemarks[0].childNamed("name").stringValue(), "Summit");
    EXPECT_EQ(point.childNamed("altitudeMode").stringValue(), "clampToGround");
    EXPECT_EQ(point.childNamed("coordinates").stringValue(), "8.500000,47.250000,0.000000\n");

    EXPECT_TRUE(placemarks[1].childNamed("Point").isNull());
    EXPECT_EQ(placemarks[1].childNamed("name").stringValue(), "Ride & <run>");
    EXPECT_EQ(placemarks[1].childNamed("description").stringValue(), "along the river");
    EXPECT_EQ(placemarks[1].childNamed("LineString").childNamed("coordinates").stringValue(),
              "-0.127500,51.507222,11.250000\n"
              "-0.127600,51.507300,-3.500000\n"
              "180.000000,-89.000000,8848.860000\n");
}

TEST(KMLWriter, ColoursAndCoordinates) {
    auto named = [](const char* name) {
        return KMLWriter::hexValueForColor(ItemColor::itemColorFromString(name));
    };
    EXPECT_EQ(named("Blue"), "ffff9400");
    EXPECT_EQ(named("Transparent"), "ffffffff");
    // Components outside 0...1 (a colour built by hand) stay inside one byte.
    EXPECT_EQ(KMLWriter::hexValueForColor(ItemColor{0, 0, 7, 1}), "ffffffff");

    // Points without a position cannot be drawn and are left out; odd elevations read 0.
    auto item =
        makeItem("t", GPSItemType::Track,
                 {GPSPoint::point(), GPSPoint::pointWithLongitude(1, 2, INFINITY, std::nullopt),
                  GPSPoint::pointWithLongitude(-0.0000004, 0, 1e300, std::nullopt)});
    const std::string coords = KMLWriter::coordStringForItem(*item);
    EXPECT_EQ(coords.rfind("1.000000,2.000000,0.000000\n-0.000000,0.000000,10000000", 0), 0u);
    // Every digit of the huge value is written: 301 before the point, six after.
    EXPECT_EQ(coords.size(), 27u + 19 + 301 + 7 + 1);
    EXPECT_EQ(coords.back(), '\n');
    EXPECT_EQ(KMLWriter::coordStringForItem(*makeItem("e", GPSItemType::Track, {})), "");
}

// Exported KML is handed to other programs through a file in the temporary folder.
TEST(TempFile, WritesBytesToANewFileInTheTemporaryFolder) {
    const std::string dir = test::scratchDirectory("temp-file");
    const char* old = std::getenv("TMPDIR");
    const std::string previous = old ? old : "";
    ::setenv("TMPDIR", (dir + "/").c_str(), 1);
    EXPECT_EQ(TempFile::temporaryDirectory(), dir);

    std::string bytes(70000, '\0');
    bytes[69999] = 'e';
    auto path = TempFile::writeToTempFileWithExtension(bytes, "kml");
    ASSERT_TRUE(path);
    EXPECT_EQ(path->rfind(dir + "/", 0), 0u);
    EXPECT_EQ(path->substr(dir.size() + 7), ".kml");
    EXPECT_EQ(test::readFile(*path), bytes);
    EXPECT_FALSE(TempFile::writeToTempFileWithExtension(std::string_view("x"), "../kml"));
    ::setenv("TMPDIR", (dir + "/missing").c_str(), 1);
    EXPECT_FALSE(TempFile::writeToTempFileWithExtension(std::string_view("x"), "kml"));
    if (old)
        ::setenv("TMPDIR", previous.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

} // namespace
} // namespace wend
