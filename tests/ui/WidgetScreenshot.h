#pragma once

#include <QDir>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

namespace wend::test {

// Saves what the widget shows into the build folder's screenshots/, to look at after a run.
inline void saveScreenshot(QWidget& widget, const char* name) {
    QDir().mkpath(QStringLiteral(WEND_BINARY_DIR "/screenshots"));
    const QString path = QStringLiteral(WEND_BINARY_DIR "/screenshots/%1").arg(QLatin1String(name));
    EXPECT_TRUE(widget.grab().save(path)) << path.toStdString();
}

} // namespace wend::test
