#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wend {

// What a second start of the editor hands to the one already running: the files to open, as
// absolute paths (none: a new empty window). On the wire: a version tag and each path, every
// one ended by a zero byte, then one more zero byte. Paths cannot hold a zero byte, so any
// name a file system allows travels unchanged.
//
// The receiving side feeds the bytes as they arrive; anything that does not start with the
// tag, or grows beyond kMaximumSize, is refused rather than buffered without end.
class InstanceMessage {
public:
    enum class State { Incomplete, Complete, Malformed };

    static constexpr std::string_view kTag = "wend-open-1";
    static constexpr std::size_t kMaximumSize = 1 << 20;

    static std::string encode(const std::vector<std::string>& paths);

    // Adds received bytes; bytes after a complete message make it malformed.
    State append(std::string_view bytes);
    State state() const { return m_state; }
    // The paths received so far; all of them once the message is complete.
    const std::vector<std::string>& paths() const { return m_paths; }

private:
    void parse();

    std::string m_buffer;
    std::vector<std::string> m_paths;
    // Where the next record starts in m_buffer; 0 until the tag has arrived.
    std::size_t m_next = 0;
    State m_state = State::Incomplete;
};

} // namespace wend
