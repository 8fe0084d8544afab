#include "ui/app/DocumentWindow.h"

#include "core/document/BackgroundFileRead.h"
#include "core/document/Preferences.h"
#include "core/document/TracksList.h"
#include "core/document/ViewCommands.h"
#include "core/document/WendDocument.h"
#include "ui/app/DocumentController.h"
#include "ui/app/GoogleEarthLauncher.h"
#include "ui/app/LoadingPanel.h"
#include "ui/app/MapPrinter.h"
#include "ui/app/PreferencesWindow.h"
#include "ui/app/StatisticsPane.h"
#include "ui/app/TracksListModel.h"
#include "ui/app/TracksListView.h"
#include "ui/app/WholeItemStatistics.h"
#include "ui/dialogs/EditWaypointDialog.h"
#include "ui/mapview/GMapView.h"
#include "ui/mapview/GPSView.h"
#include "ui/mapview/GPSViewDocumentDelegate.h"
#include "ui/pointlist/PointListView.h"
#include "ui/profile/ProfileChartView.h"
#include "ui/profile/ProfilePane.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

// The resources of a static library are registered by hand.
static void initApplicationResources() {
    Q_INIT_RESOURCE(app);
}

namespace wend {

namespace {
const QString kGeometryKey = QStringLiteral("DocumentWindow/geometry");
const QString kMainSplitterKey = QStringLiteral("DocumentWindow/mainSplitter");
const QString kLastFolderKey = QStringLiteral("DocumentWindow/lastFolder");
const QString kProfileOpenKey = QStringLiteral("DocumentWindow/profileOpen");
const QString kProfileHeightKey = QStringLiteral("DocumentWindow/profileHeight");
const QString kPointListHeightKey = QStringLiteral("DocumentWindow/pointListHeight");
constexpr int kInitialListWidth = 470;
// How often the loading panel shows how far a read has come (milliseconds).
constexpr int kLoadingProgressInterval = 30;

QString qstring(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString lastFolder() {
    const QString folder = QSettings().value(kLastFolderKey).toString();
    return folder.isEmpty() || !QDir(folder).exists() ? QDir::homePath() : folder;
}

void rememberFolderOf(const QString& path) {
    QSettings().setValue(kLastFolderKey, QFileInfo(path).absolutePath());
}
} // namespace

DocumentWindow::DocumentWindow(DocumentController& controller, const QString& untitledName,
                               QWidget* parent)
    : QMainWindow(parent), m_controller(controller),
      m_document(std::make_unique<WendDocument>(controller.preferences())),
      m_untitledName(untitledName) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    m_document->setDelegate(this);

    initApplicationResources();
    buildPanes();
    buildMenus();
    buildToolBar();
    connectDocument();
    restoreWindowState();

    m_mapAlignmentTimer = new QTimer(this);
    m_mapAlignmentTimer->setSingleShot(true);
    m_mapAlignmentTimer->setInterval(static_cast<int>(ViewCommands::kMapAlignmentDelay * 1000));
    connect(m_mapAlignmentTimer, &QTimer::timeout, this, [this] {
        const WorldPoint center = m_gpsView->center();
        m_movingMap = true;
        m_mapView->setCenter(center.lon, center.lat,
                             static_cast<unsigned>(std::max(0, m_gpsView->zoomLevel())));
        m_movingMap = false;
    });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        m_canPaste.reset();
        validateActions();
    });

    updateWindowTitle();
    validateActions();
}

DocumentWindow::~DocumentWindow() {
    // The panes and the editing view look at the document: they go before it does.
    m_document->setDelegate(nullptr);
    m_gpsViewDelegate.reset();
    delete takeCentralWidget();
    m_document->selectionDidChange().disconnectAll();
    m_document->trackDataDidChange().disconnectAll();
    m_document->itemsNeedRedisplay().disconnectAll();
    m_document->statisticsNeedRefresh().disconnectAll();
    m_document->documentNameDidChange().disconnectAll();
    m_document->undoManager().editedStateDidChange().disconnectAll();
    m_document->undoManager().changeCountDidChange().disconnectAll();
    m_document->undoManager().didRecordStep().disconnectAll();
}

