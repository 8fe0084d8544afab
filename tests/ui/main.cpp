// Runs the widget tests inside one QApplication. Works without a display, because the build
// runs this program to list the tests.
#include "support/HeadlessQt.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    wend::test::prepareHeadlessQt();
    testing::InitGoogleTest(&argc, argv);
    // The map's cache and the editor's socket live in folders of the test's own, also for the
    // programs the tests start; so do the settings.
    QTemporaryDir xdgDir;
    wend::test::keepXDGFoldersIn(xdgDir.path());
    QApplication app(argc, argv);
    QTemporaryDir settingsDir;
    wend::test::keepSettingsIn(settingsDir.path(), QStringLiteral("WendTests"),
                               QStringLiteral("test_ui"));
    return RUN_ALL_TESTS();
}
