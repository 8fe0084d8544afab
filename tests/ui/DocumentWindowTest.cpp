#include "ui/app/DocumentWindow.h"

#include "AppTestSupport.h"
#include "core/document/DocumentLoader.h"
#include "core/document/TracksList.h"
#include "core/document/ViewCommands.h"
#include "core/document/WendDocument.h"
#include "core/formats/GPXParser.h"
#include "ui/app/MapKeyRouter.h"
#include "ui/app/PreferencesWindow.h"
#include "ui/app/TracksListView.h"
#include "ui/mapview/GMapView.h"
#include "ui/mapview/GPSView.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <csignal>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/resource.h>

namespace wend {
namespace {

using test::AppTestEnvironment;

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& text) {
    test::writeFile(dir.filePath(name).toStdString(), text.toStdString());
    return dir.filePath(name);
}

const QByteArray kTwoTrackGPX = R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1">
  <metadata><name>Two Rides</name></metadata>
  <trk><name>Ride</name><trkseg>
    <trkpt lat="46.00" lon="7.00"/><trkpt lat="46.01" lon="7.01"/><trkpt lat="46.02" lon="7.02"/>
  </trkseg></trk>
  <trk><name>Walk</name><trkseg>
    <trkpt lat="46.03" lon="7.03"/><trkpt lat="46.04" lon="7.04"/>
  </trkseg></trk>
</gpx>
)";

QByteArray readAll(const QString& path) {
    return QByteArray::fromStdString(test::readFile(path.toStdString()));
}

// While it lives, no file of this process may grow beyond `bytes`: a write past it fails as on
// a full disk (root ignores permissions, not this limit).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

class DocumentWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        WEND_ASSERT_LEAFLET();
        ASSERT_TRUE(m_dir.isValid());
        m_twoTracks = writeFile(m_dir, QStringLiteral("two.gpx"), kTwoTrackGPX);
    }

    DocumentController& controller() { return *m_env.controller; }
    // A window of the file, which must open.
    DocumentWindow* open(const QString& path) {
        DocumentWindow* window = controller().openDocument(path);
        if (!window)
            throw std::runtime_error(path.toStdString() + " did not open");
        return window;
    }

    AppTestEnvironment m_env;
    QTemporaryDir m_dir;
    QString m_twoTracks;
};