// ---- panes ------------------------------------------------------------------------------------

void DocumentWindow::buildPanes() {
    Preferences& preferences = m_controller.preferences();

    m_mapArea = new QWidget;
    m_mapArea->setObjectName(QStringLiteral("mapArea"));
    auto* mapLayout = new QVBoxLayout(m_mapArea);
    mapLayout->setContentsMargins(0, 0, 0, 0);
    m_mapView = new GMapView(preferences, m_mapArea);
    mapLayout->addWidget(m_mapView);
    m_gpsView = new GPSView(preferences, m_mapArea);
    m_gpsView->placeOver(m_mapView);
    m_gpsViewDelegate = std::make_unique<GPSViewDocumentDelegate>(*m_document, *m_gpsView);
    m_mapArea->setMinimumWidth(static_cast<int>(-TracksList::constrainMaxCoordinate(0)));
    m_mapArea->setMinimumHeight(200);

    connect(m_gpsView, &GPSView::willMoveTo, this, [this](double lon, double lat, int zoomLevel) {
        m_movingMap = true;
        m_mapView->setCenter(lon, lat, static_cast<unsigned>(std::max(0, zoomLevel)));
        m_movingMap = false;
    });
    connect(m_mapView, &GMapView::willMoveTo, this, [this](double, double, unsigned zoomLevel) {
        // The web map moved by itself: the editing view takes its zoom, never its centre.
        if (m_movingMap)
            return;
        if (ViewCommands::viewShouldTakeMapZoomLevel(m_gpsView->zoomLevel(), zoomLevel))
            m_gpsView->setZoomLevel(static_cast<int>(zoomLevel));
    });

    // The tracks list and the statistics pane share the walks over whole items.
    m_wholeItemStatistics = new WholeItemStatistics(*m_document, this);
    m_tracksListView = new TracksListView(*m_document, m_wholeItemStatistics);
    m_tracksListView->setObjectName(QStringLiteral("tracksList"));
    m_tracksListView->setClipboard(&m_clipboard);
    m_tracksListView->setMinimumWidth(static_cast<int>(TracksList::constrainMinCoordinate(0)));
    connect(m_tracksListView, &TracksListView::fitSelectionToViewRequested, this,
            &DocumentWindow::fitSelectionToView);

    m_statisticsPane = new StatisticsPane;
    m_statisticsPane->setObjectName(QStringLiteral("statisticsPane"));
    m_statisticsPane->setClipboard(&m_clipboard);
    m_statisticsPane->setDocument(m_document.get(), m_wholeItemStatistics);
    connect(m_statisticsPane, &StatisticsPane::expandedChanged, this,
            [this] { validateActions(); });

    m_pointListView = new PointListView(*m_document);
    m_pointListView->setObjectName(QStringLiteral("pointList"));
    m_pointListView->hide();
    connect(m_pointListView, &PointListView::centerMapRequested, this,
            [this](double lon, double lat) { m_gpsView->setCenter(lon, lat); });

    m_profilePane = new ProfilePane;
    m_profilePane->setObjectName(QStringLiteral("profilePane"));
    m_profilePane->setDocument(m_document.get());
    m_profilePane->chartView()->setAlertFunction(
        [this](const QString& title, const QString& text) { alert(title, text); });
    connect(m_profilePane, &ProfilePane::expandedChanged, this,
            &DocumentWindow::profileExpandedChanged);
    connect(m_profilePane, &ProfilePane::pointHovered, this,
            [this](double lon, double lat) { m_gpsView->setHighlightedPoint(WorldPoint{lon, lat}); });
    connect(m_profilePane, &ProfilePane::hoverEnded, this,
            [this] { m_gpsView->setHighlightedPoint(std::nullopt); });
    connectMapTools();

    // The map's column, top to bottom: the map takes what the panes below it leave.
    m_mapSplitter = new QSplitter(Qt::Vertical);
    m_mapSplitter->setObjectName(QStringLiteral("mapSplitter"));
    m_mapSplitter->setChildrenCollapsible(false);
    for (QWidget* pane : {m_mapArea, static_cast<QWidget*>(m_profilePane),
                          static_cast<QWidget*>(m_pointListView),
                          static_cast<QWidget*>(m_statisticsPane)})
        m_mapSplitter->addWidget(pane);
    for (int i = 0; i < m_mapSplitter->count(); ++i)
        m_mapSplitter->setStretchFactor(i, m_mapSplitter->widget(i) == m_mapArea ? 1 : 0);
    // The statistics pane sizes itself to its rows; the map takes or gives the difference, so
    // no empty strip is left below the pane when it gets shorter.
    connect(m_statisticsPane, &StatisticsPane::paneHeightChanged, this,
            [this](int height) { setMapColumnPaneHeight(m_statisticsPane, height); });
    connect(m_mapSplitter, &QSplitter::splitterMoved, this, [this] {
        if (m_profilePane->isExpanded())
            m_profileHeight = m_profilePane->height();
        if (isPointListShown())
            m_pointListHeight = m_pointListView->height();
    });

    m_mainSplitter = new QSplitter(Qt::Horizontal);
    m_mainSplitter->setObjectName(QStringLiteral("mainSplitter"));
    m_mainSplitter->setChildrenCollapsible(false);
    m_mainSplitter->addWidget(m_tracksListView);
    m_mainSplitter->addWidget(m_mapSplitter);
    m_mainSplitter->setStretchFactor(0, 0);
    m_mainSplitter->setStretchFactor(1, 1);
    // Wide enough for names beside the figures; the user's own width is restored later.
    m_mainSplitter->setSizes({kInitialListWidth, 800});

    setCentralWidget(m_mainSplitter);
}

