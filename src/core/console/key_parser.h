#pragma once

#include "core/console/key_events.h"
#include "core/console/keyboard_layout.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace varno {

// The platform's millisecond tick count, stamped on each event as it is built.
using TickSource = std::function<std::uint32_t()>;

// Playback steps through the list with a 16-bit index.
inline constexpr std::size_t kMaxKeyEvents = 65535;

// The key events a key string stands for: "@", "^" and "~" hold Alt, Ctrl and Shift for the next key,
// "{NAME}" presses a named key and every other character the key that types it. The whole text is read
// before anything is returned, so one bad name anywhere spoils all of it.
// Throws ESKInvalidToken ("No closing brace", "Invalid token") for a bad braced name and ESendKeyError
// when the text stands for more than kMaxKeyEvents events. Modifiers left pending at the end are dropped.
std::vector<KeyEvent> buildKeyEvents(std::string_view text, const KeyboardLayout& layout, const TickSource& ticks);

// The characters of a key string that no key of the layout types, each once in the order they first come, a
// character of several UTF-8 bytes whole: typed, they would give nothing or another key. Braced names and the
// modifier signs are not characters to type. Empty when every character can be typed.
std::vector<std::string> untypableCharacters(std::string_view text, const KeyboardLayout& layout);

} // namespace varno
