// The menus of a document window and the commands behind them.
#include "core/base/TextHelpers.h"
#include "core/document/ClipboardCommands.h"
#include "core/document/Preferences.h"
#include "core/document/TrackCommands.h"
#include "core/document/TracksList.h"
#include "core/document/ViewCommands.h"
#include "core/document/WendDocument.h"
#include "ui/app/AboutWindow.h"
#include "ui/app/ColorSwatch.h"
#include "ui/app/DocumentController.h"
#include "ui/app/DocumentWindow.h"
#include "ui/app/HelpLinks.h"
#include "ui/app/StatisticsPane.h"
#include "ui/app/TracksListView.h"
#include "ui/dialogs/EditMetadataDialog.h"
#include "ui/dialogs/EditWaypointDialog.h"
#include "ui/dialogs/OffsetTimestampsDialog.h"
#include "ui/dialogs/OptimizationDialog.h"
#include "ui/dialogs/OverwriteTimestampsDialog.h"
#include "ui/dialogs/SplitOnRestStopsDialog.h"
#include "ui/mapview/GMapView.h"
#include "ui/mapview/GPSView.h"
#include "ui/profile/ProfilePane.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QUrl>

namespace wend {

namespace {
QString qstring(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString objectNameForSelector(DocumentAction action) {
    QString name = qstring(selectorOfDocumentAction(action));
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name;
}

QKeySequence standardOr(QKeySequence::StandardKey key, const QKeySequence& fallback) {
    const QKeySequence sequence(key);
    return sequence.isEmpty() ? fallback : sequence;
}

QPointer<AboutWindow> g_aboutWindow;
} // namespace

// ---- building -----------------------------------------------------------------------------------

QAction* DocumentWindow::addMenuAction(QMenu* menu, const QString& name, const QString& title,
                                       std::function<void()> run, const QKeySequence& shortcut) {
    auto* action = new QAction(title, this);
    action->setObjectName(name);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [run = std::move(run)] { run(); });
    // Shortcuts of the menu bar's entries work wherever the focus is in this window.
    addAction(action);
    if (menu)
        menu->addAction(action);
    return action;
}

QAction* DocumentWindow::addCommand(QMenu* menu, const QString& title, DocumentAction command,
                                    std::function<void()> run, const QKeySequence& shortcut) {
    QAction* action =
        addMenuAction(menu, objectNameForSelector(command), title, std::move(run), shortcut);
    m_commandActions.emplace_back(action, command);
    return action;
}

QAction* DocumentWindow::addCommand(QMenu* menu, const QString& title, DocumentAction command,
                                    void (DocumentWindow::*slot)(), const QKeySequence& shortcut) {
    return addCommand(
        menu, title, command, [this, slot] { (this->*slot)(); }, shortcut);
}

void DocumentWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    const auto validateOnShow = [this](QMenu* menu) {
        connect(menu, &QMenu::aboutToShow, this, [this] { validateActions(); });
    };
    const auto command = [this](const std::function<bool(WendDocument&)>& run) {
        return [this, run] { runCommand(run); };
    };