void DocumentWindow::connectMapTools() {
    m_gpsView->setToolSet(&m_controller.tools());
    connect(m_gpsView, &GPSView::toolSelectionRequested, this,
            [this](int position) { m_controller.setCurrentToolIndex(position); });
    m_gpsView->setWaypointEditorRunner([this](const GPSItemPtr& waypoint) {
        EditWaypointDialog dialog(m_controller.preferences(), this);
        return dialog.mutateItems(*m_document, {waypoint});
    });
    // The statistics follow a drag at most every 100 ms, and exactly at its end.
    // The profile and the point list follow the same rule.
    for (const bool throttled : {true, false}) {
        connect(m_gpsView, throttled ? &GPSView::toolDragStarted : &GPSView::toolDragEnded, this,
                [this, throttled] {
                    m_wholeItemStatistics->setHeld(throttled);
                    m_statisticsPane->setRefreshThrottled(throttled);
                    m_profilePane->setRefreshThrottled(throttled);
                    m_pointListView->setRefreshThrottled(throttled);
                });
    }
}

void DocumentWindow::buildToolBar() {
    auto* toolBar = addToolBar(QStringLiteral("Tools"));
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setMovable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar->setIconSize(QSize(24, 24));

    static const char* const kToolTitles[DocumentController::kToolCount] = {
        "Range", "Box", "Item", "Add Track", "Edit Point", "Add Waypoint"};
    static const char* const kToolIcons[DocumentController::kToolCount] = {
        "tool-range",     "tool-box",        "tool-item",
        "tool-add-track", "tool-edit-point", "tool-add-waypoint"};
    m_toolActions = new QActionGroup(this);
    m_toolActions->setExclusive(true);
    for (int i = 0; i < DocumentController::kToolCount; ++i) {
        auto* action = new QAction(QString::fromLatin1(kToolTitles[i]), m_toolActions);
        action->setObjectName(QStringLiteral("toolbarTool%1").arg(i));
        action->setCheckable(true);
        action->setData(i);
        action->setToolTip(GPSView::toolName(i));
        action->setIcon(
            QIcon(QStringLiteral(":/app/icons/%1.svg").arg(QString::fromLatin1(kToolIcons[i]))));
        connect(action, &QAction::triggered, this,
                [this, i] { m_controller.setCurrentToolIndex(i); });
        toolBar->addAction(action);
        m_commandActions.emplace_back(action, DocumentAction::ToolbarSetCurrentTool);
    }
    toolBar->addSeparator();
    const std::pair<const char*, const char*> zoomButtons[] = {{"zoomIn", "zoom-in"},
                                                               {"zoomOut", "zoom-out"}};
    for (const auto& [name, icon] : zoomButtons) {
        if (QAction* zoom = actionNamed(QString::fromLatin1(name))) {
            zoom->setIcon(
                QIcon(QStringLiteral(":/app/icons/%1.svg").arg(QString::fromLatin1(icon))));
            toolBar->addAction(zoom);
        }
    }
    toolBar->addSeparator();

    m_mapTypePopUp = new QComboBox(toolBar);
    m_mapTypePopUp->setObjectName(QStringLiteral("mapTypePopUp"));
    for (const auto title : ViewCommands::mapTypeTitles())
        m_mapTypePopUp->addItem(qstring(title));
    connect(m_mapTypePopUp, &QComboBox::activated, this,
            [this](int index) { changeMapType(index); });
    toolBar->addWidget(m_mapTypePopUp);
}

