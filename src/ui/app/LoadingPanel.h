#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <cstddef>

class QLabel;
class QProgressBar;

namespace wend {

// The small window shown while a file is read: the file's name and a progress bar fed by the
// reader. It is application-modal, so the other windows keep painting but take no input
// while the document they might act on is half read. It appears only once a read has taken
// longer than the show delay, so small files open without a flash.
class LoadingPanel : public QWidget {
    Q_OBJECT

public:
    explicit LoadingPanel(const QString& fileName, QWidget* parent = nullptr);

    // The reader's progress callback: bytes read so far of the total. Shows the panel once
    // the delay has passed, updates the bar and lets the event loop run.
    void setProgress(std::size_t done, std::size_t total);
    // Closes the panel for good: the read has finished.
    void finish();

    static constexpr int kDefaultShowDelay = 300;
    // Milliseconds a read runs before the panel appears; 0 shows it at the first progress.
    static int showDelay();
    static void setShowDelay(int milliseconds);

    QProgressBar* progressBar() const { return m_progressBar; }
    // How many times the panel has let the event loop run (for tests).
    int eventRounds() const { return m_eventRounds; }

protected:
    // The read cannot be interrupted halfway; the panel closes when it is done.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_label;
    QProgressBar* m_progressBar;
    QElapsedTimer m_elapsed;
    int m_eventRounds = 0;
    bool m_closing = false;
};

} // namespace wend
