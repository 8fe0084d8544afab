#pragma once

#include "core/tools/ToolSet.h"
#include "ui/app/AlertPresenter.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QMenu;
class QWidget;

namespace wend {

class DocumentWindow;
class Preferences;
class PreferencesWindow;

// The application's documents: one window per document. Opens files (the Open dialog, Open
// Recent, the command line), creates new empty documents, replaces the untouched empty window
// when a file with items opens, keeps the editing tool shared by every window, and asks about
// unsaved changes before quitting.
class DocumentController : public QObject {
    Q_OBJECT

public:
    // Positions of the editing tools.
    enum Tool : int {
        RangeSelectionTool = ToolSet::RangeSelection,
        BoxSelectionTool = ToolSet::BoxSelection,
        ItemSelectionTool = ToolSet::ItemSelection,
        AddTrackTool = ToolSet::AddTrack,
        EditPointTool = ToolSet::EditPoint,
        AddWaypointTool = ToolSet::AddWaypoint,
    };
    static constexpr int kToolCount = ToolSet::kToolCount;
    static constexpr int kMaximumRecentDocuments = 10;

    // The preferences must outlive the controller and its windows.
    explicit DocumentController(Preferences& preferences, QObject* parent = nullptr);
    ~DocumentController() override;

    Preferences& preferences() const { return m_preferences; }

    // How windows ask the user; tests answer in its place. Applies to open windows too.
    const AlertPresenter& alertPresenter() const { return m_alertPresenter; }
    void setAlertPresenter(AlertPresenter presenter);
    int runAlert(QWidget* parent, const AlertRequest& request) const;

    // ---- documents --------------------------------------------------------------------------
    // The open windows, oldest first.
    QList<DocumentWindow*> documents() const;
    DocumentWindow* documentForPath(const QString& path) const;
    // A new empty document in a new window, shown.
    DocumentWindow* newDocument();
    // Opens a file in a window of its own (or brings forward the window that has it open).
    // The loading panel shows while it is read; what the reader reports is shown in an alert.
    // Null when the file could not be read; the other windows stay as they were.
    DocumentWindow* openDocument(const QString& path);
    // Asks for files ("GPX" files) and opens each.
    void openDocumentsWithDialog(QWidget* parent);
    // The files named on the command line; a new empty document when none could be opened.
    void openStartupDocuments(const QStringList& paths);
    // Adds a window that has just been created or loaded: when the only open document is an
    // untouched empty one and the new one has items, the empty window is closed first.
    void addDocument(DocumentWindow* window);

    // ---- recent documents ---------------------------------------------------------------------
    QStringList recentDocuments() const;
    void noteRecentDocument(const QString& path);
    void clearRecentDocuments();
    // Fills an Open Recent menu: one entry per file, then "Clear Menu".
    void fillRecentDocumentsMenu(QMenu* menu);

    // ---- the shared editing tool ----------------------------------------------------------------
    // The six tools, shared by every window.
    ToolSet& tools() { return m_tools; }
    int currentToolIndex() const { return m_currentToolIndex; }
    GPSViewTool* currentTool() const { return m_tools.tool(m_currentToolIndex); }
    // Indexes outside the six tools are ignored.
    void setCurrentToolIndex(int index);
    // Makes the shared tool of the given tool's class current (a fresh instance will do).
    void setCurrentTool(const GPSViewTool& tool) { setCurrentToolIndex(m_tools.positionOf(tool)); }

    // ---- preferences and quitting
    // ----------------------------------------------------------------
    void showPreferences();
    // Null until first shown.
    PreferencesWindow* preferencesWindow() const;
    // Closes every window, asking about each edited one; false (and the remaining windows stay
    // open) when the user cancels.
    bool closeAllDocuments();
    // Closes every window (asking about unsaved changes), then ends the application.
    void quit();

    // Ends the current user event for every open document: its changes become one undo step.
    void closeImplicitUndoGroups();
    // From now on, every time the event loop is about to wait for the next event, the current
    // event ends (closeImplicitUndoGroups).
    void closeImplicitUndoGroupsAfterEachEvent();

signals:
    void currentToolIndexChanged(int index);
    void recentDocumentsChanged();
    void documentsChanged();

private:
    void windowClosed(DocumentWindow* window);
    void preferenceChanged(const QString& key);
    DocumentWindow* createWindow(const QString& untitledName);
    QString nextUntitledName();

    Preferences& m_preferences;
    AlertPresenter m_alertPresenter;
    QList<QPointer<DocumentWindow>> m_windows;
    QPointer<PreferencesWindow> m_preferencesWindow;
    ToolSet m_tools;
    int m_currentToolIndex = 0;
    int m_untitledCount = 0;
};

} // namespace wend
