#include "ui/app/EditorCommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

namespace wend {

EditorCommandLine EditorCommandLine::parse(int argc, char** argv) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Wend, an editor for GPS tracks in GPX files. Files opened while Wend "
                       "runs open as windows of the running Wend."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption newInstance(
        QStringLiteral("new-instance"),
        QStringLiteral("Start a separate Wend instead of opening the files in the running one."));
    parser.addOption(newInstance);
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Open FILE.gpx, save its window as a PNG image to OUT.png once the map has "
                       "loaded (at most 10 seconds), and quit. Implies --new-instance."),
        QStringLiteral("OUT.png"));
    parser.addOption(screenshot);
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("GPX files to open, each in its own window."),
                                 QStringLiteral("[FILE.gpx ...]"));

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!parser.parse(arguments) || parser.isSet(help) || parser.isSet(version) ||
        arguments.contains(QStringLiteral("--help-all"))) {
        // The parser prints through the application object; a plain one needs no display.
        QCoreApplication terminal(argc, argv);
        parser.process(terminal);
    }

    EditorCommandLine result;
    result.files = parser.positionalArguments();
    result.screenshot = parser.isSet(screenshot);
    result.screenshotOutput = parser.value(screenshot);
    result.newInstance = result.screenshot || parser.isSet(newInstance);
    return result;
}

} // namespace wend
