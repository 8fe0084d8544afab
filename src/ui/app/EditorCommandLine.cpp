#include "ui/app/EditorCommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>

namespace wend {

namespace {

// The toolkit's own options (`-style fusion`, `--platform offscreen`, …): the application
// object takes them from the command line; the editor's parser skips them.
constexpr const char* kToolkitOptionsWithValue[] = {"platform",        "platformpluginpath",
                                                    "platformtheme",   "plugin",
                                                    "qwindowgeometry", "geometry",
                                                    "qwindowicon",     "icon",
                                                    "qwindowtitle",    "title",
                                                    "display",         "name",
                                                    "session",         "style",
                                                    "stylesheet",      "qmljsdebugger"};
constexpr const char* kToolkitFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

// How many arguments from `i` on belong to a toolkit option (0: none).
int toolkitOptionLength(const QStringList& arguments, qsizetype i) {
    QString name = arguments[i];
    if (!name.startsWith(QLatin1Char('-')))
        return 0;
    name.remove(0, name.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    for (const char* option : kToolkitOptionsWithValue) {
        if (name == QLatin1String(option))
            return i + 1 < arguments.size() ? 2 : 1;
        if (equals > 0 && name.left(equals) == QLatin1String(option))
            return 1;
    }
    for (const char* flag : kToolkitFlags) {
        if (name == QLatin1String(flag))
            return 1;
    }
    return 0;
}

} // namespace

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

    QStringList given;
    for (int i = 0; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    QStringList arguments;
    for (qsizetype i = 0; i < given.size();) {
        const int skipped = i > 0 ? toolkitOptionLength(given, i) : 0;
        if (skipped == 0)
            arguments << given[i];
        i += std::max(skipped, 1);
    }
    if (!parser.parse(arguments) || parser.isSet(help) || parser.isSet(version) ||
        arguments.contains(QStringLiteral("--help-all"))) {
        // The parser prints through the application object; a plain one needs no display.
        QCoreApplication terminal(argc, argv);
        parser.process(arguments);
    }

    EditorCommandLine result;
    result.files = parser.positionalArguments();
    result.screenshot = parser.isSet(screenshot);
    result.screenshotOutput = parser.value(screenshot);
    result.newInstance = result.screenshot || parser.isSet(newInstance);
    return result;
}

} // namespace wend
