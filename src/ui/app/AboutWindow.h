#pragma once

#include <QDialog>
#include <QString>

namespace wend {

// The About window: the application's name, its version and build, and what it is.
class AboutWindow : public QDialog {
    Q_OBJECT

public:
    explicit AboutWindow(QWidget* parent = nullptr);

    // The short version, e.g. "0.1.0".
    static QString shortVersionString();
    // A number that grows with every release: major × 10000 + minor × 100 + patch.
    static QString buildNumber();
    // "Version %1 (%2)" with the two above.
    static QString versionText();
};

} // namespace wend
