#include "platform/win/win_tray_icon.h"

#include "core/app/tray_dispatch.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace varno;
using varno::wintest::createTestWindow;

namespace {

constexpr const char* kOwnerClass = "VarnoTrayOwner";
// A message the owner window answers itself, with a result of its own.
constexpr UINT kOwnMessage = WM_USER + 50;
constexpr LRESULT kOwnResult = 1234;

struct ReceivedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const ReceivedMessage&) const = default;
};

std::vector<ReceivedMessage> g_ownerReceived;

LRESULT CALLBACK ownerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_USER) {
        g_ownerReceived.push_back({message, wParam, lParam});
        return message == kOwnMessage ? kOwnResult : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A real window with a procedure of its own, in which the icon component sits.
class WinTrayIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_owner = createTestWindow(kOwnerClass, ownerProcedure, "Owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100);
        ASSERT_NE(m_owner, nullptr);
        g_ownerReceived.clear();
    }

    void TearDown() override
    {
        if (m_owner)
            DestroyWindow(m_owner);
    }

    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam) { return SendMessageA(m_owner, message, wParam, lParam); }

    HWND m_owner = nullptr;
    std::vector<std::uint32_t> m_fired;
};

} // namespace

TEST_F(WinTrayIconTest, TheCallbackMessageIsWmUserPlusTheIconNumber)
{
    WinTrayIcon first(m_owner, 1, {});
    EXPECT_EQ(first.iconId(), 1);
    EXPECT_EQ(first.callbackMessage(), 1025u);

    WinTrayIcon ownerless(nullptr, 1, {});
    EXPECT_EQ(ownerless.iconId(), 0);
    EXPECT_EQ(ownerless.callbackMessage(), 1024u);
}

TEST_F(WinTrayIconTest, MouseMessagesOverTheIconFireAndOthersAnswerOne)
{
    WinTrayIcon icon(m_owner, 1, [this](std::uint32_t message) { m_fired.push_back(message); });
    const struct {
        LPARAM lParam;
        bool fires;
    } cases[] = {
        {kWmMouseMove, true},
        {kWmLButtonDown, true},
        {kWmLButtonUp, true},
        {kWmLButtonDblClk, true},
        {kWmRButtonDown, true},
        {kWmRButtonUp, true},
        {kWmRButtonDblClk, true},
        {kWmMButtonDown, true},
        {kWmMButtonUp, true},
        {kWmMButtonDblClk, true},
        {0, false},
        {511, false},
        {522, false},
        {WM_CONTEXTMENU, false},
        {0x400, false},
    };
    for (const auto& entry : cases) {
        m_fired.clear();
        const LRESULT result = send(1025, 1, entry.lParam);

        const std::intptr_t expectedResult = entry.fires ? 0 : 1;
        EXPECT_EQ(result, expectedResult) << entry.lParam;
        EXPECT_EQ(icon.lastCallbackResult(), expectedResult) << entry.lParam;
        EXPECT_EQ(m_fired, entry.fires ? std::vector<std::uint32_t>{static_cast<std::uint32_t>(entry.lParam)}
                                       : std::vector<std::uint32_t>{})
            << entry.lParam;
    }
    EXPECT_TRUE(g_ownerReceived.empty());
}

TEST_F(WinTrayIconTest, OtherMessagesReachTheWindowsOwnProcedureWithTheirResults)
{
    WinTrayIcon icon(m_owner, 1, [this](std::uint32_t message) { m_fired.push_back(message); });

    EXPECT_EQ(send(kOwnMessage, 7, 8), kOwnResult);
    EXPECT_EQ(send(1026, 0, kWmLButtonDown), 0);
    char title[32] = {};
    EXPECT_EQ(GetWindowTextA(m_owner, title, sizeof(title)), 5);
    EXPECT_STREQ(title, "Owner");

    EXPECT_EQ(g_ownerReceived,
              (std::vector<ReceivedMessage>{{kOwnMessage, 7, 8}, {1026, 0, static_cast<LPARAM>(kWmLButtonDown)}}));
    EXPECT_TRUE(m_fired.empty());
}

TEST_F(WinTrayIconTest, DestructionRestoresTheWindowProcedure)
{
    const LONG_PTR ownProcedure = GetWindowLongPtrA(m_owner, GWLP_WNDPROC);
    {
        WinTrayIcon icon(m_owner, 1, [this](std::uint32_t message) { m_fired.push_back(message); });
        EXPECT_NE(GetWindowLongPtrA(m_owner, GWLP_WNDPROC), ownProcedure);
    }
    EXPECT_EQ(GetWindowLongPtrA(m_owner, GWLP_WNDPROC), ownProcedure);

    EXPECT_EQ(send(1025, 1, kWmLButtonDown), 0);
    EXPECT_TRUE(m_fired.empty());
    EXPECT_EQ(g_ownerReceived, (std::vector<ReceivedMessage>{{1025, 1, static_cast<LPARAM>(kWmLButtonDown)}}));
}

TEST_F(WinTrayIconTest, TwoIconsOnOneWindowEachTakeTheirOwnCallback)
{
    std::vector<std::uint32_t> secondFired;
    WinTrayIcon first(m_owner, 1, [this](std::uint32_t message) { m_fired.push_back(message); });
    {
        WinTrayIcon second(m_owner, 2, [&](std::uint32_t message) { secondFired.push_back(message); });
        EXPECT_EQ(second.callbackMessage(), 1026u);

        EXPECT_EQ(send(1025, 1, kWmLButtonDown), 0);
        EXPECT_EQ(send(1026, 2, kWmRButtonDown), 0);
        EXPECT_EQ(send(kOwnMessage, 0, 0), kOwnResult);
        EXPECT_EQ(m_fired, std::vector<std::uint32_t>{kWmLButtonDown});
        EXPECT_EQ(secondFired, std::vector<std::uint32_t>{kWmRButtonDown});
    }
    // The first icon outlives the second and keeps its place in the message path.
    EXPECT_EQ(send(1025, 1, kWmMButtonDown), 0);
    EXPECT_EQ(m_fired, (std::vector<std::uint32_t>{kWmLButtonDown, kWmMButtonDown}));
    EXPECT_EQ(send(1026, 2, kWmRButtonDown), 0);
    EXPECT_EQ(secondFired, std::vector<std::uint32_t>{kWmRButtonDown});
}

// Needs a notification area: the Windows shell, or Wine's virtual desktop, whose task bar has one.
TEST_F(WinTrayIconTest, TheShellHoldsTheIconFromAddingUntilRemoval)
{
    {
        WinTrayIcon icon(m_owner, 1, {});
        EXPECT_FALSE(icon.notify(WinTrayIcon::Action::Modify, nullptr, "Varno Server"));
        EXPECT_TRUE(icon.notify(WinTrayIcon::Action::Add, nullptr, {}));
        EXPECT_FALSE(icon.notify(WinTrayIcon::Action::Add, nullptr, {}));
        EXPECT_TRUE(icon.notify(WinTrayIcon::Action::Modify, nullptr, "Varno Server"));
        EXPECT_TRUE(icon.notify(WinTrayIcon::Action::Modify, nullptr, std::string(100, 'x')));
    }
    // Destruction took the icon away, so the same icon can be added afresh.
    WinTrayIcon icon(m_owner, 1, {});
    EXPECT_TRUE(icon.notify(WinTrayIcon::Action::Add, nullptr, {}));
    EXPECT_TRUE(icon.notify(WinTrayIcon::Action::Delete, nullptr, {}));
    EXPECT_FALSE(icon.notify(WinTrayIcon::Action::Delete, nullptr, {}));
}
