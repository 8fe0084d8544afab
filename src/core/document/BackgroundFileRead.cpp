#include "core/document/BackgroundFileRead.h"

#include "core/document/DocumentLoader.h"

#include <utility>

namespace wend {

BackgroundFileRead::BackgroundFileRead(std::string path, std::function<void()> finished)
    : m_thread([this, path = std::move(path), finished = std::move(finished)] {
          m_result = DocumentLoader::loadDocumentFromFile(path, [this](std::size_t done, std::size_t total) {
              m_total.store(total, std::memory_order_relaxed);
              m_done.store(done, std::memory_order_relaxed);
          });
          m_finished.store(true, std::memory_order_release);
          if (finished)
              finished();
      }) {}

BackgroundFileRead::~BackgroundFileRead() {
    if (m_thread.joinable())
        m_thread.join();
}

GPXReadResult BackgroundFileRead::takeResult() {
    if (m_thread.joinable())
        m_thread.join();
    return std::move(m_result);
}

} // namespace wend