    // ---- File ------------------------------------------------------------------------------
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    validateOnShow(file);
    addMenuAction(
        file, QStringLiteral("new"), QStringLiteral("&New"), [this] { m_controller.newDocument(); },
        QKeySequence::New);
    addMenuAction(
        file, QStringLiteral("open"), QStringLiteral("&Open…"),
        [this] { m_controller.openDocumentsWithDialog(this); }, QKeySequence::Open);
    m_recentMenu = file->addMenu(QStringLiteral("Open &Recent"));
    m_recentMenu->setObjectName(QStringLiteral("openRecentMenu"));
    connect(m_recentMenu, &QMenu::aboutToShow, this,
            [this] { m_controller.fillRecentDocumentsMenu(m_recentMenu); });
    m_controller.fillRecentDocumentsMenu(m_recentMenu);
    file->addSeparator();
    addMenuAction(
        file, QStringLiteral("close"), QStringLiteral("&Close"), [this] { close(); },
        QKeySequence::Close);
    addMenuAction(
        file, QStringLiteral("save"), QStringLiteral("&Save"), [this] { saveDocument(); },
        QKeySequence::Save);
    addMenuAction(
        file, QStringLiteral("saveAs"), QStringLiteral("Save &As…"), [this] { saveDocumentAs(); },
        standardOr(QKeySequence::SaveAs, QKeySequence(QStringLiteral("Ctrl+Shift+S"))));
    addMenuAction(file, QStringLiteral("revert"), QStringLiteral("Re&vert to Saved"),
                  [this] { revertDocumentToSaved(); });
    file->addSeparator();
    addCommand(file, QStringLiteral("&Import…"), DocumentAction::Import,
               &DocumentWindow::importWithDialog, QKeySequence(QStringLiteral("Ctrl+Shift+I")));
    QMenu* exportMenu = file->addMenu(QStringLiteral("&Export Selection"));
    exportMenu->setObjectName(QStringLiteral("exportSelectionMenu"));
    addCommand(
        exportMenu, QStringLiteral("GPX…"), DocumentAction::ExportSelection,
        [this] { exportSelectionWithDialog(QStringLiteral("gpx")); },
        QKeySequence(QStringLiteral("Ctrl+Shift+E")))
        ->setObjectName(QStringLiteral("exportSelectionGPX"));
    addCommand(exportMenu, QStringLiteral("KML…"), DocumentAction::ExportSelection, [this] {
        exportSelectionWithDialog(QStringLiteral("kml"));
    })->setObjectName(QStringLiteral("exportSelectionKML"));
    file->addSeparator();
    addMenuAction(
        file, QStringLiteral("print"), QStringLiteral("&Print…"), [this] { printDocument(); },
        QKeySequence::Print);
    file->addSeparator();
    addMenuAction(
        file, QStringLiteral("quit"), QStringLiteral("&Quit"), [this] { m_controller.quit(); },
        standardOr(QKeySequence::Quit, QKeySequence(QStringLiteral("Ctrl+Q"))));

