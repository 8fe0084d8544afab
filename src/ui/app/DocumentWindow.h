#pragma once

#include "core/document/DocumentAction.h"
#include "core/document/WendDocumentDelegate.h"
#include "ui/app/QtClipboard.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QActionGroup;
class QComboBox;
class QMenu;
class QMimeData;
class QSplitter;
class QTimer;

namespace wend {

class DocumentController;
class GMapView;
class GPSView;
class GPSViewDocumentDelegate;
class PointListView;
class ProfilePane;
class StatisticsPane;
class TracksList;
class TracksListView;
class WendDocument;
class WholeItemStatistics;

// The window of one document: the web map with the editing view exactly over it, the tracks
// list beside them and the statistics pane below, a toolbar with the editing tools and the map
// type, and the menus of every command. It is the document's delegate (alerts, fitting,
// scrolling the list) and carries the document's file life: open, save, save as, revert,
// import, drop, export of the selection, print.
class DocumentWindow : public QMainWindow, public WendDocumentDelegate {
    Q_OBJECT

public:
    DocumentWindow(DocumentController& controller, const QString& untitledName,
                   QWidget* parent = nullptr);
    ~DocumentWindow() override;

    WendDocument& document() const { return *m_document; }
    DocumentController& controller() const { return m_controller; }
    GPSView* gpsView() const { return m_gpsView; }
    GMapView* mapView() const { return m_mapView; }
    // The map and the editing view together: what Print and screenshots show.
    QWidget* mapArea() const { return m_mapArea; }
    TracksListView* tracksListView() const { return m_tracksListView; }
    StatisticsPane* statisticsPane() const { return m_statisticsPane; }
    ProfilePane* profilePane() const { return m_profilePane; }
    PointListView* pointListView() const { return m_pointListView; }
    QSplitter* mainSplitter() const { return m_mainSplitter; }
    QSplitter* mapSplitter() const { return m_mapSplitter; }
    QComboBox* mapTypePopUp() const { return m_mapTypePopUp; }

    // ---- file and title -----------------------------------------------------------------------
    // Empty for a document that was never saved.
    const QString& filePath() const { return m_filePath; }
    // The file's name, or "Untitled", "Untitled 2", ... for a new document.
    QString displayName() const;
    // The display name, then " - " and the document's name when it has one; "[*]" marks
    // where the edited marker goes.
    static QString windowTitleForDocumentDisplayName(const QString& displayName,
                                                     const QString& documentName);
    bool isEdited() const;
    // An empty document that nobody has touched: a new window to be replaced by the first file.
    bool isUntouchedEmptyDocument() const;

    // Reads a file into the document with the loading panel; the reader's problems are shown
    // in an alert. False when nothing could be read.
    bool readFromFile(const QString& path);
    // The steps once the window has its size: map type, centring on the items, panes, tool.
    void windowDidLoad();

    // Save; Save As for a document without a file. False when nothing was written.
    bool saveDocument();
    bool saveDocumentAs();
    // Writes the document ("GPX" or "KML") to the path, replacing the file only once it is
    // complete; a GPX save makes the path the document's file. A failure is shown in an alert.
    bool saveToFile(const QString& path, const QString& type = QStringLiteral("GPX"));
    // Asks, then reads the document's file again. False when cancelled or unreadable.
    bool revertDocumentToSaved();
    // The standard question before closing an edited document: true when the window may close
    // (saved, or the changes were discarded).
    bool confirmClose();

    // ---- commands with a dialog of their own ------------------------------------------------
    void importWithDialog();
    std::size_t importFiles(const QStringList& paths);
    // "gpx" or "kml".
    void exportSelectionWithDialog(const QString& type);
    // Writes the selection; a failure is shown in an alert. False when nothing was written.
    bool exportSelectionToFile(const QString& path, const QString& type, bool googleMapsCompatible);
    void printDocument();
    // The map area as the user sees it now.
    QImage mapImage() const;
    // Hands the selection to Google Earth, or explains where to get it. `programFolders`
    // replaces the PATH when searching (tests).
    void showSelectionInGoogleEarth(const QStringList& programFolders = {});

    // ---- commands, menus and availability -----------------------------------------------------
    // Every menu entry of a command, with its command.
    const std::vector<std::pair<QAction*, DocumentAction>>& commandActions() const {
        return m_commandActions;
    }
    // The first entry of a command; null when it has none.
    QAction* actionFor(DocumentAction action) const;
    // An entry by its object name ("undo", "redo", "save", "revert", ...).
    QAction* actionNamed(const QString& name) const;
    // Enables every entry through the document's availability rules, updates Undo and Redo.
    void validateActions();
    bool canPaste() const;
    QtClipboard& clipboard() { return m_clipboard; }
    // The document's tracks list (row selection, renaming, item types, dragging).
    TracksList& tracksList() const;

