#include "ui/app/GoogleEarthLauncher.h"

#include "core/base/TempFile.h"
#include "core/formats/KMLWriter.h"

#include <QProcess>
#include <QStandardPaths>

namespace wend {

QString GoogleEarthLauncher::findGoogleEarth(const QStringList& folders) {
    for (const char* name : kProgramNames) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name), folders);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QString GoogleEarthLauncher::showInGoogleEarth(const QString& program,
                                               const GPSDocument& document) {
    const std::string kml = KMLWriter(document).KMLData();
    const auto path = TempFile::writeToTempFileWithExtension(std::string_view(kml), "kml");
    if (!path)
        return {};
    const QString file = QString::fromStdString(*path);
    if (!QProcess::startDetached(program, {file}))
        return {};
    return file;
}

} // namespace wend