    // ---- Edit ------------------------------------------------------------------------------
    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    validateOnShow(edit);
    addMenuAction(
        edit, QStringLiteral("undo"), QStringLiteral("Undo"), [this] { undo(); },
        QKeySequence::Undo);
    addMenuAction(
        edit, QStringLiteral("redo"), QStringLiteral("Redo"), [this] { redo(); },
        standardOr(QKeySequence::Redo, QKeySequence(QStringLiteral("Ctrl+Shift+Z"))));
    edit->addSeparator();
    addCommand(edit, QStringLiteral("Cu&t"), DocumentAction::Cut, &DocumentWindow::performCut,
               QKeySequence::Cut);
    addCommand(edit, QStringLiteral("&Copy"), DocumentAction::Copy, &DocumentWindow::performCopy,
               QKeySequence::Copy);
    addCommand(edit, QStringLiteral("&Paste"), DocumentAction::Paste, &DocumentWindow::performPaste,
               QKeySequence::Paste);
    QAction* deleteAction = addCommand(edit, QStringLiteral("&Delete"), DocumentAction::Delete,
                                       &DocumentWindow::performDelete);
    // Backspace deletes as well as Delete.
    deleteAction->setShortcuts(
        {QKeySequence(QKeySequence::Delete), QKeySequence(Qt::Key_Backspace)});
    addCommand(edit, QStringLiteral("Delete and &Merge"), DocumentAction::DeleteAndMerge,
               command(&TrackCommands::deleteAndMerge),
               QKeySequence(QStringLiteral("Ctrl+Backspace")));
    edit->addSeparator();
    addCommand(edit, QStringLiteral("Select &All"), DocumentAction::SelectAll,
               command([](WendDocument& document) {
                   TrackCommands::selectAll(document);
                   return true;
               }),
               QKeySequence::SelectAll);
    addCommand(edit, QStringLiteral("Dese&lect"), DocumentAction::DeselectSelection,
               command(&TrackCommands::deselectSelection),
               standardOr(QKeySequence::Deselect, QKeySequence(QStringLiteral("Ctrl+Shift+A"))));
    addCommand(edit, QStringLiteral("&Invert Selection"), DocumentAction::InvertSelection,
               command(&TrackCommands::invertSelection), QKeySequence(QStringLiteral("Ctrl+I")));
    edit->addSeparator();
    addCommand(edit, QStringLiteral("Copy &Statistics"), DocumentAction::CopyStatistics,
               &DocumentWindow::copyStatistics, QKeySequence(QStringLiteral("Ctrl+Alt+C")));
    addCommand(edit, QStringLiteral("Copy Center C&oordinates of Selection"),
               DocumentAction::CopyCenterCoordsOfSelection, &DocumentWindow::copyCenterCoordinates,
               QKeySequence(QStringLiteral("Ctrl+Shift+C")));
    addCommand(edit, QStringLiteral("Copy &Link from Metadata"),
               DocumentAction::CopyLinkFromMetadata, &DocumentWindow::copyLink);
    edit->addSeparator();
    addCommand(
        edit, QStringLiteral("Edit &Document Metadata…"), DocumentAction::EditDocumentMetadata,
        [this] {
            EditMetadataDialog dialog(*m_document, this);
            dialog.editDocumentMetadata();
            validateActions();
        },
        QKeySequence(QStringLiteral("Ctrl+Alt+M")));
    addCommand(
        edit, QStringLiteral("Edit S&election Metadata…"), DocumentAction::EditSelectionMetadata,
        [this] {
            EditMetadataDialog dialog(*m_document, this);
            dialog.editSelectionMetadata();
            validateActions();
        },
        QKeySequence(QStringLiteral("Ctrl+Shift+M")));
    addCommand(
        edit, QStringLiteral("Edit &Waypoint…"), DocumentAction::EditWaypoint,
        [this] {
            EditWaypointDialog dialog(m_controller.preferences(), this);
            dialog.editWaypoint(*m_document);
            validateActions();
        },
        QKeySequence(QStringLiteral("Ctrl+Shift+W")));
    addCommand(edit, QStringLiteral("&Open Item Link"), DocumentAction::OpenItemLink,
               &DocumentWindow::openItemLink);
    edit->addSeparator();
    addMenuAction(
        edit, QStringLiteral("preferences"), QStringLiteral("Pre&ferences…"),
        [this] { m_controller.showPreferences(); },
        standardOr(QKeySequence::Preferences, QKeySequence(QStringLiteral("Ctrl+,"))));

