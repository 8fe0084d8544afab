#include "ui/app/DocumentController.h"

#include "core/document/Preferences.h"
#include "core/document/WendDocument.h"
#include "ui/app/DocumentWindow.h"
#include "ui/app/PreferencesWindow.h"
#include "ui/mapview/GMapView.h"
#include "ui/mapview/MapCache.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace wend {

namespace {
const QString kRecentDocumentsKey = QStringLiteral("RecentDocuments");
const QString kOpenFolderKey = QStringLiteral("DocumentController/openFolder");
// How far each new window sits from the one before, so that neither hides the other.
constexpr int kCascadeOffset = 24;
} // namespace

DocumentController::DocumentController(Preferences& preferences, QObject* parent)
    : QObject(parent), m_preferences(preferences), m_alertPresenter(&runMessageBox) {}

DocumentController::~DocumentController() {
    // Windows refer to the controller; none may outlive it.
    for (const auto& window : m_windows)
        delete window.data();
    delete m_preferencesWindow.data();
}

void DocumentController::setAlertPresenter(AlertPresenter presenter) {
    m_alertPresenter = presenter ? std::move(presenter) : AlertPresenter(&runMessageBox);
}

int DocumentController::runAlert(QWidget* parent, const AlertRequest& request) const {
    return m_alertPresenter(parent, request);
}

// ---- documents
// ------------------------------------------------------------------------------------

QList<DocumentWindow*> DocumentController::documents() const {
    QList<DocumentWindow*> windows;
    for (const auto& window : m_windows)
        if (window)
            windows.append(window.data());
    return windows;
}

DocumentWindow* DocumentController::documentForPath(const QString& path) const {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (DocumentWindow* window : documents())
        if (!window->filePath().isEmpty() && window->filePath() == absolute)
            return window;
    return nullptr;
}

QString DocumentController::nextUntitledName() {
    ++m_untitledCount;
    return m_untitledCount == 1 ? QStringLiteral("Untitled")
                                : QStringLiteral("Untitled %1").arg(m_untitledCount);
}

DocumentWindow* DocumentController::createWindow(const QString& untitledName) {
    auto* window = new DocumentWindow(*this, untitledName);
    connect(window, &DocumentWindow::closed, this, &DocumentController::windowClosed);
    return window;
}

DocumentWindow* DocumentController::newDocument() {
    DocumentWindow* window = createWindow(nextUntitledName());
    addDocument(window);
    return window;
}

DocumentWindow* DocumentController::openDocument(const QString& path) {
    if (DocumentWindow* open = documentForPath(path)) {
        open->show();
        open->raise();
        open->activateWindow();
        return open;
    }
    DocumentWindow* window = createWindow(QString());
    if (!window->readFromFile(path)) {
        delete window;
        return nullptr;
    }
    noteRecentDocument(window->filePath());
    addDocument(window);
    return window;
}

void DocumentController::openDocumentsWithDialog(QWidget* parent) {
    QSettings settings;
    QString folder = settings.value(kOpenFolderKey).toString();
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const QStringList paths = QFileDialog::getOpenFileNames(
        parent, QStringLiteral("Open"), folder, QStringLiteral("GPX files (*.gpx);;All files (*)"));
    if (paths.isEmpty())
        return;
    settings.setValue(kOpenFolderKey, QFileInfo(paths.constFirst()).absolutePath());
    for (const QString& path : paths)
        openDocument(path);
}

void DocumentController::openStartupDocuments(const QStringList& paths) {
    for (const QString& path : paths)
        openDocument(path);
    if (documents().isEmpty())
        newDocument();
}

void DocumentController::addDocument(DocumentWindow* window) {
    // Changes of the current event count: an empty document edited just now is not untouched.
    closeImplicitUndoGroups();
    const QList<DocumentWindow*> open = documents();
    QPoint position = window->pos();
    if (open.size() == 1 && open.front()->isUntouchedEmptyDocument() &&
        !window->document().permanentItems().empty()) {
        position = open.front()->pos();
        open.front()->close();
    } else if (!open.isEmpty()) {
        position = open.back()->pos() + QPoint(kCascadeOffset, kCascadeOffset);
    }
    m_windows.append(window);
    window->move(position);
    window->show();
    window->windowDidLoad();
    window->raise();
    window->activateWindow();
    emit documentsChanged();
}

