#pragma once

#include "core/console/key_events.h"

#include <cstdint>
#include <vector>

namespace varno {

// Walks an event list the way a journal-playback hook consumes it: the platform fetches the current event
// as often as it likes, then skips to the next one; skipping past the last event ends the playback.
class JournalPlayback {
public:
    // events must not be empty and hold at most kMaxKeyEvents entries.
    explicit JournalPlayback(std::vector<KeyEvent> events);

    const KeyEvent& currentEvent() const { return m_current; }
    std::uint16_t eventIndex() const { return m_index; }

    // Moves on to the next event; false once the last one has been consumed.
    bool skip();
    bool atEnd() const { return m_atEnd; }

private:
    std::vector<KeyEvent> m_events;
    KeyEvent m_current;
    std::uint16_t m_index = 0;
    bool m_atEnd = false;
};

} // namespace varno
