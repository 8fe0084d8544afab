#pragma once

#include "core/formats/GPXReadResult.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>

namespace wend {

// Reads a GPX file on a thread of its own, so the thread that started it keeps serving its
// user: it asks for the progress when it likes and takes the result once the read finished.
// The document read is handed over whole; nothing else touches it while it is being read.
class BackgroundFileRead {
public:
    // `finished` runs on the reading thread once the result is ready (to wake the waiting
    // thread); it must not touch the result.
    explicit BackgroundFileRead(std::string path, std::function<void()> finished = {});
    // Waits for the read to end.
    ~BackgroundFileRead();
    BackgroundFileRead(const BackgroundFileRead&) = delete;
    BackgroundFileRead& operator=(const BackgroundFileRead&) = delete;

    // Bytes read so far and the file's size (0 until known).
    std::size_t bytesDone() const { return m_done.load(std::memory_order_relaxed); }
    std::size_t bytesTotal() const { return m_total.load(std::memory_order_relaxed); }
    bool isFinished() const { return m_finished.load(std::memory_order_acquire); }
    // Waits for the read to end and gives its result (once).
    GPXReadResult takeResult();

private:
    std::atomic<std::size_t> m_done{0};
    std::atomic<std::size_t> m_total{0};
    std::atomic<bool> m_finished{false};
    GPXReadResult m_result;
    std::thread m_thread;
};

} // namespace wend
