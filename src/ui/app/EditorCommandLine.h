#pragma once

#include <QString>
#include <QStringList>

namespace wend {

// The editor's command line:
//   wend [--new-instance] [FILE.gpx ...]
//   wend --screenshot OUT.png FILE.gpx
//   wend --help | --version
// Read before the application object exists, so that a start that only hands its files to the
// running editor, or only prints its help, never connects to the display.
class EditorCommandLine {
public:
    // Answers --help and --version, and reports mistakes, on the terminal and ends the process
    // (status 0 and 1); otherwise returns what was asked.
    static EditorCommandLine parse(int argc, char** argv);

    QStringList files;
    // Empty unless --screenshot was given.
    QString screenshotOutput;
    bool screenshot = false;
    // Run as a process of its own instead of handing the files to the running editor;
    // --screenshot implies it.
    bool newInstance = false;
};

} // namespace wend
