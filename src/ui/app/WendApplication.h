#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>
#include <memory>

namespace wend {

class MapKeyRouter;
class DocumentController;
class DocumentWindow;
class EditorCommandLine;
class QSettingsPreferences;
class SingleInstance;

// The application: its names for the settings, the one preferences store with the registered
// defaults, the document controller, Ctrl+Space routed to the active map view, and the end of
// every user event closing the documents' implicit undo groups.
//
// `wend [FILE.gpx ...]` opens each file in its own window (a new empty document when none
// opens), in the running editor when there is one; `wend --screenshot OUT.png FILE.gpx` saves
// the window of the file as a PNG and quits.
class WendApplication : public QApplication {
    Q_OBJECT

public:
    // The whole program: reads the command line, hands the files to the running editor or
    // becomes it, and runs. The exit status.
    static int main(int argc, char** argv);

    // The names that settings, caches and the desktop use; static, so they hold before the
    // application object exists.
    static void setApplicationNames();

    // What the process needs before the application object exists: the shared GL contexts of
    // the web map, the engine's sandbox (impossible as root), and the offscreen platform for
    // screenshots taken without a display.
    static void prepareEnvironment(bool screenshot);

    WendApplication(int& argc, char** argv);
    ~WendApplication() override;

    QSettingsPreferences& preferences() const { return *m_preferences; }
    DocumentController& documentController() const { return *m_controller; }

    // Opens the windows the command line asks for and runs the event loop; the exit status.
    // With `instance`, files handed over by later starts open as windows of this process.
    int run(const EditorCommandLine& commandLine, SingleInstance* instance);

    // Waits until the window's map page has loaded and its tiles have arrived (at most
    // `timeoutMs` in all; the window is saved as it is then), and saves the window as a PNG.
    // False with the reason in `error` when the image could not be written.
    static bool saveWindowScreenshot(DocumentWindow& window, const QString& path, int timeoutMs,
                                     QString* error);

private:
    int runScreenshot(const QString& output, const QStringList& files);

    std::unique_ptr<QSettingsPreferences> m_preferences;
    std::unique_ptr<DocumentController> m_controller;
    MapKeyRouter* m_router = nullptr;
};

} // namespace wend
