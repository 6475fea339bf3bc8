#include "platform/win/win_launcher.h"

#include "core/launch/command_line.h"
#include "platform/win/win_console.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using namespace varno;
using namespace varno::wintest;

namespace {

constexpr int kAttempts = 10;

// What the stand-in game reported about its start.
struct ProbeReport {
    DWORD processId = 0;
    std::string commandLine;
    std::string folder;
};

// Runs the launcher against a game folder that holds the stand-in game as quake3.exe. The stand-in
// takes its orders from the environment, which the launched game inherits.
class WinLauncherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(m_game.path() / "baseq3");
        fs::copy_file(siblingProgram("launch_probe.exe"), m_game.path() / "quake3.exe");
        m_report = m_work.path() / "report.txt";
        m_eventName = "VarnoProbeQuit-" + std::to_string(GetCurrentProcessId());
        m_quit = CreateEventA(nullptr, TRUE, FALSE, m_eventName.c_str());
        ASSERT_NE(m_quit, nullptr);
        SetEnvironmentVariableA("VARNO_PROBE_REPORT", m_report.string().c_str());
        SetEnvironmentVariableA("VARNO_PROBE_EVENT", m_eventName.c_str());
    }

    void TearDown() override
    {
        if (const auto report = readReport())
            endProbe(*report);
        CloseHandle(m_quit);
        SetEnvironmentVariableA("VARNO_PROBE_REPORT", nullptr);
        SetEnvironmentVariableA("VARNO_PROBE_EVENT", nullptr);
        SetEnvironmentVariableA("VARNO_PROBE_EXIT", nullptr);
    }

    // The stand-in is told to go, and ended if it does not.
    void endProbe(const ProbeReport& report)
    {
        SetEvent(m_quit);
        ChildProcess::fromId(report.processId).end();
        ResetEvent(m_quit);
    }

    static void probeExits(const std::string& how) { SetEnvironmentVariableA("VARNO_PROBE_EXIT", how.c_str()); }

    std::optional<ProbeReport> readReport() const
    {
        std::istringstream lines(readWholeFile(m_report));
        ProbeReport report;
        std::string processId;
        if (!std::getline(lines, processId) || !std::getline(lines, report.commandLine) ||
            !std::getline(lines, report.folder))
            return std::nullopt;
        report.processId = static_cast<DWORD>(std::stoul(processId));
        return report;
    }

    std::optional<ProbeReport> awaitReport() const
    {
        waitUntil([this] { return readReport().has_value(); });
        return readReport();
    }

    static bool sameFolder(const fs::path& a, const fs::path& b)
    {
        std::error_code error;
        return fs::equivalent(a, b, error);
    }

    TempFolder m_game{"game"};
    TempFolder m_work{"launch"};
    // The launcher leaves the game folder current; it is left again before the folders go.
    CurrentFolderGuard m_folderGuard;
    fs::path m_report;
    std::string m_eventName;
    HANDLE m_quit = nullptr;
};

} // namespace

TEST_F(WinLauncherTest, StartsTheGameInTheGameFolderWithTheBuiltCommandLine)
{
    CommandLineInput input;
    input.extra = "+set sv_hostname \"Frag Hall\" +set g_log varno.log";
    const std::string commandLine = buildCommandLine(input);
    probeExits("wait");

    const LaunchOutcome outcome = WinLauncher().start(m_game.path().string(), commandLine);

    EXPECT_EQ(outcome.exitCode, kStillActive);
    const auto report = awaitReport();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->commandLine, commandLine);
    EXPECT_TRUE(sameFolder(report->folder, m_game.path())) << report->folder;
    EXPECT_TRUE(sameFolder(fs::current_path(), m_game.path()));
}

