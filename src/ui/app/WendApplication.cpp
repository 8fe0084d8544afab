#include "ui/app/WendApplication.h"

#include "ui/app/MapKeyRouter.h"
#include "ui/app/DocumentController.h"
#include "ui/app/DocumentWindow.h"
#include "ui/app/EditorCommandLine.h"
#include "ui/app/QSettingsPreferences.h"
#include "ui/app/SingleInstance.h"
#include "ui/mapview/GMapView.h"
#include "ui/mapview/GPSView.h"
#include "ui/mapview/TooltipView.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <unistd.h>

namespace wend {

namespace {
constexpr int kScreenshotTimeoutMs = 10000;
constexpr int kPollIntervalMs = 100;

void setDefaultEnvironment(const char* name, const char* value) {
    if (!std::getenv(name))
        setenv(name, value, 0);
}

void printError(const QString& line) {
    std::fprintf(stderr, "wend: %s\n", line.simplified().toLocal8Bit().constData());
}

// Runs the event loop until the condition holds or the deadline passes.
bool waitUntil(const std::function<bool()>& condition, const QElapsedTimer& clock, int timeoutMs) {
    while (!condition()) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return false;
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(std::min<qint64>(left, kPollIntervalMs)), &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Whether every tile image of the page has finished, loaded or failed.
bool tilesComplete(GMapView& view, const QElapsedTimer& clock, int timeoutMs) {
    auto answer = std::make_shared<int>(-1);
    view.page()->runJavaScript(
        QStringLiteral("(function () {"
                       "  var tiles = document.querySelectorAll('img.leaflet-tile');"
                       "  for (var i = 0; i < tiles.length; ++i)"
                       "    if (!tiles[i].complete) return false;"
                       "  return true;"
                       "})()"),
        [answer](const QVariant& value) { *answer = value.toBool() ? 1 : 0; });
    waitUntil([&] { return *answer >= 0; }, clock, timeoutMs);
    return *answer == 1;
}
} // namespace

void WendApplication::prepareEnvironment(bool screenshot) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0) {
        setDefaultEnvironment("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    if (screenshot && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setDefaultEnvironment("QT_QPA_PLATFORM", "offscreen");
}

int WendApplication::main(int argc, char** argv) {
    setApplicationNames();
    EditorCommandLine commandLine = EditorCommandLine::parse(argc, argv);
    commandLine.files = SingleInstance::absolutePaths(commandLine.files);
    auto instance = std::make_unique<SingleInstance>();
    SingleInstance::Role role = SingleInstance::Role::Alone;
    if (!commandLine.newInstance) {
        role = instance->claim(commandLine.files);
        if (role == SingleInstance::Role::HandedOver)
            return 0;
    }
    prepareEnvironment(commandLine.screenshot);
    WendApplication application(argc, argv);
    const int status = application.run(
        commandLine, role == SingleInstance::Role::Primary ? instance.get() : nullptr);
    // The socket closes while the application object still exists.
    instance.reset();
    return status;
}

void WendApplication::setApplicationNames() {
    setOrganizationName(QStringLiteral("Wend"));
    setOrganizationDomain(QStringLiteral("wend.app"));
    setApplicationName(QStringLiteral("Wend"));
    setApplicationVersion(QStringLiteral(WEND_VERSION));
    // The name of the installed desktop entry, icon and metadata.
    setDesktopFileName(QStringLiteral("app.wend.Wend"));
}

WendApplication::WendApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationNames();
    // The installed icon where the desktop's theme has it, else the one built in.
    setWindowIcon(QIcon::fromTheme(desktopFileName(),
                                   QIcon(QStringLiteral(":/app/icons/app.wend.Wend.svg"))));

    m_preferences = std::make_unique<QSettingsPreferences>();
    m_preferences->registerDefaults(Preferences::registeredDefaults());
    m_controller = std::make_unique<DocumentController>(*m_preferences);

    m_router = new MapKeyRouter(
        []() -> QWidget* {
            auto* window = qobject_cast<DocumentWindow*>(QApplication::activeWindow());
            return window ? window->gpsView() : nullptr;
        },
        this);
    installEventFilter(m_router);

    // One user event is one undo step: the event loop is about to wait for the next one.
    m_controller->closeImplicitUndoGroupsAfterEachEvent();
}

WendApplication::~WendApplication() {
    removeEventFilter(m_router);
    m_controller.reset();
    m_preferences.reset();
}

int WendApplication::run(const EditorCommandLine& commandLine, SingleInstance* instance) {
    if (commandLine.screenshot)
        return runScreenshot(commandLine.screenshotOutput, commandLine.files);
    if (instance) {
        // Listening before the first files load lets a later start hand its files over at
        // once; they open when the event loop runs.
        connect(instance, &SingleInstance::openRequested, m_controller.get(),
                [this](const QStringList& paths) {
                    // openDocument brings each window forward, also one already open.
                    for (const QString& path : paths)
                        m_controller->openDocument(path);
                    if (paths.isEmpty())
                        m_controller->newDocument();
                });
        instance->listen();
    }
    m_controller->openStartupDocuments(commandLine.files);
    return exec();
}

int WendApplication::runScreenshot(const QString& output, const QStringList& files) {
    if (files.size() != 1) {
        printError(QStringLiteral("--screenshot needs exactly one file to open"));
        return 2;
    }
    // Nobody is there to answer: alerts take their default button and are kept for the report.
    auto alerts = std::make_shared<QStringList>();
    m_controller->setAlertPresenter([alerts](QWidget*, const AlertRequest& request) {
        alerts->append(request.text.isEmpty() ? request.title
                                              : request.title + QStringLiteral(" ") + request.text);
        return 0;
    });
    QPointer<DocumentWindow> window = m_controller->openDocument(files.constFirst());
    if (!window) {
        printError(QStringLiteral("cannot open %1: %2")
                       .arg(files.constFirst(), alerts->isEmpty()
                                                    ? QStringLiteral("unreadable file")
                                                    : alerts->constLast()));
        return 1;
    }
    QString error;
    if (!saveWindowScreenshot(*window, output, kScreenshotTimeoutMs, &error)) {
        printError(error);
        return 1;
    }
    return 0;
}

bool WendApplication::saveWindowScreenshot(DocumentWindow& window, const QString& path,
                                           int timeoutMs, QString* error) {
    QElapsedTimer clock;
    clock.start();
    GMapView* map = window.mapView();
    if (waitUntil([map] { return map->isMapLoaded(); }, clock, timeoutMs)) {
        waitUntil([&] { return tilesComplete(*map, clock, timeoutMs); }, clock, timeoutMs);
    }
    // A picture of the document, not of the tool's usage bubble.
    if (TooltipView* tooltip = window.gpsView()->tooltipView())
        tooltip->hide();
    // One more round for the frames the last answers asked for.
    QCoreApplication::processEvents();
    const QImage image = window.grab().toImage();
    if (image.isNull() || !image.save(path, "PNG")) {
        if (error)
            *error = QStringLiteral("cannot write the screenshot to %1").arg(path);
        return false;
    }
    return true;
}

} // namespace wend
