#pragma once

#include <cstdint>

namespace varno {

// One synthetic key press or release, laid out like the platform's journal record: message, key code,
// scan code, time, window.
struct KeyEvent {
    std::uint32_t message = 0;
    std::uint32_t keyCode = 0;
    std::uint32_t scanCode = 0;
    std::uint32_t time = 0;
    std::uint32_t window = 0;

    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

inline constexpr std::uint32_t kWmKeyDown = 256;
inline constexpr std::uint32_t kWmKeyUp = 257;
inline constexpr std::uint32_t kWmSysKeyDown = 260;
inline constexpr std::uint32_t kWmSysKeyUp = 261;

// Virtual-key codes the player and its backends refer to by name.
inline constexpr std::uint8_t kVkBack = 8;
inline constexpr std::uint8_t kVkTab = 9;
inline constexpr std::uint8_t kVkReturn = 13;
inline constexpr std::uint8_t kVkShift = 16;
inline constexpr std::uint8_t kVkControl = 17;
inline constexpr std::uint8_t kVkMenu = 18;
inline constexpr std::uint8_t kVkEscape = 27;
inline constexpr std::uint8_t kVkPrior = 33;
inline constexpr std::uint8_t kVkNext = 34;
inline constexpr std::uint8_t kVkEnd = 35;
inline constexpr std::uint8_t kVkHome = 36;
inline constexpr std::uint8_t kVkSnapshot = 44;
inline constexpr std::uint8_t kVkInsert = 45;
inline constexpr std::uint8_t kVkDelete = 46;
inline constexpr std::uint8_t kVkF1 = 112;
inline constexpr std::uint8_t kVkF12 = 123;
// What the keyboard layout reports for a character no key produces.
inline constexpr std::uint8_t kVkUnproducible = 255;

inline bool isKeyDown(const KeyEvent& event)
{
    return event.message == kWmKeyDown || event.message == kWmSysKeyDown;
}

inline bool isKeyUp(const KeyEvent& event)
{
    return event.message == kWmKeyUp || event.message == kWmSysKeyUp;
}

enum KeyPlayResult {
    kpOk = 0,
    kpHookFailed = 1,
    kpBadToken = 2,
    kpOtherError = 3,
    kpBusy = 4,
};

} // namespace varno
