#pragma once

#include "core/console/key_events.h"
#include "core/console/key_parser.h"
#include "core/console/keyboard_layout.h"

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

namespace varno::test {

// The part of a key event that says what was pressed, for comparing sequences.
struct Stroke {
    std::uint32_t message;
    std::uint32_t keyCode;

    friend bool operator==(const Stroke&, const Stroke&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Stroke& stroke)
    {
        return out << "{" << stroke.message << ", " << stroke.keyCode << "}";
    }
};

inline std::vector<Stroke> strokesOf(const std::vector<KeyEvent>& events)
{
    std::vector<Stroke> strokes;
    for (const auto& event : events)
        strokes.push_back({event.message, event.keyCode});
    return strokes;
}

inline std::vector<KeyEvent> usEventsOf(std::string_view text)
{
    const UsKeyboardLayout layout;
    return buildKeyEvents(text, layout, [] { return 0u; });
}

} // namespace varno::test
