// The application's smaller parts: preferences window, help links, printing, the loading
// panel, the clipboard and the alert presenter.
#include "core/document/InMemoryPreferences.h"
#include "ui/app/AlertPresenter.h"
#include "ui/app/HelpLinks.h"
#include "ui/app/LoadingPanel.h"
#include "ui/app/MapPrinter.h"
#include "ui/app/PreferencesWindow.h"
#include "ui/app/QtClipboard.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace wend {
namespace {

TEST(AppPreferencesWindow, EveryKeyHasAControlThatStoresAtOnce) {
    InMemoryPreferences preferences;
    PreferencesWindow window(preferences);
    QSignalSpy changed(&window, &PreferencesWindow::preferenceChanged);

    for (const auto& [key, value] : Preferences::registeredDefaults())
        EXPECT_NE(window.controlForKey(key), nullptr) << key;

    // Controls show the stored values and store what the user sets.
    auto* outliers = qobject_cast<QCheckBox*>(
        window.controlForKey(Preferences::kIgnoreOutliersWhenCalculatingStatisticsKey));
    ASSERT_NE(outliers, nullptr);
    outliers->setChecked(false);
    EXPECT_FALSE(preferences.ignoreOutliersWhenCalculatingStatistics());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(),
              QStringLiteral("IgnoreOutliersWhenCalculatingStatistics"));
    auto* url = qobject_cast<QLineEdit*>(window.controlForKey(Preferences::kTerrainTileURLKey));
    ASSERT_NE(url, nullptr);
    url->setText(QStringLiteral("  https://tiles.example.org/{z}/{x}/{y}.png "));
    emit url->editingFinished();
    EXPECT_EQ(preferences.stringForKey(Preferences::kTerrainTileURLKey),
              "https://tiles.example.org/{z}/{x}/{y}.png");

    // The defaults come back for the tiles at one press.
    window.findChild<QPushButton*>(QStringLiteral("restoreTileDefaults"))->click();
    EXPECT_FALSE(preferences.hasValue(Preferences::kTerrainTileURLKey));
    EXPECT_EQ(url->text().toStdString(), preferences.stringForKey(Preferences::kTerrainTileURLKey));

    // A message the user silenced can be shown again; the button is idle otherwise.
    auto* err2 = qobject_cast<QPushButton*>(window.controlForKey(Preferences::kHideErr2Key));
    ASSERT_NE(err2, nullptr);
    EXPECT_FALSE(err2->isEnabled());
    preferences.setBool(Preferences::kHideErr2Key, true);
    window.reload();
    ASSERT_TRUE(err2->isEnabled());
    err2->click();
    EXPECT_FALSE(preferences.boolForKey(Preferences::kHideErr2Key));

    // Values stored elsewhere show when the window is shown again; showing stores nothing.
    preferences.setMapType(1);
    const int before = static_cast<int>(changed.count());
    window.reload();
    EXPECT_EQ(
        qobject_cast<QComboBox*>(window.controlForKey(Preferences::kMapTypeKey))->currentIndex(),
        1);
    EXPECT_EQ(changed.count(), before);
}

TEST(AppHelpLinks, OpenStreetMapFirstThenEachProviderOnce) {
    InMemoryPreferences preferences;
    const QList<HelpLink> links = HelpLinks::helpLinks(preferences);
    ASSERT_GE(links.size(), 3);
    EXPECT_EQ(links[0].url, QUrl(QStringLiteral("https://www.openstreetmap.org/copyright")));

    // An address of its own: the provider's home page. An empty address adds nothing.
    preferences.setString(Preferences::kStreetTileURLKey,
                          "http://127.0.0.1:8123/street/{z}/{x}/{y}.png");
    preferences.setString(Preferences::kSatelliteTileURLKey, "");
    QList<QUrl> urls;
    for (const HelpLink& link : HelpLinks::helpLinks(preferences))
        urls << link.url;
    EXPECT_TRUE(urls.contains(QUrl(QStringLiteral("http://127.0.0.1:8123/"))));
    EXPECT_FALSE(HelpLinks::linkForTileURL(QString()).has_value());
}