TEST_F(DocumentWindowTest, AnUnreadableFileShowsTheReadersAlertAndLeavesOtherWindowsAlone) {
    DocumentWindow* first = open(m_twoTracks);
    const ItemList before = first->document().permanentItems();

    const QString unreadable =
        writeFile(m_dir, QStringLiteral("photo.gpx"), QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF", 10));
    const GPXReadResult expected = DocumentLoader::loadDocumentFromFile(unreadable.toStdString());
    ASSERT_TRUE(expected.error.has_value());

    EXPECT_EQ(controller().openDocument(unreadable), nullptr);
    ASSERT_EQ(m_env.alerts.size(), 1u);
    EXPECT_EQ(m_env.alerts[0].title, QString::fromStdString(expected.error->description));
    EXPECT_EQ(m_env.alerts[0].text,
              QString::fromStdString(expected.error->failureReason) + QStringLiteral("."));
    EXPECT_EQ(m_env.alerts[0].buttons, QStringList{QStringLiteral("OK")});

    EXPECT_EQ(controller().documents(), QList<DocumentWindow*>{first});
    EXPECT_EQ(first->document().permanentItems(), before);
    EXPECT_FALSE(controller().recentDocuments().contains(QFileInfo(unreadable).absoluteFilePath()));
}

TEST_F(DocumentWindowTest, SavingWritesCompleteFilesAndReportsFailures) {
    DocumentWindow* window = open(m_twoTracks);
    WendDocument& document = window->document();
    document.permanentItems()[0]->setItemName("Morning Ride");
    m_env.endEvent();
    ASSERT_TRUE(window->isEdited());
    EXPECT_TRUE(window->isWindowModified());

    // A failed save leaves nothing at the target, keeps the edits and says why.
    const QString unreachable = m_dir.filePath(QStringLiteral("no/such/folder/out.gpx"));
    EXPECT_FALSE(window->saveToFile(unreachable));
    EXPECT_FALSE(QFileInfo::exists(unreachable));
    ASSERT_EQ(m_env.alerts.size(), 1u);
    EXPECT_TRUE(m_env.alerts[0].title.startsWith(
        QStringLiteral("The document “two.gpx” could not be saved")))
        << m_env.alerts[0].title.toStdString();
    EXPECT_TRUE(window->isEdited());
    EXPECT_EQ(window->filePath(), QFileInfo(m_twoTracks).absoluteFilePath());

    // A save over the file itself that fails half-way (the disk full) leaves the file byte for
    // byte as it was, and no temporary file beside it.
    const QByteArray original = readAll(m_twoTracks);
    {
        const FileSizeLimit limit(64);
        EXPECT_FALSE(window->saveToFile(m_twoTracks));
    }
    EXPECT_EQ(readAll(m_twoTracks), original);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("two.gpx")});
    EXPECT_TRUE(window->isEdited());

    // Save As writes a complete file, which becomes the document's, and nothing else.
    const QString copy = m_dir.filePath(QStringLiteral("copy.gpx"));
    ASSERT_TRUE(window->saveToFile(copy));
    EXPECT_FALSE(window->isEdited());
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("copy.gpx[*]")));
    EXPECT_TRUE(readAll(copy).contains("<name>Morning Ride</name>"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("copy.gpx"), QStringLiteral("two.gpx")}));

    // Export writes the selection alone and leaves the document as it is.
    document.setSelectedItemIndexes({1});
    const QString walk = m_dir.filePath(QStringLiteral("Walk.gpx"));
    ASSERT_TRUE(window->exportSelectionToFile(walk, QStringLiteral("gpx"), false));
    EXPECT_EQ(GPXParser::parseFile(walk.toStdString()).document->documentItems().size(), 1u);
    EXPECT_FALSE(window->exportSelectionToFile(unreachable, QStringLiteral("gpx"), false));
    EXPECT_EQ(m_env.alerts.back().title,
              QStringLiteral("The selection could not be exported to “out.gpx”."));
    EXPECT_FALSE(window->isEdited());
}

TEST_F(DocumentWindowTest, TheTitleAndTheEditedMarkerFollowRenamesAndUndo) {
    DocumentWindow* window = controller().newDocument();
    WendDocument& document = window->document();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Untitled[*] - Untitled Document"));

    document.GPSDoc()->setDocumentName("Alps 2024");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Untitled[*] - Alps 2024"));
    m_env.endEvent();
    EXPECT_TRUE(window->isWindowModified());
    window->actionNamed(QStringLiteral("undo"))->trigger();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Untitled[*] - Untitled Document"));
    EXPECT_FALSE(window->isWindowModified());

    // Without a name the display name stands alone; a second new window counts on.
    document.GPSDoc()->setDocumentName("");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Untitled[*]"));
    EXPECT_EQ(controller().newDocument()->windowTitle(),
              QStringLiteral("Untitled 2[*] - Untitled Document"));
}