    // ---- Tracks -----------------------------------------------------------------------------
    QMenu* tracks = bar->addMenu(QStringLiteral("&Tracks"));
    validateOnShow(tracks);
    addCommand(tracks, QStringLiteral("&Merge Selected Tracks"),
               DocumentAction::MergeSelectedTracks, command(&TrackCommands::mergeSelectedTracks),
               QKeySequence(QStringLiteral("Ctrl+J")));
    addCommand(tracks, QStringLiteral("E&xtract Selection as New Tracks"),
               DocumentAction::ExtractSelectionAsNewTracks,
               command(&TrackCommands::extractSelectionAsNewTracks),
               QKeySequence(QStringLiteral("Ctrl+E")));
    addCommand(tracks, QStringLiteral("&Reverse Points"), DocumentAction::ReverseSelectedTracks,
               command(&TrackCommands::reverseSelectedTracks),
               QKeySequence(QStringLiteral("Ctrl+Shift+R")));
    addCommand(tracks, QStringLiteral("Reverse Track &Order"), DocumentAction::ReverseTrackOrder,
               command(&TrackCommands::reverseTrackOrder));
    QMenu* sort = tracks->addMenu(QStringLiteral("&Sort Tracks By"));
    sort->setObjectName(QStringLiteral("sortTracksMenu"));
    for (const auto title : TrackCommands::sortTitles()) {
        const std::string key(title);
        addCommand(sort, qstring(title), DocumentAction::SortTracks,
                   command([key](WendDocument& document) {
                       return TrackCommands::sortTracks(document, key);
                   }))
            ->setObjectName(QStringLiteral("sortTracks:") + qstring(title));
    }
    addCommand(tracks, QStringLiteral("&Chronologically Sort Points"),
               DocumentAction::ChronologicallySortPoints,
               command(&TrackCommands::chronologicallySortPoints));
    tracks->addSeparator();
    addCommand(
        tracks, QStringLiteral("O&ptimize Selection…"), DocumentAction::OptimizeSelection,
        [this] {
            OptimizationDialog dialog(this);
            runCommand([&dialog](WendDocument& document) {
                return TrackCommands::optimizeSelection(document, dialog);
            });
        },
        QKeySequence(QStringLiteral("Ctrl+Shift+O")));
    addCommand(tracks, QStringLiteral("&Split Selection at Rest-stops…"),
               DocumentAction::SplitSelectionAtRestStops, [this] {
                   SplitOnRestStopsDialog dialog(this);
                   runCommand([&dialog](WendDocument& document) {
                       return TrackCommands::splitSelectionAtRestStops(document, dialog);
                   });
               });
    addCommand(
        tracks, QStringLiteral("O&ffset Timestamps…"), DocumentAction::OffsetTimestampsOfSelection,
        [this] {
            OffsetTimestampsDialog dialog(this);
            runCommand([&dialog](WendDocument& document) {
                return TrackCommands::offsetTimestampsOfSelection(document, dialog);
            });
        },
        QKeySequence(QStringLiteral("Ctrl+Shift+T")));
    addCommand(tracks, QStringLiteral("O&verwrite Timestamps…"),
               DocumentAction::OverwriteTimestampsOfSelection, [this] {
                   OverwriteTimestampsDialog dialog(this);
                   runCommand([&dialog](WendDocument& document) {
                       return TrackCommands::overwriteTimestampsOfSelection(document, dialog);
                   });
               });
    addCommand(tracks, QStringLiteral("Remove &Timestamps"),
               DocumentAction::RemoveTimestampsOfSelection,
               command(&TrackCommands::removeTimestampsOfSelection));
    addCommand(tracks, QStringLiteral("Remove Millisecond &Data"),
               DocumentAction::RemoveMillisecondDataOfSelection,
               command(&TrackCommands::removeMillisecondDataOfSelection));
    tracks->addSeparator();
    QMenu* colors = tracks->addMenu(QStringLiteral("Selection Co&lor"));
    colors->setObjectName(QStringLiteral("selectionColorMenu"));
    const auto& baseColors = WendDocument::baseColors();
    for (std::size_t tag = 0; tag < baseColors.size(); ++tag) {
        const int colorTag = static_cast<int>(tag);
        QAction* action = addCommand(
            colors, QString::fromStdString(stringBySeparatingCapitalizedWords(baseColors[tag])),
            DocumentAction::SetSelectionColor, command([colorTag](WendDocument& document) {
                return TrackCommands::setSelectionColor(document, colorTag);
            }));
        action->setObjectName(QStringLiteral("setSelectionColor:%1").arg(colorTag));
        action->setData(colorTag);
        if (const auto color = ItemColor::itemColorFromString(baseColors[tag]))
            action->setIcon(QIcon(ColorSwatch::pixmap(*color, devicePixelRatioF())));
    }
    addCommand(tracks, QStringLiteral("R&eset Selection Color"),
               DocumentAction::ResetColorsOfSelectedTracks,
               command(&TrackCommands::resetColorsOfSelectedTracks));
    tracks->addSeparator();
    addCommand(tracks, QStringLiteral("Re&name Item"), DocumentAction::TracksListRename,
               &DocumentWindow::tracksListRename, QKeySequence(Qt::Key_F2));
    addCommand(tracks, QStringLiteral("Copy &Items"), DocumentAction::TracksListCopy,
               &DocumentWindow::tracksListCopy);
    addCommand(tracks, QStringLiteral("Delete Ite&ms"), DocumentAction::TracksListDelete,
               &DocumentWindow::tracksListDelete,
               QKeySequence(QStringLiteral("Ctrl+Shift+Backspace")));
    QMenu* itemType = tracks->addMenu(QStringLiteral("Item T&ype"));
    itemType->setObjectName(QStringLiteral("itemTypeMenu"));
    addCommand(itemType, QStringLiteral("Track"), DocumentAction::TracksListSetTypeTrack, [this] {
        tracksListSetType(QStringLiteral("Track"));
    })->setCheckable(true);
    addCommand(itemType, QStringLiteral("Route"), DocumentAction::TracksListSetTypeRoute, [this] {
        tracksListSetType(QStringLiteral("Route"));
    })->setCheckable(true);
    tracks->addSeparator();
    QAction* pointList = addCommand(tracks, QStringLiteral("Show Editable Points List"),
                                    DocumentAction::ToggleEditablePointList, [] {});
    pointList->setCheckable(true);
    pointList->setVisible(false);

