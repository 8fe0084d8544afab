#pragma once

#include "core/model/XMLElement.h"
#include "core/model/XMLElementList.h"

#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace wend {

// The sensor values that devices record in Garmin's track point extension. NaN where the
// point holds none.
struct TrackPointExtensionValues {
    static constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

    double heartRate = NaN;        // beats per minute
    double cadence = NaN;          // revolutions per minute
    double airTemperature = NaN;   // degrees Celsius
    double waterTemperature = NaN; // degrees Celsius
    double speed = NaN;            // metres per second, as the device measured it
    double course = NaN;           // degrees clockwise from north
};

// Reads Garmin's track point extension (versions 1 and 2) from a point's kept elements,
// which it never changes. Elements are recognised by their namespace name, whatever prefix a
// file binds it to: the extension is found either inside the point's extensions element or
// directly among its elements (as GPX 1.0 files put it). Version 1 knows heart rate, cadence
// and both temperatures; version 2 adds speed and course. Values that are not numbers are
// missing, never 0.
//
// Kept elements carry the namespace declarations made between the file's root and
// themselves; the root's own come with the reader.
class TrackPointExtensionReader {
public:
    static constexpr std::string_view kNamespaceV1 =
        "http://www.garmin.com/xmlschemas/TrackPointExtension/v1";
    static constexpr std::string_view kNamespaceV2 =
        "http://www.garmin.com/xmlschemas/TrackPointExtension/v2";

    explicit TrackPointExtensionReader(std::vector<XMLNamespaceDecl> documentNamespaces = {});

    TrackPointExtensionValues read(const XMLElementList& elements) const;

    // Which version of the extension a prefix of the root stands for: 0 for none, 1 or 2.
    struct RootPrefix {
        std::string prefix;
        int version = 0;
    };

private:
    // Looked up once, so reading a point compares prefixes only.
    std::vector<RootPrefix> m_rootPrefixes;
};

} // namespace wend