TEST_F(DocumentWindowTest, OpeningAFileReplacesOnlyTheUntouchedEmptyWindow) {
    const QString empty =
        writeFile(m_dir, QStringLiteral("empty.gpx"),
                  R"(<gpx version="1.1" creator="t" xmlns="http://www.topografix.com/GPX/1/1"/>)");
    const QString second = writeFile(m_dir, QStringLiteral("second.gpx"), kTwoTrackGPX);

    DocumentWindow* untitled = controller().newDocument();
    // A file without items does not replace it.
    DocumentWindow* emptyFile = open(empty);
    emptyFile->close();
    QCoreApplication::processEvents();
    ASSERT_EQ(controller().documents(), QList<DocumentWindow*>{untitled});

    // A file with items does, and its tool becomes range selection in every window.
    DocumentWindow* withItems = open(m_twoTracks);
    EXPECT_EQ(controller().documents(), QList<DocumentWindow*>{withItems});
    EXPECT_EQ(controller().currentToolIndex(), DocumentController::RangeSelectionTool);

    // The next file gets a window of its own; a file open already brings its window forward.
    ASSERT_NE(controller().openDocument(second), nullptr);
    EXPECT_EQ(controller().openDocument(m_twoTracks), withItems);
    EXPECT_EQ(controller().documents().size(), 2);

    // An empty new window that the user has edited stays.
    controller().closeAllDocuments();
    QCoreApplication::processEvents();
    DocumentWindow* edited = controller().newDocument();
    edited->document().GPSDoc()->setDocumentName("Plans");
    m_env.answer = [](const AlertRequest&) { return 1; }; // "Don't Save", should anyone ask
    ASSERT_NE(controller().openDocument(m_twoTracks), nullptr);
    EXPECT_EQ(controller().documents().size(), 2);
    EXPECT_TRUE(m_env.alerts.empty());
}

TEST_F(DocumentWindowTest, MenuEntriesFollowTheAvailabilityRules) {
    DocumentWindow* window = open(m_twoTracks);
    WendDocument& document = window->document();
    const auto enabled = [&](DocumentAction action) {
        return window->actionFor(action)->isEnabled();
    };

    // Every command of the window has an entry in a menu; standard commands have their keys.
    for (DocumentAction action : allDocumentActions()) {
        QAction* entry = window->actionFor(action);
        ASSERT_NE(entry, nullptr) << selectorOfDocumentAction(action);
        bool inMenu = false;
        for (QObject* object : entry->associatedObjects())
            inMenu = inMenu || qobject_cast<QMenu*>(object) != nullptr;
        EXPECT_TRUE(inMenu || action == DocumentAction::ToolbarSetCurrentTool)
            << selectorOfDocumentAction(action);
    }
    EXPECT_EQ(
        window->actionFor(DocumentAction::Delete)->shortcuts(),
        (QList<QKeySequence>{QKeySequence(QKeySequence::Delete), QKeySequence(Qt::Key_Backspace)}));

    // The entries follow the document's notifications (which entry needs what is settled in
    // the core's availability test).
    window->validateActions();
    EXPECT_FALSE(enabled(DocumentAction::Delete));
    EXPECT_FALSE(window->actionNamed(QStringLiteral("revert"))->isEnabled());
    document.setSelectedItemIndexes({0});
    EXPECT_TRUE(enabled(DocumentAction::Delete));
    EXPECT_TRUE(window->actionFor(DocumentAction::TracksListSetTypeTrack)->isChecked());

    // Paste follows the clipboard.
    window->actionFor(DocumentAction::Copy)->trigger();
    EXPECT_TRUE(enabled(DocumentAction::Paste));
    window->clipboard().clearContents();
    QCoreApplication::processEvents();
    window->validateActions();
    EXPECT_FALSE(enabled(DocumentAction::Paste));
}

TEST_F(DocumentWindowTest, BackspaceCutAndPasteAreOneNamedStepEach) {
    DocumentWindow* window = open(m_twoTracks);
    WendDocument& document = window->document();
    QAction* undo = window->actionNamed(QStringLiteral("undo"));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    window->gpsView()->setFocus();
    QTest::keyClick(window->gpsView(), Qt::Key_Backspace);
    EXPECT_EQ(document.permanentItems().size(), 2u) << "nothing selected";
    document.setSelectedItemIndexes({0});
    QTest::keyClick(window->gpsView(), Qt::Key_Backspace);
    m_env.endEvent();
    ASSERT_EQ(document.permanentItems().size(), 1u);
    EXPECT_EQ(undo->text(), QStringLiteral("Undo Delete"));
    undo->trigger();
    EXPECT_EQ(window->actionNamed(QStringLiteral("redo"))->text(), QStringLiteral("Redo Delete"));

    // Cut takes the item away; it pastes into another window.
    document.setSelectedItemIndexes({0});
    window->actionFor(DocumentAction::Cut)->trigger();
    m_env.endEvent();
    EXPECT_EQ(document.permanentItems().size(), 1u);
    DocumentWindow* target = controller().newDocument();
    target->validateActions();
    ASSERT_TRUE(target->actionFor(DocumentAction::Paste)->isEnabled());
    target->actionFor(DocumentAction::Paste)->trigger();
    m_env.endEvent();
    ASSERT_EQ(target->document().permanentItems().size(), 1u);
    EXPECT_EQ(target->document().permanentItems()[0]->itemName(), "Ride");
    EXPECT_EQ(target->actionNamed(QStringLiteral("undo"))->text(),
              QStringLiteral("Undo Paste Tracks"));
}

// Which files are taken and how failures are told is the document's (WendDocumentTest).
TEST_F(DocumentWindowTest, ImportAndDropAddItemsAsOneUndoStepEach) {
    DocumentWindow* window = controller().newDocument();
    WendDocument& document = window->document();
    QAction* undo = window->actionNamed(QStringLiteral("undo"));
    EXPECT_EQ(window->importFiles({m_twoTracks}), 1u);
    m_env.endEvent();
    EXPECT_EQ(undo->text(), QStringLiteral("Undo Import Items"));
    undo->trigger();

    // A drag of gpx files is accepted and dropped, a mixed one refused.
    const QString text = writeFile(m_dir, QStringLiteral("notes.txt"), QByteArray("hello"));
    const QPoint inside(window->width() / 2, window->height() / 2);
    for (const QString& second : {text, m_twoTracks}) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(m_twoTracks), QUrl::fromLocalFile(second)});
        QDragEnterEvent enter(inside, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &enter);
        ASSERT_EQ(enter.isAccepted(), second != text);
        QDropEvent drop(QPointF(inside), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        if (enter.isAccepted())
            QCoreApplication::sendEvent(window, &drop);
    }
    EXPECT_EQ(document.permanentItems().size(), 4u);
    m_env.endEvent();
    EXPECT_EQ(undo->text(), QStringLiteral("Undo Import Tracks"));
}

