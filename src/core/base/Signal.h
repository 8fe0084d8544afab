#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace wend {

// A list of observers called in the order they connected. Slots may connect, disconnect
// (themselves or others) and notify again while a notification runs: each notification works
// on a snapshot of the list, skips slots disconnected meanwhile, and keeps a running slot's
// function alive until it returns. Slots connected during a notification first hear the next
// one. Destroying the signal from inside a slot is safe too; the remaining slots are skipped.
//
// The call is named notify because Qt defines `emit` as a macro.
template <typename... Args> class Signal {
public:
    using Slot = std::function<void(Args...)>;
    // Never 0, never reused within one signal.
    using ConnectionId = std::uint64_t;

    Signal() = default;
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;
    ~Signal() { disconnectAll(); }

    ConnectionId connect(Slot slot) {
        const ConnectionId id = ++m_lastId;
        m_entries.push_back(std::make_shared<Entry>(Entry{id, std::move(slot), true}));
        return id;
    }

    // Returns whether the connection existed.
    bool disconnect(ConnectionId id) {
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if ((*it)->id == id) {
                (*it)->connected = false;
                m_entries.erase(it);
                return true;
            }
        }
        return false;
    }

    void disconnectAll() {
        for (const auto& entry : m_entries)
            entry->connected = false;
        m_entries.clear();
    }

    std::size_t slotCount() const { return m_entries.size(); }

    void notify(Args... args) const {
        const std::vector<std::shared_ptr<Entry>> snapshot = m_entries;
        for (const auto& entry : snapshot) {
            if (entry->connected && entry->slot)
                entry->slot(args...);
        }
    }

private:
    struct Entry {
        ConnectionId id;
        Slot slot;
        bool connected;
    };

    std::vector<std::shared_ptr<Entry>> m_entries;
    ConnectionId m_lastId = 0;
};

} // namespace wend
