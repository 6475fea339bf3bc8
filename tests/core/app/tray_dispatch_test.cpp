#include "core/app/tray_dispatch.h"

#include <gtest/gtest.h>

using namespace varno;

TEST(TrayDispatch, PressesClickOrMouseDownReleasesAndDoubleClicksTheirEvents)
{
    const TrayHandlers clickOnly{};
    const TrayHandlers withMouseDown{true, false};
    const TrayHandlers withPopup{false, true};
    const struct {
        std::uint32_t message;
        TrayAction clickOnly;
        TrayAction withMouseDown;
        TrayAction withPopup;
    } cases[] = {
        {512, TrayAction::MouseMove, TrayAction::MouseMove, TrayAction::MouseMove},
        {513, TrayAction::Click, TrayAction::MouseDown, TrayAction::Click},
        {514, TrayAction::MouseUp, TrayAction::MouseUp, TrayAction::MouseUp},
        {515, TrayAction::DblClick, TrayAction::DblClick, TrayAction::DblClick},
        {516, TrayAction::Click, TrayAction::MouseDown, TrayAction::PopupMenu},
        {517, TrayAction::MouseUp, TrayAction::MouseUp, TrayAction::MouseUp},
        {518, TrayAction::DblClick, TrayAction::DblClick, TrayAction::DblClick},
        {519, TrayAction::Click, TrayAction::MouseDown, TrayAction::Click},
        {520, TrayAction::MouseUp, TrayAction::MouseUp, TrayAction::MouseUp},
        {521, TrayAction::DblClick, TrayAction::DblClick, TrayAction::DblClick},
        {511, TrayAction::None, TrayAction::None, TrayAction::None},
        {522, TrayAction::None, TrayAction::None, TrayAction::None},
        {0, TrayAction::None, TrayAction::None, TrayAction::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(trayActionFor(c.message, clickOnly), c.clickOnly) << c.message;
        EXPECT_EQ(trayActionFor(c.message, withMouseDown), c.withMouseDown) << c.message;
        EXPECT_EQ(trayActionFor(c.message, withPopup), c.withPopup) << c.message;
    }
}

TEST(TrayDispatch, CallbackMessageFollowsTheIconNumber)
{
    EXPECT_EQ(trayCallbackMessage(1), 1025u);
    EXPECT_EQ(trayCallbackMessage(2), 1026u);
    EXPECT_EQ(trayFlags(false), 3u);
    EXPECT_EQ(trayFlags(true), 7u);
}

TEST(TrayDispatch, TipKeepsAtMostSixtyThreeCharacters)
{
    EXPECT_EQ(trayTip("Varno Server"), "Varno Server");
    EXPECT_EQ(trayTip(std::string(63, 'x')), std::string(63, 'x'));
    EXPECT_EQ(trayTip(std::string(100, 'x')), std::string(63, 'x'));
}