TEST_F(DocumentWindowTest, GoogleEarthGetsTheSelectionOrTheUserLearnsWhereToGetIt) {
    DocumentWindow* window = open(m_twoTracks);
    window->document().setSelectedItemIndexes({1});

    QTemporaryDir programs;
    m_env.answer = [](const AlertRequest&) { return 1; }; // "Cancel": no browser in a test
    window->showSelectionInGoogleEarth({programs.path()});
    ASSERT_EQ(m_env.alerts.size(), 1u);
    EXPECT_EQ(m_env.alerts[0].title,
              QString::fromUtf8(ViewCommands::kGoogleEarthMissingTitle.data()));

    // A program of that name gets a KML file of the selection.
    const QString received = programs.filePath(QStringLiteral("received"));
    const QString program =
        writeFile(programs, QStringLiteral("google-earth"),
                  QStringLiteral("#!/bin/sh\ncp \"$1\" '%1.tmp' && mv '%1.tmp' '%1'\n")
                      .arg(received)
                      .toUtf8());
    QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
    window->showSelectionInGoogleEarth({programs.path()});
    EXPECT_EQ(m_env.alerts.size(), 1u);
    ASSERT_TRUE(test::waitUntil([&] { return QFileInfo::exists(received); }, 20000));
    const QByteArray kml = readAll(received);
    EXPECT_TRUE(kml.contains("<name>Walk</name>"));
    EXPECT_FALSE(kml.contains("<name>Ride</name>"));
}

TEST_F(DocumentWindowTest, ClosingOrRevertingAnEditedDocumentAsksFirst) {
    DocumentWindow* window = open(m_twoTracks);
    window->document().permanentItems()[0]->setItemName("Changed");
    m_env.endEvent();

    // Revert: Cancel keeps the edit; Revert reads the file again, with nothing to undo.
    m_env.answer = [](const AlertRequest&) { return 1; };
    EXPECT_FALSE(window->revertDocumentToSaved());
    EXPECT_EQ(window->document().permanentItems()[0]->itemName(), "Changed");
    m_env.answer = [](const AlertRequest&) { return 0; };
    EXPECT_TRUE(window->revertDocumentToSaved());
    EXPECT_EQ(window->document().permanentItems()[0]->itemName(), "Ride");
    EXPECT_FALSE(window->isEdited());

    // Close: Cancel keeps the window (and stops Quit), Don't Save closes it.
    m_env.alerts.clear();
    window->document().permanentItems()[0]->setItemName("Changed again");
    m_env.endEvent();
    m_env.answer = [](const AlertRequest& request) {
        return static_cast<int>(request.buttons.indexOf(QStringLiteral("Cancel")));
    };
    EXPECT_FALSE(window->close());
    EXPECT_FALSE(controller().closeAllDocuments());
    ASSERT_EQ(m_env.alerts.size(), 2u);
    EXPECT_EQ(m_env.alerts[0].title,
              QStringLiteral("Do you want to save the changes made to the document “two.gpx”?"));
    EXPECT_EQ(m_env.alerts[0].buttons,
              (QStringList{QStringLiteral("Save"), QStringLiteral("Don't Save"),
                           QStringLiteral("Cancel")}));
    EXPECT_EQ(controller().documents().size(), 1);

    QPointer<DocumentWindow> closing = window;
    m_env.answer = [](const AlertRequest&) { return 1; };
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(controller().documents().isEmpty());
    ASSERT_TRUE(test::waitUntil([&] { return closing.isNull(); }));

    // Save writes the file before the window goes.
    DocumentWindow* again = open(m_twoTracks);
    again->document().permanentItems()[1]->setItemName("Saved Walk");
    m_env.endEvent();
    m_env.answer = [](const AlertRequest&) { return 0; };
    EXPECT_TRUE(controller().closeAllDocuments());
    const GPXReadResult saved = GPXParser::parseFile(m_twoTracks.toStdString());
    ASSERT_TRUE(saved.succeeded());
    EXPECT_EQ(saved.document->documentItems()[1]->itemName(), "Saved Walk");
}

