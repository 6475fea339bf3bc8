#include "core/app/tray_dispatch.h"

namespace varno {

TrayAction trayActionFor(std::uint32_t mouseMessage, const TrayHandlers& handlers)
{
    const TrayAction press = handlers.hasMouseDown ? TrayAction::MouseDown : TrayAction::Click;
    switch (mouseMessage) {
    case kWmMouseMove:
        return TrayAction::MouseMove;
    case kWmLButtonDown:
    case kWmMButtonDown:
        return press;
    case kWmRButtonDown:
        return handlers.autoPopupMenu ? TrayAction::PopupMenu : press;
    case kWmLButtonUp:
    case kWmRButtonUp:
    case kWmMButtonUp:
        return TrayAction::MouseUp;
    case kWmLButtonDblClk:
    case kWmRButtonDblClk:
    case kWmMButtonDblClk:
        return TrayAction::DblClick;
    default:
        return TrayAction::None;
    }
}

std::string trayTip(std::string_view tip)
{
    return std::string(tip.substr(0, kTrayTipLength));
}

} // namespace varno