void DocumentController::windowClosed(DocumentWindow* window) {
    m_windows.removeAll(window);
    emit documentsChanged();
}

// ---- recent documents
// -------------------------------------------------------------------------------

QStringList DocumentController::recentDocuments() const {
    return QSettings().value(kRecentDocumentsKey).toStringList();
}

void DocumentController::noteRecentDocument(const QString& path) {
    if (path.isEmpty())
        return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList recent = recentDocuments();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    while (recent.size() > kMaximumRecentDocuments)
        recent.removeLast();
    QSettings().setValue(kRecentDocumentsKey, recent);
    emit recentDocumentsChanged();
}

void DocumentController::clearRecentDocuments() {
    QSettings().remove(kRecentDocumentsKey);
    emit recentDocumentsChanged();
}

void DocumentController::fillRecentDocumentsMenu(QMenu* menu) {
    menu->clear();
    const QStringList recent = recentDocuments();
    for (const QString& path : recent) {
        const QFileInfo info(path);
        // Two files of the same name are told apart by their folders.
        qsizetype sameName = 0;
        for (const QString& other : recent)
            sameName += QFileInfo(other).fileName() == info.fileName() ? 1 : 0;
        const QString title =
            sameName > 1 ? QStringLiteral("%1 — %2").arg(
                               info.fileName(), QDir::toNativeSeparators(info.absolutePath()))
                         : info.fileName();
        QAction* action = menu->addAction(title, this, [this, path] { openDocument(path); });
        action->setToolTip(path);
        action->setData(path);
    }
    menu->addSeparator();
    QAction* clear = menu->addAction(QStringLiteral("Clear Menu"), this,
                                     &DocumentController::clearRecentDocuments);
    clear->setObjectName(QStringLiteral("clearRecentDocuments"));
    clear->setEnabled(!recent.isEmpty());
}

// ---- tool, preferences, quitting
// ------------------------------------------------------------------

void DocumentController::setCurrentToolIndex(int index) {
    if (index < 0 || index >= kToolCount)
        return;
    const bool changed = index != m_currentToolIndex;
    m_currentToolIndex = index;
    for (DocumentWindow* window : documents())
        window->setCurrentTool(index);
    if (changed)
        emit currentToolIndexChanged(index);
}

void DocumentController::showPreferences() {
    if (!m_preferencesWindow) {
        m_preferencesWindow = new PreferencesWindow(m_preferences);
        m_preferencesWindow->setAttribute(Qt::WA_QuitOnClose, false);
        connect(m_preferencesWindow, &PreferencesWindow::preferenceChanged, this,
                &DocumentController::preferenceChanged);
    }
    m_preferencesWindow->show();
    m_preferencesWindow->raise();
    m_preferencesWindow->activateWindow();
}

PreferencesWindow* DocumentController::preferencesWindow() const {
    return m_preferencesWindow.data();
}

void DocumentController::preferenceChanged(const QString& key) {
    if (key.toStdString() == Preferences::kMapCacheSizeKey)
        MapCache::applySize(*GMapView::mapProfile(m_preferences), m_preferences);
    for (DocumentWindow* window : documents())
        window->preferenceDidChange(key);
}

bool DocumentController::closeAllDocuments() {
    for (DocumentWindow* window : documents()) {
        if (!window->close())
            return false;
    }
    return true;
}

void DocumentController::quit() {
    if (!closeAllDocuments())
        return;
    if (m_preferencesWindow)
        m_preferencesWindow->close();
    QCoreApplication::quit();
}

void DocumentController::closeImplicitUndoGroupsAfterEachEvent() {
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &DocumentController::closeImplicitUndoGroups, Qt::UniqueConnection);
}

void DocumentController::closeImplicitUndoGroups() {
    for (DocumentWindow* window : documents())
        window->document().undoManager().closeImplicitGroup();
}

} // namespace wend