TEST_F(DocumentWindowTest, SpaceAndXReachTheMapViewFromTheListButNotFromATextField) {
    DocumentWindow* window = open(m_twoTracks);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    GPSView* view = window->gpsView();
    MapKeyRouter router([window] { return static_cast<QWidget*>(window->gpsView()); });
    qApp->installEventFilter(&router);
    // A shortcut on the same keys would otherwise take them.
    int shortcutRuns = 0;
    QShortcut shortcut(QKeySequence(QStringLiteral("Ctrl+Space")), window);
    QObject::connect(&shortcut, &QShortcut::activated, [&] { ++shortcutRuns; });

    QWidget* list = window->tracksListView();
    list->setFocus();
    QTest::keyPress(list, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(view->inDragMode());
    QTest::keyRelease(list, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_FALSE(view->inDragMode());
    EXPECT_EQ(shortcutRuns, 0);
    QTest::keyPress(list, Qt::Key_X);
    EXPECT_EQ(view->toolModifiers(), GPSView::kOptionModifier);
    QTest::keyRelease(list, Qt::Key_X);
    EXPECT_EQ(view->toolModifiers(), 0u);
    QLineEdit field(window);
    field.show();
    field.setFocus();
    QTest::keyClick(&field, Qt::Key_X);
    EXPECT_EQ(field.text(), QStringLiteral("x"));
    EXPECT_EQ(view->toolModifiers(), 0u);
    qApp->removeEventFilter(&router);
}

TEST_F(DocumentWindowTest, AddTrackToolDrawsATrackAndHandsOverToTheEditPointTool) {
    DocumentWindow* window = controller().newDocument();
    ASSERT_EQ(controller().currentToolIndex(), DocumentController::AddTrackTool);
    GPSView* view = window->gpsView();
    const QPoint press = view->rect().center();
    QTest::mousePress(view, Qt::LeftButton, {}, press);
    QTest::mouseMove(view, press + QPoint(40, 25));
    QTest::mouseRelease(view, Qt::LeftButton, {}, press + QPoint(40, 25));
    m_env.endEvent();
    ASSERT_EQ(window->document().permanentItems().size(), 1u);
    EXPECT_EQ(window->actionNamed(QStringLiteral("undo"))->text(),
              QStringLiteral("Undo Add Track"));
    EXPECT_EQ(controller().currentToolIndex(), DocumentController::EditPointTool);
    EXPECT_EQ(view->currentTool(), DocumentController::EditPointTool);
}

TEST_F(DocumentWindowTest, DialogCommandsOpenTheirDialogsAndCancelChangesNothing) {
    const QString withWaypoint =
        writeFile(m_dir, QStringLiteral("waypoint.gpx"),
                  R"(<gpx version="1.1" creator="t" xmlns="http://www.topografix.com/GPX/1/1">
<wpt lat="46.1" lon="7.1"><name>Summit</name></wpt><trk><name>Ride</name><trkseg>
<trkpt lat="46.00" lon="7.00"><time>2024-05-01T10:00:00Z</time></trkpt>
<trkpt lat="46.01" lon="7.01"><time>2024-05-01T10:05:00Z</time></trkpt>
<trkpt lat="46.02" lon="7.02"><time>2024-05-01T10:10:00Z</time></trkpt></trkseg></trk></gpx>)");
    DocumentWindow* window = open(withWaypoint);
    WendDocument& document = window->document();
    const ItemList items = document.permanentItems();

    // Answers the dialog that opens with Escape and notes its class.
    const auto cancelDialogOf = [&](DocumentAction action) {
        QString seen;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                seen = QString::fromLatin1(dialog->metaObject()->className());
                QTest::keyClick(dialog, Qt::Key_Escape);
            }
        });
        poll.start(10);
        QAction* entry = window->actionFor(action);
        EXPECT_TRUE(entry->isVisible()) << selectorOfDocumentAction(action);
        EXPECT_TRUE(entry->isEnabled()) << selectorOfDocumentAction(action);
        entry->trigger();
        m_env.endEvent();
        return seen;
    };

    const struct {
        DocumentAction action;
        std::size_t selectedItem;
        const char* dialog;
    } rows[] = {
        {DocumentAction::OptimizeSelection, 1, "wend::OptimizationDialog"},
        {DocumentAction::SplitSelectionAtRestStops, 1, "wend::SplitOnRestStopsDialog"},
        {DocumentAction::OffsetTimestampsOfSelection, 1, "wend::OffsetTimestampsDialog"},
        {DocumentAction::OverwriteTimestampsOfSelection, 1, "wend::OverwriteTimestampsDialog"},
        {DocumentAction::EditSelectionMetadata, 1, "wend::EditMetadataDialog"},
        {DocumentAction::EditDocumentMetadata, 1, "wend::EditMetadataDialog"},
        {DocumentAction::EditWaypoint, 0, "wend::EditWaypointDialog"},
        {DocumentAction::Import, 0, "QFileDialog"},
    };
    for (const auto& row : rows) {
        document.setSelectedItemIndexes({row.selectedItem});
        EXPECT_EQ(cancelDialogOf(row.action), QString::fromLatin1(row.dialog));
    }
    EXPECT_EQ(document.permanentItems(), items);
    EXPECT_EQ(document.permanentItems()[1]->itemPoints().size(), 3u);
    EXPECT_FALSE(document.tempItems().has_value());
    EXPECT_EQ(document.undoManager().groupingLevel(), 0);
    EXPECT_FALSE(document.undoManager().canUndo());
    EXPECT_FALSE(window->isEdited());
}

