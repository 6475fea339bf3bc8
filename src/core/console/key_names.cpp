#include "core/console/key_names.h"

#include "core/console/key_events.h"

#include <array>
#include <string>

namespace varno {

namespace {

struct KeyName {
    std::string_view name;
    std::uint8_t keyCode;
};

constexpr std::size_t kMaxKeyNameLength = 7;

// The arrow keys come last: they move the caret of a console's input line and walk a terminal console's
// history.
constexpr std::array<KeyName, 28> kKeyNames = {{
    {"F1", 112},    {"F2", 113},    {"F3", 114},  {"F4", 115},   {"F5", 116},   {"F6", 117},
    {"F7", 118},    {"F8", 119},    {"F9", 120},  {"F10", 121},  {"F11", 122},  {"F12", 123},
    {"INSERT", 45}, {"DELETE", 46}, {"HOME", 36}, {"END", 35},   {"PGUP", 33},  {"PGDN", 34},
    {"TAB", 9},     {"ENTER", 13},  {"BKSP", 8},  {"PRTSC", 44}, {"SHIFT", 16}, {"ESCAPE", 27},
    {"LEFT", 37},   {"UP", 38},     {"RIGHT", 39}, {"DOWN", 40},
}};

} // namespace

std::optional<std::uint8_t> LookupKeyName(std::string_view name)
{
    std::string key(name.substr(0, kMaxKeyNameLength));
    for (char& c : key) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    for (const auto& entry : kKeyNames) {
        if (entry.name == key)
            return entry.keyCode;
    }
    return std::nullopt;
}

bool isSystemKey(std::uint32_t keyCode)
{
    return keyCode == kVkMenu || (keyCode >= 'A' && keyCode <= 'Z') || (keyCode >= kVkF1 && keyCode <= kVkF12);
}

} // namespace varno