TEST(AppMapPrinter, TheMapTakesThePageOrientationWithTenPointMargins) {
    QTemporaryDir dir;
    QImage wide(800, 400, QImage::Format_RGB32);
    wide.fill(Qt::darkGreen);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("map.pdf")));
    MapPrinter::preparePrinter(printer, wide.size());
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(printer.pageLayout().margins(QPageLayout::Point), QMarginsF(10, 10, 10, 10));
    ASSERT_TRUE(MapPrinter::printImage(printer, wide));
    QFile pdf(dir.filePath(QStringLiteral("map.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));

    QPrinter tall(QPrinter::HighResolution);
    MapPrinter::preparePrinter(tall, QSize(300, 500));
    EXPECT_EQ(tall.pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_FALSE(MapPrinter::printImage(tall, QImage()));
}

TEST(AppLoadingPanel, ShowsProgressAfterItsDelayAndClosesWhenDone) {
    LoadingPanel::setShowDelay(0);
    {
        LoadingPanel panel(QStringLiteral("big.gpx"));
        EXPECT_FALSE(panel.isVisible());
        panel.setProgress(250, 1000);
        EXPECT_TRUE(panel.isVisible());
        EXPECT_EQ(panel.progressBar()->value(), 250);
        // Sizes beyond the range of int still show as a fraction.
        panel.setProgress(std::size_t{3} << 40, std::size_t{4} << 40);
        EXPECT_EQ(panel.progressBar()->value(), 750);
        // The user cannot close it halfway.
        panel.close();
        EXPECT_TRUE(panel.isVisible());
        panel.finish();
        EXPECT_FALSE(panel.isVisible());
    }
    LoadingPanel::setShowDelay(60000);
    LoadingPanel quick(QStringLiteral("small.gpx"));
    quick.setProgress(10, 10);
    EXPECT_FALSE(quick.isVisible());
    LoadingPanel::setShowDelay(LoadingPanel::kDefaultShowDelay);
}

TEST(AppQtClipboard, TypesAddUpUntilClearedAndForeignContentIsReplaced) {
    QtClipboard clipboard;
    clipboard.clearContents();
    EXPECT_FALSE(clipboard.hasType(Clipboard::kPlainTextType));
    clipboard.setData("application/x-test", {1, 2, 3});
    clipboard.setText("hello");
    EXPECT_EQ(clipboard.data("application/x-test"), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(clipboard.text(), "hello");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("hello"));

    // Another writer takes the clipboard: what this one adds next does not mix with it.
    QGuiApplication::clipboard()->setText(QStringLiteral("theirs"));
    EXPECT_FALSE(clipboard.hasType("application/x-test"));
    clipboard.setData("application/x-test", {9});
    EXPECT_FALSE(clipboard.hasType(Clipboard::kPlainTextType));
    clipboard.clearContents();
    EXPECT_FALSE(clipboard.data("application/x-test").has_value());
}

TEST(AppAlertPresenter, MessageBoxReturnsTheChosenButtonAndEscapeMeansCancel) {
    EXPECT_EQ(escapeButtonIndex({QStringLiteral("OK"), QStringLiteral("Don't Show Again")}), 0);
    const auto answerWith = [](const QString& button) {
        QTimer::singleShot(0, [button] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                    for (QAbstractButton* candidate : box->buttons())
                        if (candidate->text() == button)
                            candidate->click();
                }
            }
        });
    };
    const AlertRequest request{
        QStringLiteral("Title"),
        QStringLiteral("Text."),
        {QStringLiteral("Save"), QStringLiteral("Don't Save"), QStringLiteral("Cancel")},
        QMessageBox::Warning};
    answerWith(QStringLiteral("Don't Save"));
    EXPECT_EQ(runMessageBox(nullptr, request), 1);
    EXPECT_EQ(escapeButtonIndex(request.buttons), 2);
}

} // namespace
} // namespace wend