TEST_F(DocumentWindowTest, EachUserEventIsOneUndoStepOnceTheLoopWaits) {
    DocumentWindow* window = open(m_twoTracks);
    controller().closeImplicitUndoGroupsAfterEachEvent();
    UndoManager& undoManager = window->document().undoManager();
    // The loop closes the group when it blocks waiting for the next event, here between polls.
    const auto waitForSteps = [&](int steps) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (undoManager.changeCount() == steps)
                loop.quit();
        });
        poll.start(5);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        return undoManager.changeCount() == steps;
    };

    // Two changes in one event: one step. The next event's change: a step of its own.
    window->document().permanentItems()[0]->setItemName("One");
    window->document().permanentItems()[1]->setItemName("Two");
    EXPECT_EQ(undoManager.changeCount(), 0);
    ASSERT_TRUE(waitForSteps(1));
    window->document().permanentItems()[0]->setItemName("Three");
    ASSERT_TRUE(waitForSteps(2));
    ASSERT_TRUE(undoManager.undo());
    EXPECT_EQ(window->document().permanentItems()[0]->itemName(), "One");
    ASSERT_TRUE(undoManager.undo());
    EXPECT_EQ(window->document().permanentItems()[1]->itemName(), "Walk");
}

TEST_F(DocumentWindowTest, WindowSizeAndListWidthAreRememberedWithinTheirLimits) {
    DocumentWindow* first = controller().newDocument();
    QSplitter* splitter = first->mainSplitter();
    splitter->setSizes({10, 2000});
    EXPECT_GE(splitter->sizes()[0], static_cast<int>(TracksList::kMinimumListWidth));
    splitter->setSizes({2000, 10});
    EXPECT_GE(splitter->sizes()[1], static_cast<int>(TracksList::kMinimumMapWidth));
    first->resize(300, 400);
    QCoreApplication::processEvents();
    EXPECT_GE(first->mapArea()->width(), static_cast<int>(TracksList::kMinimumMapWidth));
    first->resize(900, 640);
    first->mainSplitter()->setSizes({400, 500});
    const QList<int> sizes = first->mainSplitter()->sizes();
    first->close();
    QCoreApplication::processEvents();

    DocumentWindow* second = controller().newDocument();
    EXPECT_EQ(second->size(), QSize(900, 640));
    EXPECT_EQ(second->mainSplitter()->sizes(), sizes);
}

