#include "platform/win/win_console.h"
#include "platform/win/win_key_injector.h"
#include "platform/win/win_keyboard_layout.h"

#include "core/console/key_player.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace varno;
using namespace varno::wintest;

namespace {

constexpr const char* kPanelClass = "VarnoTestPanel";

// The console bridge against a stand-in server console in another process, with a window of the test's
// own in the foreground beforehand, as the panel's would be when the operator sends a command.
class WinConsoleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_panel = createTestWindow(kPanelClass, DefWindowProcA, "Panel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 560, 40,
                                   320, 200);
        ASSERT_NE(m_panel, nullptr);
        m_report = m_work.path() / "console.txt";
    }

    void TearDown() override
    {
        m_console.end();
        if (m_panel)
            DestroyWindow(m_panel);
    }

    void startConsole(const std::string& options = {})
    {
        m_console = startProcess("\"" + siblingProgram("console_stand_in.exe").string() + "\" \"" + m_report.string() +
                                 "\"" + options);
        ASSERT_TRUE(m_console.running());
        ASSERT_TRUE(waitUntil([this] { return reportLines().size() >= 1; })) << "the stand-in console never came up";
    }

    void bringPanelToFront()
    {
        SetForegroundWindow(m_panel);
        ASSERT_TRUE(waitUntil([this] { return GetForegroundWindow() == m_panel; }));
    }

    std::vector<std::string> reportLines() const { return linesOf(m_report); }

    static std::vector<std::string> linesOf(const fs::path& report)
    {
        std::istringstream text(readWholeFile(report));
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }

    static std::unique_ptr<KeyPlayer> keyPlayer()
    {
        return std::make_unique<KeyPlayer>(std::make_unique<WinKeyInjector>(), std::make_unique<WinKeyboardLayout>(),
                                           [] { return static_cast<std::uint32_t>(GetTickCount()); });
    }

    TempFolder m_work{"console"};
    fs::path m_report;
    HWND m_panel = nullptr;
    ChildProcess m_console;
};

} // namespace

TEST_F(WinConsoleTest, FindsTheConsoleOnlyWhileItExists)
{
    WinConsole console;
    EXPECT_FALSE(console.exists());
    EXPECT_FALSE(console.bringInputToForeground());

    startConsole();
    EXPECT_TRUE(console.exists());

    m_console.end();
    EXPECT_FALSE(console.exists());
}

TEST_F(WinConsoleTest, AConsoleWithoutAnInputLineIsNotSwitchedTo)
{
    startConsole(" --no-input");
    bringPanelToFront();

    WinConsole console;
    EXPECT_TRUE(console.exists());
    EXPECT_FALSE(console.bringInputToForeground());
    EXPECT_EQ(GetForegroundWindow(), m_panel);
}

TEST_F(WinConsoleTest, TypesKeyStringsIntoTheInputLine)
{
    const struct {
        const char* keys;
        const char* typed;
    } cases[] = {
        {"echo hello{ENTER}", "typed echo hello"},
        {"echo Varno Interface Complete!{ENTER}", "typed echo Varno Interface Complete!"},
        {"map q3dm17{enter}", "typed map q3dm17"},
    };
    startConsole();
    const auto player = keyPlayer();
    WinConsole console;
    std::vector<std::string> expected{"ready"};
    for (const auto& entry : cases) {
        bringPanelToFront();

        ASSERT_TRUE(console.bringInputToForeground()) << entry.keys;
        EXPECT_EQ(player->PlayKeyString(entry.keys), kpOk) << entry.keys;

        expected.push_back(entry.typed);
        EXPECT_TRUE(waitUntil([&] { return reportLines().size() >= expected.size(); })) << entry.keys;
        EXPECT_EQ(reportLines(), expected);
        EXPECT_FALSE(player->isPlaying());
    }
}

TEST_F(WinConsoleTest, ReadsTheConsolesOutputControl)
{
    WinConsoleOutput output;
    EXPECT_EQ(output.recentLines(500), std::nullopt);

    startConsole();
    EXPECT_EQ(output.recentLines(500), (std::vector<std::string>{"Stand-in console"}));
    const auto player = keyPlayer();
    WinConsole console;
    std::size_t typed = 1;
    for (const char* keys : {"echo one{ENTER}", "echo two{ENTER}"}) {
        bringPanelToFront();
        ASSERT_TRUE(console.bringInputToForeground()) << keys;
        ASSERT_EQ(player->PlayKeyString(keys), kpOk) << keys;
        ASSERT_TRUE(waitUntil([&] { return reportLines().size() > typed; })) << keys;
        ++typed;
    }
    EXPECT_EQ(output.recentLines(500), (std::vector<std::string>{"Stand-in console", "]echo one", "]echo two"}));
    EXPECT_EQ(output.recentLines(2), (std::vector<std::string>{"]echo one", "]echo two"}));

    m_console.end();
    EXPECT_EQ(output.recentLines(500), std::nullopt);
}

TEST_F(WinConsoleTest, EachServersBridgeReachesTheConsoleOfItsOwnGame)
{
    ServerGames games;
    const DWORD first = games.start("a");
    const DWORD second = games.start("b");
    ASSERT_TRUE(first && second);
    // One bridge for whichever server is selected, as the panel has.
    std::string selected;
    const RunRecordPlaceSource place = [&] { return games.placeOf(selected); };
    WinConsole console(place);
    WinConsoleOutput output(place);
    const auto player = keyPlayer();

    for (const auto& [profile, game] : {std::pair<std::string, DWORD>{"a", first}, {"b", second}}) {
        selected = profile;
        const auto found = findServerConsole(games.placeOf(profile));
        ASSERT_TRUE(found) << profile;
        EXPECT_EQ(consoleProcessId(found->window), game) << profile;
        bringPanelToFront();
        ASSERT_TRUE(console.bringInputToForeground()) << profile;
        ASSERT_EQ(player->PlayKeyString("echo " + profile + "{ENTER}"), kpOk) << profile;
        ASSERT_TRUE(waitUntil([&] { return linesOf(games.reportOf(profile)).size() == 2; })) << profile;
    }
    for (const std::string profile : {"a", "b"}) {
        selected = profile;
        EXPECT_EQ(linesOf(games.reportOf(profile)), (std::vector<std::string>{"ready", "typed echo " + profile}));
        EXPECT_EQ(output.recentLines(500), (std::vector<std::string>{"Stand-in console", "]echo " + profile}));
    }
    // Neither a server without a game nor the first server, whose console would be one of theirs.
    for (const std::string profile : {"c", ""}) {
        selected = profile;
        EXPECT_FALSE(console.exists()) << profile;
        EXPECT_EQ(output.recentLines(500), std::nullopt) << profile;
    }
}