    // ---- View -------------------------------------------------------------------------------
    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    validateOnShow(view);
    addCommand(
        view, QStringLiteral("Zoom &In"), DocumentAction::UIZoom, [this] { m_gpsView->zoomIn(); },
        standardOr(QKeySequence::ZoomIn, QKeySequence(QStringLiteral("Ctrl++"))))
        ->setObjectName(QStringLiteral("zoomIn"));
    addCommand(
        view, QStringLiteral("Zoom &Out"), DocumentAction::UIZoom, [this] { m_gpsView->zoomOut(); },
        standardOr(QKeySequence::ZoomOut, QKeySequence(QStringLiteral("Ctrl+-"))))
        ->setObjectName(QStringLiteral("zoomOut"));
    view->addSeparator();
    m_mapTypeActions = new QActionGroup(this);
    m_mapTypeActions->setExclusive(true);
    for (int type = 0; type < 4; ++type) {
        QAction* action = addCommand(
            view, qstring(ViewCommands::titleForMapType(type)), DocumentAction::ChangeMapType,
            [this, type] { changeMapType(type); },
            QKeySequence(QStringLiteral("Ctrl+%1").arg(type + 1)));
        action->setObjectName(QStringLiteral("changeMapType:%1").arg(type));
        action->setCheckable(true);
        action->setData(type);
        m_mapTypeActions->addAction(action);
    }
    view->addSeparator();
    addCommand(view, QStringLiteral("&Hide Selected Tracks"), DocumentAction::HideSelectedTracks,
               command([](WendDocument& document) {
                   ViewCommands::hideSelectedTracks(document);
                   return true;
               }),
               QKeySequence(QStringLiteral("Ctrl+H")));
    addCommand(view, QStringLiteral("Hide &Unselected Tracks"),
               DocumentAction::HideUnselectedTracks, command([](WendDocument& document) {
                   ViewCommands::hideUnselectedTracks(document);
                   return true;
               }),
               QKeySequence(QStringLiteral("Ctrl+Alt+H")));
    addCommand(view, QStringLiteral("Show &Selected Tracks"), DocumentAction::ShowSelectedTracks,
               command([](WendDocument& document) {
                   ViewCommands::showSelectedTracks(document);
                   return true;
               }));
    addCommand(view, QStringLiteral("Show &All Tracks"), DocumentAction::ShowAllTracks,
               command([](WendDocument& document) {
                   ViewCommands::showAllTracks(document);
                   return true;
               }),
               QKeySequence(QStringLiteral("Ctrl+Shift+H")));
    view->addSeparator();
    addCommand(
        view, QStringLiteral("&Fit Tracks to View"), DocumentAction::FitTracksToView,
        [this] { fitTracksToView(); }, QKeySequence(QStringLiteral("Ctrl+0")));
    addCommand(view, QStringLiteral("Fit S&election to View"), DocumentAction::FitSelectionToView,
               &DocumentWindow::fitSelectionToView, QKeySequence(QStringLiteral("Ctrl+Alt+0")));
    view->addSeparator();
    addMenuAction(
        view, QStringLiteral("toggleStatistics"), QStringLiteral("Show S&tatistics"),
        [this] { toggleStatisticsPane(); }, QKeySequence(QStringLiteral("Ctrl+Alt+S")))
        ->setCheckable(true);
    addMenuAction(
        view, QStringLiteral("toggleProfile"), QStringLiteral("Show &Profile"),
        [this] { toggleProfilePane(); }, QKeySequence(QStringLiteral("Ctrl+Alt+P")))
        ->setCheckable(true);
    addCommand(
        view, QStringLiteral("Show Selection in &Google Earth"),
        DocumentAction::ShowSelectionInGoogleEarth, [this] { showSelectionInGoogleEarth(); },
        QKeySequence(QStringLiteral("Ctrl+Shift+G")));
    view->addSeparator();
    QMenu* tools = view->addMenu(QStringLiteral("&Editing Tool"));
    tools->setObjectName(QStringLiteral("editingToolsMenu"));
    m_toolMenuActions = new QActionGroup(this);
    m_toolMenuActions->setExclusive(true);
    static const char* const kToolKeys = "RBTAPW";
    for (int index = 0; index < DocumentController::kToolCount; ++index) {
        QString name = GPSView::toolName(index);
        name = name.left(name.indexOf(QStringLiteral(" (")));
        QAction* action = addCommand(
            tools, name, DocumentAction::MenuSetCurrentTool,
            [this, index] { m_controller.setCurrentToolIndex(index); },
            QKeySequence(QString(QLatin1Char(kToolKeys[index]))));
        action->setObjectName(QStringLiteral("menuSetCurrentTool:%1").arg(index));
        action->setCheckable(true);
        action->setData(index);
        m_toolMenuActions->addAction(action);
    }

