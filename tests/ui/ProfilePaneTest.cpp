#include "ui/profile/ProfilePane.h"

#include "AppTestSupport.h"
#include "core/document/WendDocument.h"
#include "ui/app/DocumentWindow.h"
#include "ui/mapview/GPSView.h"
#include "ui/profile/ProfileChartView.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace wend {
namespace {

const QString kSample = QStringLiteral(WEND_SOURCE_DIR "/samples/sample.gpx");

class ProfilePaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_window = m_env.controller->openDocument(kSample);
        ASSERT_NE(m_window, nullptr);
        m_window->resize(1200, 860);
        // The menu command opens the pane, as the user would (it stays open for the next
        // window once opened).
        QAction* toggle = m_window->actionNamed(QStringLiteral("toggleProfile"));
        if (!pane().isExpanded())
            toggle->trigger();
        ASSERT_TRUE(pane().isExpanded());
        EXPECT_TRUE(toggle->isChecked());
        ASSERT_TRUE(test::waitUntil([&] { return chart().height() >= 100; }));
    }

    ProfilePane& pane() const { return *m_window->profilePane(); }
    ProfileChartView& chart() const { return *pane().chartView(); }
    const ProfileEntry& entryNamed(const char* name) const {
        for (const ProfileEntry& entry : pane().model().entries())
            if (entry.item->itemName() == name)
                return entry;
        throw std::runtime_error(name);
    }
    // The x coordinate of a fraction of an entry's stretch of the axis.
    double xInside(const ProfileEntry& entry, double fraction) const {
        const ProfileAxis axis = chart().chart().axis();
        return chart().chart().xAtPosition(entry.offset(axis) + fraction * entry.length(axis),
                                           chart().size());
    }

    test::AppTestEnvironment m_env;
    DocumentWindow* m_window = nullptr;
};

// The first coloured pixel from the top of a column: the elevation line.
int topOfLine(const QImage& image, int x, const QRectF& plot) {
    for (int y = static_cast<int>(plot.top()) + 1; y < static_cast<int>(plot.bottom()); ++y) {
        const QColor color = image.pixelColor(x, y);
        if (color.hsvSaturation() > 120 && color.value() > 60)
            return y;
    }
    return -1;
}

TEST_F(ProfilePaneTest, TheSampleHikeClimbsAndDescends) {
    chart().chart().setAxis(ProfileAxis::Distance);
    chart().chart().setSecondQuantity(std::nullopt);
    const QImage image = chart().grab().toImage();
    const QRectF plot = chart().chart().plotRect(chart().size());
    struct Stretch {
        const char* track;
        bool climbs;
    };
    for (const Stretch& stretch :
         {Stretch{"Ascent to the Gratspitz", true}, Stretch{"Descent by the Seealp lake", false}}) {
        SCOPED_TRACE(stretch.track);
        const ProfileEntry& entry = entryNamed(stretch.track);
        const int start = topOfLine(image, static_cast<int>(xInside(entry, 0.08)), plot);
        const int end = topOfLine(image, static_cast<int>(xInside(entry, 0.92)), plot);
        ASSERT_GT(start, 0);
        ASSERT_GT(end, 0);
        // Screen y grows downwards: a climb ends higher up.
        EXPECT_GT(stretch.climbs ? start - end : end - start, 40);
    }

    // Saved at the size shown, the PNG at twice the pixel density; a failure says why.
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("p.png"));
    EXPECT_EQ(chart().saveChart(png, QStringLiteral("png")), QString());
    EXPECT_EQ(QImage(png).size(), chart().size() * 2);
    EXPECT_NE(chart().saveChart(dir.filePath(QStringLiteral("no/p.png")), QStringLiteral("png")),
              QString());
}

TEST_F(ProfilePaneTest, ADialogsPreviewShowsWhileItRuns) {
    WendDocument& document = m_window->document();
    const auto pointsShown = [&] {
        std::size_t count = 0;
        for (const ProfileEntry& entry : pane().model().entries())
            count += entry.series->pointCount();
        return count;
    };
    const std::size_t before = pointsShown();
    // A preview of the first item alone, as splitting or simplifying shows one.
    document.setTempItems(ItemList{document.permanentItems().front()});
    EXPECT_LT(pointsShown(), before);
    document.setTempItems(std::nullopt);
    EXPECT_EQ(pointsShown(), before);
}

TEST_F(ProfilePaneTest, ADragSelectsOnTheMapAsOneUndoStepAndEscapeCancels) {
    m_env.preferences.setTrackSelectionChangesAreUndoable(true);
    const ProfileEntry& entry = entryNamed("Ascent to the Gratspitz");
    const GPSItemPtr track = entry.item;
    const ProfileAxis axis = chart().chart().axis();
    const int y = static_cast<int>(chart().chart().plotRect(chart().size()).center().y());
    const QPoint from(static_cast<int>(xInside(entry, 0.2)), y);
    const QPoint to(static_cast<int>(xInside(entry, 0.6)), y);
    const auto indexAt = [&](QPoint p) {
        return entry.pointNearest(axis, chart().chart().positionAtX(p.x(), chart().size()));
    };

    QTest::mousePress(&chart(), Qt::LeftButton, {}, from);
    QTest::mouseMove(&chart(), to);
    EXPECT_TRUE(m_window->gpsView()->highlightedPoint().has_value()) << "marked on the map";
    QTest::mouseRelease(&chart(), Qt::LeftButton, {}, to);
    m_env.endEvent();
    const std::uint64_t first = indexAt(from);
    const std::uint64_t last = indexAt(to);
    EXPECT_EQ(track->itemSelection().ranges(), (std::vector<IndexRange>{{first, last - first}}));
    WendDocument& document = m_window->document();
    EXPECT_EQ(document.undoManager().undoActionName(), "Change Selection");

    // A second drag, given up with Escape, leaves the first selection and no step.
    chart().setFocus();
    QTest::mousePress(&chart(), Qt::LeftButton, Qt::ShiftModifier, to + QPoint(40, 0));
    QTest::mouseMove(&chart(), to + QPoint(120, 0));
    EXPECT_NE(track->itemSelection().ranges(), (std::vector<IndexRange>{{first, last - first}}));
    QTest::keyClick(&chart(), Qt::Key_Escape);
    QTest::mouseRelease(&chart(), Qt::LeftButton, Qt::ShiftModifier, to + QPoint(120, 0));
    m_env.endEvent();
    EXPECT_EQ(track->itemSelection().ranges(), (std::vector<IndexRange>{{first, last - first}}));
    EXPECT_EQ(document.undoManager().groupingLevel(), 0);

    ASSERT_TRUE(document.undoManager().undo());
    EXPECT_TRUE(track->itemSelection().isEmpty());
}

} // namespace
} // namespace wend