void DocumentWindow::connectDocument() {
    WendDocument& document = *m_document;
    document.selectionDidChange().connect([this] { validateActions(); });
    document.trackDataDidChange().connect([this] { validateActions(); });
    document.documentNameDidChange().connect([this] { updateWindowTitle(); });
    document.undoManager().editedStateDidChange().connect(
        [this] { setWindowModified(isEdited()); });
    document.undoManager().changeCountDidChange().connect([this] { updateUndoActions(); });
    document.undoManager().didRecordStep().connect([this] { updateUndoActions(); });
}

TracksList& DocumentWindow::tracksList() const {
    return m_tracksListView->tracksListModel()->tracksList();
}

// ---- title --------------------------------------------------------------------------------------

QString DocumentWindow::displayName() const {
    return m_filePath.isEmpty() ? m_untitledName : QFileInfo(m_filePath).fileName();
}

QString DocumentWindow::windowTitleForDocumentDisplayName(const QString& displayName,
                                                          const QString& documentName) {
    if (documentName.isEmpty())
        return displayName + QStringLiteral("[*]");
    return QStringLiteral("%1[*] - %2").arg(displayName, documentName);
}

void DocumentWindow::updateWindowTitle() {
    setWindowTitle(windowTitleForDocumentDisplayName(
        displayName(), QString::fromStdString(m_document->GPSDoc()->documentName())));
    setWindowFilePath(m_filePath);
    setWindowModified(isEdited());
}

bool DocumentWindow::isEdited() const {
    return m_document->isEdited();
}

bool DocumentWindow::isUntouchedEmptyDocument() const {
    return m_document->permanentItems().empty() && !isEdited();
}

// ---- window state -------------------------------------------------------------------------------

void DocumentWindow::restoreWindowState() {
    QSettings settings;
    if (!restoreGeometry(settings.value(kGeometryKey).toByteArray()))
        resize(1100, 720);
    m_mainSplitter->restoreState(settings.value(kMainSplitterKey).toByteArray());
    m_profileHeight = std::max(
        settings.value(kProfileHeightKey, ProfilePane::kDefaultExpandedHeight).toInt(),
        ProfilePane::kMinimumExpandedHeight);
    m_profilePane->setPreferredHeight(m_profileHeight);
    m_profilePane->setExpanded(settings.value(kProfileOpenKey, false).toBool());
    m_pointListHeight =
        std::max(settings.value(kPointListHeightKey, PointListView::kDefaultHeight).toInt(),
                 PointListView::kMinimumHeight);
}

void DocumentWindow::saveWindowState() const {
    QSettings settings;
    settings.setValue(kGeometryKey, saveGeometry());
    settings.setValue(kMainSplitterKey, m_mainSplitter->saveState());
    settings.setValue(kProfileOpenKey, m_profilePane->isExpanded());
    settings.setValue(kProfileHeightKey,
                      m_profilePane->isExpanded() ? m_profilePane->height() : m_profileHeight);
    settings.setValue(kPointListHeightKey,
                      isPointListShown() ? m_pointListView->height() : m_pointListHeight);
}

