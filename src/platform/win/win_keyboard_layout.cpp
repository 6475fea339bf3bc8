#include "platform/win/win_keyboard_layout.h"

#include <windows.h>

namespace varno {

std::uint16_t WinKeyboardLayout::vkKeyScan(char c) const
{
    // -1 (no key) becomes 0xFFFF, as the layout interface expects.
    return static_cast<std::uint16_t>(VkKeyScanA(c));
}

std::uint32_t WinKeyboardLayout::mapVirtualKey(std::uint32_t keyCode) const
{
    return MapVirtualKeyA(keyCode, MAPVK_VK_TO_VSC);
}

} // namespace varno
