#pragma once

#include "core/console/keyboard_layout.h"

namespace varno {

// The keyboard layout of the current thread, as Windows reports it.
class WinKeyboardLayout : public KeyboardLayout {
public:
    std::uint16_t vkKeyScan(char c) const override;
    std::uint32_t mapVirtualKey(std::uint32_t keyCode) const override;
};

} // namespace varno
