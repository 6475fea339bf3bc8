#pragma once

#include "core/console/key_events.h"

#include <string>
#include <vector>

namespace varno {

// The key arguments for "tmux send-keys" that type an event list into a pane, one per key press: a
// character as itself (with Shift applied through the US layout), a space as "Space", tmux's names for
// Enter, Tab, BSpace, Escape, F1..F12, Home, End, PPage, NPage, IC and DC, each with "C-" and "M-" in front
// while Ctrl or Alt is held. Shift has no effect on named keys. Keys with nothing to send (Print Screen,
// the code of an unproducible character) give no argument.
// tmux ends a command at an argument that ends in ";", so such an argument comes back as "\;" (and "C-\;"),
// which tmux reads as a literal semicolon key.
std::vector<std::string> tmuxKeyTokens(const std::vector<KeyEvent>& events);

} // namespace varno
