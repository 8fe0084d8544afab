#include "ui/app/LoadingPanel.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace wend {

namespace {
int g_showDelay = LoadingPanel::kDefaultShowDelay;
} // namespace

LoadingPanel::LoadingPanel(const QString& fileName, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(QStringLiteral("Loading"));
    setWindowModality(Qt::ApplicationModal);
    // Its closing must not count as the last window closing.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    m_label = new QLabel(QStringLiteral("Loading “%1”…").arg(fileName), this);
    m_progressBar = new QProgressBar(this);
    m_progressBar->setRange(0, 0);
    m_progressBar->setTextVisible(false);
    m_progressBar->setMinimumWidth(320);
    layout->addWidget(m_label);
    layout->addWidget(m_progressBar);
    m_elapsed.start();
}

int LoadingPanel::showDelay() {
    return g_showDelay;
}

void LoadingPanel::setShowDelay(int milliseconds) {
    g_showDelay = milliseconds;
}

void LoadingPanel::setProgress(std::size_t done, std::size_t total) {
    if (m_closing)
        return;
    if (total > 0) {
        // Permille keeps the values inside int for files of any size.
        m_progressBar->setRange(0, 1000);
        m_progressBar->setValue(
            static_cast<int>(std::min<std::size_t>(done, total) * 1000 / total));
    }
    if (!isVisible() && m_elapsed.elapsed() >= g_showDelay) {
        adjustSize();
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = rect();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
        show();
        raise();
        activateWindow();
    }
    if (isVisible()) {
        ++m_eventRounds;
        QCoreApplication::processEvents();
    }
}

void LoadingPanel::finish() {
    m_closing = true;
    close();
}

void LoadingPanel::closeEvent(QCloseEvent* event) {
    if (m_closing)
        event->accept();
    else
        event->ignore();
}

void LoadingPanel::keyPressEvent(QKeyEvent* event) {
    // Escape would otherwise close a dialog-flagged window.
    event->accept();
}

} // namespace wend
