#pragma once

#include "core/console/key_events.h"

#include <cstddef>
#include <string>
#include <vector>

namespace varno {

// The keys the game's own console acts on itself. A terminal console completes on Tab and walks its
// history with the arrow keys; every other key is settled in the panel's copy of the input line.
enum class ConsoleKey {
    None,
    Enter,
    Tab,
    Up,
    Down,
};

// One step of typing into a terminal console: text typed literally, then at most one console key.
struct ConsoleDelivery {
    std::string text;
    ConsoleKey key = ConsoleKey::None;

    friend bool operator==(const ConsoleDelivery&, const ConsoleDelivery&) = default;
};

// The game console's input field, held by the panel so that a terminal console receives only what that field
// would: printable text and the keys above. Characters insert at the caret; Home, End and the left and right
// arrows move it; Backspace and Delete delete; Ctrl and Alt combinations and keys that type no text do
// nothing. No control character, escape sequence or signal key can come out of it.
class ConsoleLine {
public:
    // Takes one key event; returns a delivery when the key hands the line to the console.
    std::vector<ConsoleDelivery> press(const KeyEvent& event);
    // What is left in the line at the end of a key string, typed without a key (nothing if it is empty).
    std::vector<ConsoleDelivery> finish();

    const std::string& text() const { return m_text; }
    std::size_t caret() const { return m_caret; }

private:
    std::vector<ConsoleDelivery> handOver(ConsoleKey key);
    void keyDown(std::uint32_t keyCode, std::vector<ConsoleDelivery>& deliveries);

    std::string m_text;
    std::size_t m_caret = 0;
    bool m_shift = false;
    bool m_ctrl = false;
    bool m_alt = false;
};

// The deliveries a whole event list makes, starting from an empty line.
std::vector<ConsoleDelivery> consoleDeliveries(const std::vector<KeyEvent>& events);

} // namespace varno