void DocumentWindow::setMapColumnPaneHeight(QWidget* pane, int height) {
    QList<int> sizes = m_mapSplitter->sizes();
    const int index = m_mapSplitter->indexOf(pane);
    const int map = m_mapSplitter->indexOf(m_mapArea);
    if (index < 0 || map < 0 || m_mapSplitter->height() <= 0)
        return;
    // The map keeps at least its minimum; the pane gets what is left up to the height asked.
    const int available = sizes[map] + sizes[index] - m_mapArea->minimumHeight();
    const int given = std::clamp(height, pane->minimumHeight(), std::max(pane->minimumHeight(), available));
    sizes[map] += sizes[index] - given;
    sizes[index] = given;
    m_mapSplitter->setSizes(sizes);
}

void DocumentWindow::profileExpandedChanged(bool expanded) {
    if (expanded) {
        m_profilePane->setPreferredHeight(m_profileHeight);
        setMapColumnPaneHeight(m_profilePane, m_profileHeight);
    } else {
        // The splitter has not yet taken in the collapsed height: this is the open one.
        const int open = m_mapSplitter->sizes().value(m_mapSplitter->indexOf(m_profilePane));
        if (open >= ProfilePane::kMinimumExpandedHeight)
            m_profileHeight = open;
        m_gpsView->setHighlightedPoint(std::nullopt);
        setMapColumnPaneHeight(m_profilePane, ProfilePane::kHeaderHeight);
    }
    // New windows open the profile as it was left.
    QSettings().setValue(kProfileOpenKey, expanded);
    validateActions();
}

bool DocumentWindow::isPointListShown() const {
    return !m_pointListView->isHidden();
}

void DocumentWindow::setPointListShown(bool shown) {
    if (shown != isPointListShown()) {
        if (shown) {
            m_pointListView->show();
            setMapColumnPaneHeight(m_pointListView, m_pointListHeight);
        } else {
            m_pointListHeight = std::max(m_pointListView->height(), PointListView::kMinimumHeight);
            m_pointListView->hide();
        }
    }
    validateActions();
}

void DocumentWindow::toggleEditablePointList() {
    const bool shown = !isPointListShown();
    setPointListShown(shown);
    m_controller.preferences().setShowEditablePointsList(shown);
    if (PreferencesWindow* preferencesWindow = m_controller.preferencesWindow())
        preferencesWindow->reload();
    m_gpsView->setFocus(Qt::OtherFocusReason);
}

// ---- loading ------------------------------------------------------------------------------------

bool DocumentWindow::readFromFile(const QString& path) {
    LoadingPanel panel(QFileInfo(path).fileName());
    // The file is read on another thread while this one keeps serving the event loop and
    // shows the progress. User input waits until the panel shows (and then reaches only the
    // panel, which is modal), as when the read ran on this thread.
    BackgroundFileRead read(QFile::encodeName(path).toStdString(),
                            [] { QMetaObject::invokeMethod(qApp, [] {}, Qt::QueuedConnection); });
    QTimer progress;
    progress.setInterval(kLoadingProgressInterval);
    connect(&progress, &QTimer::timeout, &panel, [&] { panel.setProgress(read.bytesDone(), read.bytesTotal()); });
    progress.start();
    while (!read.isFinished())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        (panel.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents));
    progress.stop();
    const bool installed = m_document->installReadResult(read.takeResult());
    panel.finish();
    if (!installed)
        return false;
    m_filePath = QFileInfo(path).absoluteFilePath();
    updateWindowTitle();
    emit filePathChanged(m_filePath);
    return true;
}

