#include "core/base/InstanceMessage.h"

#include <algorithm>

namespace wend {

std::string InstanceMessage::encode(const std::vector<std::string>& paths) {
    std::string bytes(kTag);
    bytes.push_back('\0');
    for (const std::string& path : paths) {
        bytes += path;
        bytes.push_back('\0');
    }
    bytes.push_back('\0');
    return bytes;
}

InstanceMessage::State InstanceMessage::append(std::string_view bytes) {
    if (m_state == State::Malformed || bytes.empty())
        return m_state;
    if (m_state == State::Complete || m_buffer.size() + bytes.size() > kMaximumSize) {
        m_state = State::Malformed;
        return m_state;
    }
    m_buffer.append(bytes);
    parse();
    return m_state;
}

void InstanceMessage::parse() {
    // The tag is checked as soon as its bytes are there, so a stranger is turned away early.
    const std::string_view tag(kTag.data(), kTag.size() + 1);
    if (m_next == 0) {
        const std::size_t length = std::min(m_buffer.size(), tag.size());
        if (std::string_view(m_buffer).substr(0, length) != tag.substr(0, length)) {
            m_state = State::Malformed;
            return;
        }
        if (length < tag.size())
            return;
        m_next = tag.size();
    }
    // Each record is looked at once, however the bytes arrive.
    while (m_next < m_buffer.size()) {
        const std::size_t end = m_buffer.find('\0', m_next);
        if (end == std::string::npos)
            return;
        if (end == m_next) {
            m_state = end + 1 == m_buffer.size() ? State::Complete : State::Malformed;
            return;
        }
        m_paths.emplace_back(m_buffer, m_next, end - m_next);
        m_next = end + 1;
    }
}

} // namespace wend
