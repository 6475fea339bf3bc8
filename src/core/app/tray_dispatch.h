#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varno {

// The mouse messages the shell reports for a notification-area icon, as the callback's lParam.
inline constexpr std::uint32_t kWmMouseMove = 512;
inline constexpr std::uint32_t kWmLButtonDown = 513;
inline constexpr std::uint32_t kWmLButtonUp = 514;
inline constexpr std::uint32_t kWmLButtonDblClk = 515;
inline constexpr std::uint32_t kWmRButtonDown = 516;
inline constexpr std::uint32_t kWmRButtonUp = 517;
inline constexpr std::uint32_t kWmRButtonDblClk = 518;
inline constexpr std::uint32_t kWmMButtonDown = 519;
inline constexpr std::uint32_t kWmMButtonUp = 520;
inline constexpr std::uint32_t kWmMButtonDblClk = 521;

inline constexpr std::uint32_t kWmUser = 1024;

// The callback message of the icon numbered iconId on its owner window.
constexpr std::uint32_t trayCallbackMessage(int iconId)
{
    return kWmUser + static_cast<std::uint32_t>(iconId);
}

// What a mouse message over the icon does.
enum class TrayAction {
    None,       // no event; the message result is 1
    MouseMove,  // OnMouseMove
    MouseDown,  // OnMouseDown
    Click,      // OnClick
    MouseUp,    // OnMouseUp
    DblClick,   // OnDblClick
    PopupMenu,  // the popup menu at the pointer, no event
};

struct TrayHandlers {
    bool hasMouseDown = false;
    bool autoPopupMenu = false; // a popup menu is set and pops up by itself
};

// A press of any button fires OnMouseDown when it is assigned, otherwise OnClick; a right press with
// an automatic popup menu shows the menu instead; releases fire OnMouseUp, double clicks OnDblClick.
TrayAction trayActionFor(std::uint32_t mouseMessage, const TrayHandlers& handlers);

// The tip as the shell's 64-byte field holds it: at most 63 characters.
inline constexpr std::size_t kTrayTipLength = 63;
std::string trayTip(std::string_view tip);

// The notification record's flags: message and icon, and the tip when there is one.
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;
constexpr std::uint32_t trayFlags(bool hasTip)
{
    return kNifMessage | kNifIcon | (hasTip ? kNifTip : 0);
}

} // namespace varno
