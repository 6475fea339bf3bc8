#pragma once

#include "core/console/key_player.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace varno {

// Puts key events into the system's input stream with SendInput, in the order of the list. Windows no
// longer lets programs install a journal-playback hook, so this takes its place: the keys go to whatever
// has the keyboard focus, and Windows turns them into system key messages by itself while Alt is held.
// SendInput queues all events at once, so the playback has finished when start returns.
class WinKeyInjector : public KeyInjector {
public:
    // False when Windows accepts none of the events (input blocked, for example by a window of higher
    // integrity in the foreground).
    bool start(std::vector<KeyEvent> events, std::function<void()> finished) override;
};

// The SendInput records for events: one keyboard input per event, key up for the up messages.
std::vector<INPUT> sendInputRecords(const std::vector<KeyEvent>& events);

} // namespace varno