    // ---- Help -------------------------------------------------------------------------------
    // The tile providers follow the preferences: the menu is filled again each time it opens.
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    const auto fillHelp = [this, help] {
        help->clear();
        for (const HelpLink& link : HelpLinks::helpLinks(m_controller.preferences())) {
            const QUrl url = link.url;
            help->addAction(link.title, this, [url] { QDesktopServices::openUrl(url); });
        }
        help->addSeparator();
        QAction* about = help->addAction(QStringLiteral("&About Wend"), this, [] {
            if (!g_aboutWindow) {
                g_aboutWindow = new AboutWindow;
                g_aboutWindow->setAttribute(Qt::WA_DeleteOnClose);
                g_aboutWindow->setAttribute(Qt::WA_QuitOnClose, false);
            }
            g_aboutWindow->show();
            g_aboutWindow->raise();
            g_aboutWindow->activateWindow();
        });
        about->setObjectName(QStringLiteral("about"));
    };
    fillHelp();
    connect(help, &QMenu::aboutToShow, this, fillHelp);
}

// ---- availability
// ---------------------------------------------------------------------------------

QAction* DocumentWindow::actionFor(DocumentAction command) const {
    for (const auto& [action, entry] : m_commandActions)
        if (entry == command)
            return action;
    return nullptr;
}

QAction* DocumentWindow::actionNamed(const QString& name) const {
    return findChild<QAction*>(name);
}

bool DocumentWindow::canPaste() const {
    if (!m_canPaste)
        m_canPaste = ClipboardCommands::canPaste(m_clipboard);
    return *m_canPaste;
}

