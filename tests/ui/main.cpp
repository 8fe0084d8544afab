// Runs the widget tests inside one QApplication. Works without a display, because the build
// runs this program to list the tests.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

void setDefaultEnvironment(const char* name, const char* value) {
    if (!std::getenv(name))
        setenv(name, value, 0);
}

} // namespace

int main(int argc, char** argv) {
    setDefaultEnvironment("QT_QPA_PLATFORM", "offscreen");
    // The engine refuses to start its sandbox as root.
    if (geteuid() == 0) {
        setDefaultEnvironment("QTWEBENGINE_DISABLE_SANDBOX", "1");
        setDefaultEnvironment("QTWEBENGINE_CHROMIUM_FLAGS",
                              "--disable-gpu --disable-background-networking --no-first-run");
    }
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // Settings written by a test land in a folder of the test's own, never the user's.
    QTemporaryDir settingsDir;
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        for (const auto scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, settingsDir.path());
    }
    QApplication::setOrganizationName(QStringLiteral("WendTests"));
    QApplication::setApplicationName(QStringLiteral("test_ui"));
    return RUN_ALL_TESTS();
}