void DocumentWindow::windowDidLoad() {
    Preferences& preferences = m_controller.preferences();
    m_mapView->setMapType(static_cast<unsigned>(std::clamp(preferences.mapType(), 0, 3)));
    updateMapTypeControls();

    const bool hasItems = !m_document->permanentItems().empty();
    // The splitter laid the column out before the window had its size.
    if (m_profilePane->isExpanded())
        setMapColumnPaneHeight(m_profilePane, m_profileHeight);
    setPointListShown(preferences.showEditablePointsList());
    m_gpsView->fitItemsInView();
    setCurrentTool(m_controller.currentToolIndex());
    m_document->postTrackDataChangedNotification();
    m_document->postSelectionChangedNotification();
    // While the window opens, the usage bubble shows only over a document with something to
    // edit; every later change of tool shows it.
    m_controller.setCurrentToolIndex(hasItems ? DocumentController::RangeSelectionTool
                                              : DocumentController::AddTrackTool);
    m_loaded = true;
    m_gpsView->setFocus(Qt::OtherFocusReason);
    validateActions();
}

void DocumentWindow::setCurrentTool(int index) {
    for (QAction* action : m_toolActions->actions())
        action->setChecked(action->data().toInt() == index);
    if (m_toolMenuActions) {
        for (QAction* action : m_toolMenuActions->actions())
            action->setChecked(action->data().toInt() == index);
    }
    if (m_gpsView->currentTool() != index)
        m_gpsView->setCurrentTool(index, m_loaded || !m_document->permanentItems().empty());
}

void DocumentWindow::changeMapType(int type) {
    const int mapType = ViewCommands::changeMapType(
        m_controller.preferences(), ViewCommands::titleForMapType(std::clamp(type, 0, 3)));
    m_mapView->setMapType(static_cast<unsigned>(mapType));
    updateMapTypeControls();
}

void DocumentWindow::updateMapTypeControls() {
    const int type = static_cast<int>(m_mapView->mapType());
    m_mapTypePopUp->setCurrentIndex(type);
    if (m_mapTypeActions) {
        for (QAction* action : m_mapTypeActions->actions())
            action->setChecked(action->data().toInt() == type);
    }
}

void DocumentWindow::preferenceDidChange(const QString& key) {
    const std::string name = key.toStdString();
    if (name == Preferences::kMapTypeKey) {
        m_mapView->setMapType(
            static_cast<unsigned>(std::clamp(m_controller.preferences().mapType(), 0, 3)));
        updateMapTypeControls();
    } else if (name.find("Tile") != std::string::npos) {
        // The tile sources are read whenever a type is sent to the page.
        m_mapView->setMapType(m_mapView->mapType());
    } else if (name == Preferences::kMeasurementSystemKey ||
               name == Preferences::kIgnoreOutliersWhenCalculatingStatisticsKey) {
        m_document->postTrackDataChangedNotification();
        m_gpsView->update();
    } else if (name == Preferences::kShowStatisticsViewKey) {
        m_statisticsPane->setExpanded(m_controller.preferences().showStatistics());
    } else if (name == Preferences::kShowEditablePointsListKey) {
        setPointListShown(m_controller.preferences().showEditablePointsList());
    }
}

// ---- saving -------------------------------------------------------------------------------------

bool DocumentWindow::saveDocument() {
    if (m_filePath.isEmpty())
        return saveDocumentAs();
    return saveToFile(m_filePath);
}

