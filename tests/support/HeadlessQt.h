#pragma once

// For the programs that run the application's widgets without a display: the widget tests
// and the application benchmark.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QString>
#include <cstdlib>
#include <unistd.h>

namespace wend::test {

// Before the QApplication exists: the offscreen platform unless another was asked for, and,
// as root, the settings without which Qt WebEngine refuses to start its sandbox.
inline void prepareHeadlessQt() {
    auto setDefault = [](const char* name, const char* value) {
        if (!std::getenv(name))
            setenv(name, value, 0);
    };
    setDefault("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0) {
        setDefault("QTWEBENGINE_DISABLE_SANDBOX", "1");
        setDefault("QTWEBENGINE_CHROMIUM_FLAGS",
                   "--disable-gpu --disable-background-networking --no-first-run");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

// Every QSettings of the program reads and writes in `folder`, never the user's settings.
inline void keepSettingsIn(const QString& folder, const QString& organization,
                           const QString& application) {
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        for (const auto scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, folder);
    }
    QCoreApplication::setOrganizationName(organization);
    QCoreApplication::setApplicationName(application);
}

// The caches and the runtime folder (the editor's socket) of this program and of the
// programs it starts live in `folder`; the runtime folder is private, as the editor insists.
inline void keepXDGFoldersIn(const QString& folder) {
    const QString cache = folder + QStringLiteral("/cache");
    const QString runtime = folder + QStringLiteral("/runtime");
    QDir().mkpath(cache);
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
}

} // namespace wend::test