TEST_F(WinLauncherTest, TheExitCodeWithinTheFirstMomentIsTheOutcome)
{
    const struct {
        const char* how;
        int expected;
    } cases[] = {
        {"-3", -3},
        {"-1073741819", -1073741819}, // an access violation
        {"0", 0},
        {"1", 1},
        {"wait", kStillActive},
    };
    for (const auto& entry : cases) {
        probeExits(entry.how);
        // A game that ends at once may still be starting when the launcher's wait is over on a busy
        // machine, and so reads as running; only such a start is tried again.
        LaunchOutcome outcome;
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            fs::remove(m_report);
            outcome = WinLauncher().start(m_game.path().string(), buildCommandLine({}));
            const auto report = awaitReport();
            ASSERT_TRUE(report) << entry.how;
            endProbe(*report);
            if (outcome.exitCode != kStillActive || entry.expected == kStillActive)
                break;
        }
        EXPECT_EQ(outcome.exitCode, entry.expected) << entry.how;
    }
}

TEST_F(WinLauncherTest, AFolderWithoutTheGameGivesANegativeOutcome)
{
    fs::remove(m_game.path() / "quake3.exe");
    probeExits("0");

    const LaunchOutcome outcome = WinLauncher().start(m_game.path().string(), buildCommandLine({}));

    EXPECT_LT(outcome.exitCode, 0);
    EXPECT_FALSE(fs::exists(m_report));
}

TEST_F(WinLauncherTest, AMissingGameFolderStartsNothingFromTheCurrentFolder)
{
    // The current folder holds a game of the same name, which must not be taken for the missing one.
    fs::current_path(m_game.path());
    probeExits("wait");

    const LaunchOutcome outcome =
        WinLauncher().start((m_work.path() / "no such folder").string(), buildCommandLine({}));

    EXPECT_LT(outcome.exitCode, 0);
    EXPECT_FALSE(fs::exists(m_report));
}

TEST_F(WinLauncherTest, APollTellsARunningGameFromOneThatCrashed)
{
    fs::copy_file(siblingProgram("crash_probe.exe"), m_game.path() / "quake3.exe",
                  fs::copy_options::overwrite_existing);
    WinLauncher launcher;
    EXPECT_EQ(launcher.poll().kind, ServerState::Kind::None);

    const LaunchOutcome outcome = launcher.start(m_game.path().string(), buildCommandLine({}));

    ASSERT_EQ(outcome.exitCode, kStillActive);
    EXPECT_EQ(launcher.poll().kind, ServerState::Kind::Running);
    ServerState state;
    EXPECT_TRUE(waitUntil([&] {
        state = launcher.poll();
        return state.kind == ServerState::Kind::Ended;
    }));
    EXPECT_EQ(describeEnd(state.end), "exit code 0xC0000005");
    EXPECT_FALSE(state.stopRequested);
}

TEST_F(WinLauncherTest, AStopEndsAGameThatDoesNotEndByItselfAndMarksItAsked)
{
    probeExits("wait");
    WinLauncher launcher;
    ASSERT_EQ(launcher.start(m_game.path().string(), buildCommandLine({})).exitCode, kStillActive);

    EXPECT_TRUE(launcher.stop(std::chrono::milliseconds(200)));

    const ServerState state = launcher.poll();
    EXPECT_EQ(state.kind, ServerState::Kind::Ended);
    EXPECT_TRUE(state.stopRequested);
}

TEST(WinLauncherProfiles, AServersLauncherAdoptsAndStopsItsOwnGameAlone)
{
    ServerGames games;
    const DWORD first = games.start("a");
    const DWORD second = games.start("b");
    ASSERT_TRUE(first && second);
    EXPECT_FALSE(WinLauncher(games.sourceOf("c")).adopt());

    WinLauncher adopter(games.sourceOf("b"));
    ASSERT_TRUE(adopter.adopt());
    EXPECT_TRUE(adopter.stop(std::chrono::milliseconds(2000)));

    EXPECT_FALSE(findConsoleWindow(second));
    EXPECT_TRUE(findConsoleWindow(first));
}