bool DocumentWindow::saveDocumentAs() {
    QFileDialog dialog(this, QStringLiteral("Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QString gpxFilter = QStringLiteral("GPX files (*.gpx)");
    const QString kmlFilter = QStringLiteral("KML files (*.kml)");
    dialog.setNameFilters({gpxFilter, kmlFilter});
    dialog.setDefaultSuffix(QStringLiteral("gpx"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(filter == kmlFilter ? QStringLiteral("kml")
                                                    : QStringLiteral("gpx"));
    });
    if (m_filePath.isEmpty()) {
        dialog.setDirectory(lastFolder());
        dialog.selectFile(displayName() + QStringLiteral(".gpx"));
    } else {
        dialog.selectFile(m_filePath);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString path = dialog.selectedFiles().constFirst();
    rememberFolderOf(path);
    const bool kml = dialog.selectedNameFilter() == kmlFilter ||
                     path.endsWith(QStringLiteral(".kml"), Qt::CaseInsensitive);
    return saveToFile(path, kml ? QStringLiteral("KML") : QStringLiteral("GPX"));
}

bool DocumentWindow::saveToFile(const QString& path, const QString& type) {
    const std::string failure =
        m_document->writeToFile(QFile::encodeName(path).toStdString(), type.toStdString());
    if (!failure.empty()) {
        alert(QStringLiteral("The document “%1” could not be saved as “%2”.")
                  .arg(displayName(), QFileInfo(path).fileName()),
              QString::fromStdString(failure));
        return false;
    }
    // A KML file is a copy for other programs; the document stays with its GPX file.
    if (type == QLatin1String("GPX")) {
        m_filePath = QFileInfo(path).absoluteFilePath();
        m_controller.noteRecentDocument(m_filePath);
        emit filePathChanged(m_filePath);
    }
    updateWindowTitle();
    validateActions();
    return true;
}

bool DocumentWindow::revertDocumentToSaved() {
    if (m_filePath.isEmpty())
        return false;
    const int choice = m_controller.runAlert(
        this, {QStringLiteral("Do you want to revert to the most recently saved version of the "
                              "document “%1”?")
                   .arg(displayName()),
               QStringLiteral("Your current changes will be lost."),
               {QStringLiteral("Revert"), QStringLiteral("Cancel")},
               QMessageBox::Question});
    if (choice != 0)
        return false;
    if (!readFromFile(m_filePath))
        return false;
    validateActions();
    return true;
}

bool DocumentWindow::confirmClose() {
    m_controller.closeImplicitUndoGroups();
    if (!isEdited())
        return true;
    const int choice = m_controller.runAlert(
        this, {QStringLiteral("Do you want to save the changes made to the document “%1”?")
                   .arg(displayName()),
               QStringLiteral("Your changes will be lost if you don't save them."),
               {QStringLiteral("Save"), QStringLiteral("Don't Save"), QStringLiteral("Cancel")},
               QMessageBox::Warning});
    switch (choice) {
    case 0:
        return saveDocument();
    case 1:
        return true;
    default:
        return false;
    }
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (!m_closing && !confirmClose()) {
        event->ignore();
        return;
    }
    if (!m_closing) {
        m_closing = true;
        saveWindowState();
        emit closed(this);
    }
    event->accept();
}

// ---- import, drop, export ---------------------------------------------------------------------

void DocumentWindow::importWithDialog() {
    const QStringList paths = QFileDialog::getOpenFileNames(
        this, QStringLiteral("Import Data"), lastFolder(), QStringLiteral("GPX files (*.gpx)"));
    if (paths.isEmpty())
        return;
    rememberFolderOf(paths.constFirst());
    importFiles(paths);
}

std::size_t DocumentWindow::importFiles(const QStringList& paths) {
    std::vector<std::string> files;
    for (const QString& path : paths)
        files.push_back(QFile::encodeName(path).toStdString());
    const std::size_t imported = m_document->importFiles(files);
    validateActions();
    return imported;
}

std::vector<std::string> DocumentWindow::droppedFiles(const QMimeData* mime) const {
    std::vector<std::string> files;
    if (!mime || !mime->hasUrls())
        return files;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile())
            return {};
        files.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    return files;
}

void DocumentWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (WendDocument::canAcceptDroppedFiles(droppedFiles(event->mimeData()))) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DocumentWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (WendDocument::canAcceptDroppedFiles(droppedFiles(event->mimeData()))) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DocumentWindow::dropEvent(QDropEvent* event) {
    const auto files = droppedFiles(event->mimeData());
    if (!WendDocument::canAcceptDroppedFiles(files)) {
        event->ignore();
        return;
    }
    m_document->importDroppedFiles(files);
    validateActions();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DocumentWindow::exportSelectionWithDialog(const QString& type) {
    const QString kind = type.toLower();
    const bool kml = kind == QLatin1String("kml");
    QFileDialog dialog(this, QStringLiteral("Export Selection"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(kml ? QStringLiteral("KML files (*.kml)")
                             : QStringLiteral("GPX files (*.gpx)"));
    dialog.setDefaultSuffix(kind);
    dialog.setDirectory(lastFolder());
    dialog.selectFile(QString::fromStdString(m_document->suggestedExportFileName()) +
                      QLatin1Char('.') + kind);
    QCheckBox* googleMaps = nullptr;
    if (kml) {
        // The check box needs a dialog whose layout we can reach.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        googleMaps = new QCheckBox(
            QStringLiteral("Ensure exported KML is compatible with Google Maps"), &dialog);
        googleMaps->setChecked(false);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(googleMaps, grid->rowCount(), 0, 1, -1);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    rememberFolderOf(path);
    exportSelectionToFile(path, kind, googleMaps && googleMaps->isChecked());
}

bool DocumentWindow::exportSelectionToFile(const QString& path, const QString& type,
                                           bool googleMapsCompatible) {
    const std::string failure = m_document->exportSelection(
        QFile::encodeName(path).toStdString(), type.toLower().toStdString(), googleMapsCompatible);
    if (failure.empty())
        return true;
    alert(QStringLiteral("The selection could not be exported to “%1”.")
              .arg(QFileInfo(path).fileName()),
          QString::fromStdString(failure));
    return false;
}

// ---- print and Google Earth --------------------------------------------------------------------

QImage DocumentWindow::mapImage() const {
    return m_mapArea->grab().toImage();
}

void DocumentWindow::printDocument() {
    const QImage image = mapImage();
    QPrinter printer(QPrinter::HighResolution);
    MapPrinter::preparePrinter(printer, image.size());
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!MapPrinter::printImage(printer, image))
        alert(QStringLiteral("The map could not be printed."),
              QStringLiteral("The printer could not be started."));
}

void DocumentWindow::showSelectionInGoogleEarth(const QStringList& programFolders) {
    const QString program = GoogleEarthLauncher::findGoogleEarth(programFolders);
    if (program.isEmpty()) {
        if (ViewCommands::runGoogleEarthMissingAlert(*this))
            QDesktopServices::openUrl(QUrl(qstring(ViewCommands::kGoogleEarthDownloadURL)));
        return;
    }
    const auto selection = ViewCommands::googleEarthDocument(*m_document);
    GoogleEarthLauncher::showInGoogleEarth(program, *selection);
}

// ---- delegate -----------------------------------------------------------------------------------

int DocumentWindow::runAlert(const std::string& title, const std::string& text,
                             const std::vector<std::string>& buttons) {
    AlertRequest request;
    request.title = QString::fromStdString(title);
    request.text = QString::fromStdString(text);
    for (const auto& button : buttons)
        request.buttons << QString::fromStdString(button);
    QWidget* parent = isVisible() ? this : nullptr;
    return m_controller.runAlert(parent, request);
}

void DocumentWindow::alert(const QString& title, const QString& text) {
    m_controller.runAlert(isVisible() ? this : nullptr,
                          {title, text, {QStringLiteral("OK")}, QMessageBox::Warning});
}

void DocumentWindow::fitTracksToView() {
    const WorldRect rect = ViewCommands::fitTracksToView(*m_document);
    if (!rect.isNull())
        m_gpsView->centerViewOnWorldRect(rect);
}

void DocumentWindow::fitSelectionToView() {
    const WorldRect rect = ViewCommands::fitSelectionToView(*m_document);
    if (!rect.isNull())
        m_gpsView->centerViewOnWorldRect(rect);
}

void DocumentWindow::rememberTracksListScrollPosition() {
    m_tracksListView->rememberScrollPosition();
}

void DocumentWindow::restoreTracksListScrollPosition() {
    m_tracksListView->restoreScrollPosition();
}

void DocumentWindow::scrollSelectedRowIntoView() {
    m_tracksListView->scrollSelectedRowIntoView();
}

// ---- keys and resizing ------------------------------------------------------------------------

void DocumentWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        m_gpsView->setPanMode(true);
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void DocumentWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            m_gpsView->setPanMode(false);
        event->accept();
        return;
    }
    QMainWindow::keyReleaseEvent(event);
}

void DocumentWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_mapAlignmentTimer)
        m_mapAlignmentTimer->start();
}

} // namespace wend