TEST_F(DocumentWindowTest, ThePreferencesWindowAppliesToOpenWindowsAtOnce) {
    DocumentWindow* window = open(m_twoTracks);
    controller().showPreferences();
    PreferencesWindow* preferences = controller().preferencesWindow();
    ASSERT_NE(preferences, nullptr);

    auto* mapType = qobject_cast<QComboBox*>(preferences->controlForKey(Preferences::kMapTypeKey));
    mapType->setCurrentIndex(GMapView::StreetMap);
    EXPECT_EQ(window->mapView()->mapType(), GMapView::StreetMap);
    EXPECT_EQ(window->mapTypePopUp()->currentIndex(), 0);

    // New tile addresses reach the open map.
    ASSERT_TRUE(test::waitUntil([&] { return window->mapView()->isMapLoaded(); }));
    m_env.server.setLayerColor(QStringLiteral("other"), QColor(10, 200, 200));
    auto* url =
        qobject_cast<QLineEdit*>(preferences->controlForKey(Preferences::kStreetTileURLKey));
    url->setText(m_env.server.tileURL(QStringLiteral("other")));
    emit url->editingFinished();
    EXPECT_TRUE(
        test::waitUntil([&] { return m_env.server.requestCount(QStringLiteral("other")) > 0; }));
}

TEST_F(DocumentWindowTest, TheEditingToolIsSharedByEveryWindow) {
    DocumentWindow* first = open(m_twoTracks);
    DocumentWindow* second = controller().newDocument();
    QAction* boxInMenu = first->findChild<QAction*>(QStringLiteral("menuSetCurrentTool:1"));
    ASSERT_NE(boxInMenu, nullptr);
    boxInMenu->trigger();
    EXPECT_EQ(controller().currentToolIndex(), DocumentController::BoxSelectionTool);
    for (DocumentWindow* window : {first, second}) {
        EXPECT_EQ(window->gpsView()->currentTool(), DocumentController::BoxSelectionTool);
        EXPECT_TRUE(window->findChild<QAction*>(QStringLiteral("toolbarTool1"))->isChecked());
    }
    second->findChild<QAction*>(QStringLiteral("toolbarTool5"))->trigger();
    EXPECT_EQ(first->gpsView()->currentTool(), DocumentController::AddWaypointTool);

    // The map type: the window's map and the preference for new windows.
    first->findChild<QAction*>(QStringLiteral("changeMapType:1"))->trigger();
    EXPECT_EQ(first->mapView()->mapType(), GMapView::SatelliteMap);
    EXPECT_EQ(first->mapTypePopUp()->currentIndex(), 1);
    EXPECT_EQ(controller().newDocument()->mapView()->mapType(), GMapView::SatelliteMap);
}

TEST_F(DocumentWindowTest, OpenRecentListsOpenedFilesAndClears) {
    controller().clearRecentDocuments();
    const QString second = writeFile(m_dir, QStringLiteral("second.gpx"), kTwoTrackGPX);
    ASSERT_NE(controller().openDocument(m_twoTracks), nullptr);
    DocumentWindow* window = open(second);
    QMenu* menu = window->findChild<QMenu*>(QStringLiteral("openRecentMenu"));
    ASSERT_NE(menu, nullptr);
    controller().fillRecentDocumentsMenu(menu);
    QStringList titles;
    for (QAction* action : menu->actions())
        titles << action->text();
    titles.removeAll(QString());
    EXPECT_EQ(titles, (QStringList{QStringLiteral("second.gpx"), QStringLiteral("two.gpx"),
                                   QStringLiteral("Clear Menu")}));
    menu->findChild<QAction*>(QStringLiteral("clearRecentDocuments"))->trigger();
    controller().fillRecentDocumentsMenu(menu);
    EXPECT_FALSE(menu->findChild<QAction*>(QStringLiteral("clearRecentDocuments"))->isEnabled());
}

} // namespace
} // namespace wend
