// Runs the widget tests inside one QApplication. Works without a display, because the build
// runs this program to list the tests.
#include "support/HeadlessQt.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    wend::test::prepareHeadlessQt();
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // Settings written by a test land in a folder of the test's own, and so do the map's
    // cache and the editor's socket, also for the programs the tests start.
    QTemporaryDir settingsDir;
    wend::test::keepSettingsIn(settingsDir.path(), QStringLiteral("WendTests"),
                               QStringLiteral("test_ui"));
    QTemporaryDir xdgDir;
    wend::test::keepXDGFoldersIn(xdgDir.path());
    return RUN_ALL_TESTS();
}