void DocumentWindow::validateActions() {
    const bool paste = canPaste();
    for (const auto& [action, command] : m_commandActions)
        action->setEnabled(validateUserInterfaceItem(command, *m_document, paste));
    const ItemTypeMenuState typeState = tracksList().itemTypeMenuState();
    if (QAction* track = actionFor(DocumentAction::TracksListSetTypeTrack)) {
        // Qt's menu entries have no mixed state: a mixed selection checks both.
        track->setChecked(typeState.track != MenuItemState::Off);
        if (QMenu* menu = findChild<QMenu*>(QStringLiteral("itemTypeMenu")))
            menu->setEnabled(typeState.enabled);
    }
    if (QAction* route = actionFor(DocumentAction::TracksListSetTypeRoute))
        route->setChecked(typeState.route != MenuItemState::Off);
    if (QAction* revert = actionNamed(QStringLiteral("revert")))
        revert->setEnabled(!m_filePath.isEmpty() && isEdited());
    if (QAction* statistics = actionNamed(QStringLiteral("toggleStatistics")))
        statistics->setChecked(m_statisticsPane->isExpanded());
    if (QAction* profile = actionNamed(QStringLiteral("toggleProfile")))
        profile->setChecked(m_profilePane->isExpanded());
    updateUndoActions();
}

void DocumentWindow::updateUndoActions() {
    UndoManager& undoManager = m_document->undoManager();
    if (QAction* undoAction = actionNamed(QStringLiteral("undo"))) {
        const QString name = QString::fromStdString(undoManager.undoActionName());
        undoAction->setText(name.isEmpty() ? QStringLiteral("Undo")
                                           : QStringLiteral("Undo ") + name);
        undoAction->setEnabled(undoManager.canUndo());
    }
    if (QAction* redoAction = actionNamed(QStringLiteral("redo"))) {
        const QString name = QString::fromStdString(undoManager.redoActionName());
        redoAction->setText(name.isEmpty() ? QStringLiteral("Redo")
                                           : QStringLiteral("Redo ") + name);
        redoAction->setEnabled(undoManager.canRedo());
    }
    setWindowModified(isEdited());
}

// ---- commands
// -------------------------------------------------------------------------------------

void DocumentWindow::runCommand(const std::function<bool(WendDocument&)>& command) {
    command(*m_document);
    validateActions();
}

void DocumentWindow::undo() {
    m_document->undoManager().undo();
    validateActions();
}

void DocumentWindow::redo() {
    m_document->undoManager().redo();
    validateActions();
}

void DocumentWindow::performDelete() {
    runCommand(&TrackCommands::deleteSelection);
}

void DocumentWindow::performCut() {
    runCommand(
        [this](WendDocument& document) { return ClipboardCommands::cut(document, m_clipboard); });
}

void DocumentWindow::performCopy() {
    ClipboardCommands::copy(*m_document, m_clipboard);
}

void DocumentWindow::performPaste() {
    runCommand(
        [this](WendDocument& document) { return ClipboardCommands::paste(document, m_clipboard); });
}

void DocumentWindow::copyStatistics() {
    m_statisticsPane->copyStatistics();
}

void DocumentWindow::copyCenterCoordinates() {
    ClipboardCommands::copyCenterCoordinatesOfSelection(*m_document, m_clipboard);
}

void DocumentWindow::copyLink() {
    ClipboardCommands::copyLinkFromMetadata(*m_document, m_clipboard);
}

void DocumentWindow::openItemLink() {
    for (const auto& item : m_document->selectedItems()) {
        const QUrl url(QString::fromStdString(item->itemLink()), QUrl::StrictMode);
        if (url.isValid() && !url.scheme().isEmpty())
            QDesktopServices::openUrl(url);
    }
}

void DocumentWindow::tracksListRename() {
    m_tracksListView->renameSelectedRow();
}

void DocumentWindow::tracksListCopy() {
    tracksList().copySelectedRows(m_clipboard);
}

void DocumentWindow::tracksListDelete() {
    runCommand([this](WendDocument&) { return tracksList().deleteSelectedRows(); });
}

void DocumentWindow::tracksListSetType(const QString& title) {
    const std::string type = title.toStdString();
    runCommand([this, type](WendDocument&) { return tracksList().setTypeOfSelectedRows(type); });
}

void DocumentWindow::toggleStatisticsPane() {
    m_statisticsPane->toggleStatisticsView();
    validateActions();
}

void DocumentWindow::toggleProfilePane() {
    m_profilePane->toggleExpanded();
}

} // namespace wend
