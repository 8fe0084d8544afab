#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace wend {

class GPSDocument;

// Hands a document to Google Earth: a temporary KML file opened by the Google Earth program.
class GoogleEarthLauncher {
public:
    // The programs of "Google Earth Pro" and "Google Earth", tried in this order.
    static constexpr std::array<const char*, 2> kProgramNames = {"google-earth-pro",
                                                                 "google-earth"};

    // The full path of the first program found in the folders (the PATH when none are given);
    // empty when there is none.
    static QString findGoogleEarth(const QStringList& folders = {});

    // Writes the document's KML to a new temporary file and starts the program with it.
    // Returns the file's path, or an empty text when the file could not be written or the
    // program could not be started.
    static QString showInGoogleEarth(const QString& program, const GPSDocument& document);
};

} // namespace wend