    // The shared editing tool: checks the tool's segment and hands it to the map view.
    void setCurrentTool(int index);
    // The point list below the map: shown or hidden in this window; the menu command also
    // stores the choice as the preference for new windows.
    bool isPointListShown() const;
    void setPointListShown(bool shown);
    void toggleEditablePointList();
    // Applies a preference the preferences window has just stored.
    void preferenceDidChange(const QString& key);
    // The map type of the web map, stored as the preference for new windows.
    void changeMapType(int type);

    // ---- WendDocumentDelegate -----------------------------------------------------------------
    int runAlert(const std::string& title, const std::string& text,
                 const std::vector<std::string>& buttons) override;
    void fitTracksToView() override;
    void rememberTracksListScrollPosition() override;
    void restoreTracksListScrollPosition() override;
    void scrollSelectedRowIntoView() override;

signals:
    // The window has closed (and will be deleted).
    void closed(DocumentWindow* window);
    void filePathChanged(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildPanes();
    void buildToolBar();
    // The shared tools, the waypoint editor of the add waypoint tool, tool switching by a tool.
    void connectMapTools();
    void buildMenus();
    QAction* addCommand(QMenu* menu, const QString& title, DocumentAction action,
                        void (DocumentWindow::*slot)(), const QKeySequence& shortcut = {});
    QAction* addCommand(QMenu* menu, const QString& title, DocumentAction action,
                        std::function<void()> run, const QKeySequence& shortcut = {});
    QAction* addMenuAction(QMenu* menu, const QString& name, const QString& title,
                           std::function<void()> run, const QKeySequence& shortcut = {});
    void connectDocument();
    void updateWindowTitle();
    void updateUndoActions();
    void updateMapTypeControls();
    void restoreWindowState();
    void saveWindowState() const;
    std::vector<std::string> droppedFiles(const QMimeData* mime) const;
    void alert(const QString& title, const QString& text);

    // ---- command handlers ----------------------------------------------------------------------
    void performDelete();
    void performCut();
    void performCopy();
    void performPaste();
    void copyStatistics();
    void copyCenterCoordinates();
    void copyLink();
    void openItemLink();
    void fitSelectionToView();
    void undo();
    void redo();
    void runCommand(const std::function<bool(WendDocument&)>& command);
    void tracksListRename();
    void tracksListCopy();
    void tracksListDelete();
    void tracksListSetType(const QString& title);
    void toggleStatisticsPane();
    void toggleProfilePane();
    // Gives a pane of the map's column this height, taking the difference from the map.
    void setMapColumnPaneHeight(QWidget* pane, int height);
    void profileExpandedChanged(bool expanded);

    DocumentController& m_controller;
    std::unique_ptr<WendDocument> m_document;
    QString m_untitledName;
    QString m_filePath;
    QtClipboard m_clipboard;
    // Whether the clipboard's contents have changed since canPaste last decoded them.
    mutable std::optional<bool> m_canPaste;

    QSplitter* m_mainSplitter = nullptr;
    QSplitter* m_mapSplitter = nullptr;
    QWidget* m_mapArea = nullptr;
    GMapView* m_mapView = nullptr;
    GPSView* m_gpsView = nullptr;
    std::unique_ptr<GPSViewDocumentDelegate> m_gpsViewDelegate;
    TracksListView* m_tracksListView = nullptr;
    StatisticsPane* m_statisticsPane = nullptr;
    WholeItemStatistics* m_wholeItemStatistics = nullptr;
    ProfilePane* m_profilePane = nullptr;
    // The profile's height while open, remembered across closing it and across sessions.
    int m_profileHeight = 0;
    PointListView* m_pointListView = nullptr;
    // The point list's height while shown, remembered the same way.
    int m_pointListHeight = 0;
    QComboBox* m_mapTypePopUp = nullptr;
    QActionGroup* m_toolActions = nullptr;
    QActionGroup* m_toolMenuActions = nullptr;
    QActionGroup* m_mapTypeActions = nullptr;
    QMenu* m_recentMenu = nullptr;
    QTimer* m_mapAlignmentTimer = nullptr;
    std::vector<std::pair<QAction*, DocumentAction>> m_commandActions;
    std::vector<std::uint64_t> m_connections;
    // While the editing view's move is handed to the web map, the map's answer is not an
    // order for the editing view.
    bool m_movingMap = false;
    bool m_loaded = false;
    bool m_closing = false;
};

} // namespace wend
