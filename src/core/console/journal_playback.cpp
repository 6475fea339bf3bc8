#include "core/console/journal_playback.h"

#include <utility>

namespace varno {

JournalPlayback::JournalPlayback(std::vector<KeyEvent> events)
    : m_events(std::move(events))
{
    if (m_events.empty())
        m_atEnd = true;
    else
        m_current = m_events.front();
}

bool JournalPlayback::skip()
{
    if (m_atEnd)
        return false;
    if (static_cast<std::size_t>(m_index) + 1 >= m_events.size()) {
        m_atEnd = true;
        return false;
    }
    ++m_index;
    m_current = m_events[m_index];
    return true;
}

} // namespace varno
