#pragma once

#include <cstdint>
#include <optional>

namespace varno {

// The platform's keyboard layout as the keystroke player needs it. The Windows backend answers with the
// system's own mappings; elsewhere the fixed US layout below stands in.
class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;

    // The key that types c, in the form of VkKeyScanA: key code in the low byte, Shift in bit 0 of the high
    // byte (bits 1 and 2 for Ctrl and Alt); 0xFFFF when no key types c.
    virtual std::uint16_t vkKeyScan(char c) const = 0;

    // The key's scan code, as MapVirtualKeyA with map type 0 gives it; 0 for a code with no key.
    virtual std::uint32_t mapVirtualKey(std::uint32_t keyCode) const = 0;
};

inline constexpr std::uint16_t kKeyScanShift = 0x100;
inline constexpr std::uint16_t kKeyScanCtrl = 0x200;
inline constexpr std::uint16_t kKeyScanNone = 0xFFFF;

// A standard US keyboard with set-1 scan codes.
class UsKeyboardLayout : public KeyboardLayout {
public:
    std::uint16_t vkKeyScan(char c) const override;
    std::uint32_t mapVirtualKey(std::uint32_t keyCode) const override;

    // The character a key types with or without Shift, for the keys that type one; the reverse of vkKeyScan.
    std::optional<char> characterFor(std::uint32_t keyCode, bool shift) const;
};

} // namespace varno
