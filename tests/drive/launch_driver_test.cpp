#include "drive/launch_driver.h"

#include "core/app/varno_error.h"
#include "core/settings/schema.h"
#include "core/settings/server_model.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

using namespace varno;

namespace {

// Finds the program it is told to and records the starts.
class RecordingLauncher : public ProcessLauncher {
public:
    std::optional<std::string> program = "q3ded";
    LaunchOutcome outcome{kStillActive, "Q3 WinConsole", {}};
    std::vector<std::pair<std::string, std::string>> starts;
    bool running = false;   // its own server runs
    bool adoptable = false; // an earlier run's server runs

    std::optional<std::string> gameProgram(const std::string&) const override { return program; }
    LaunchOutcome start(const std::string& gameFolder, const std::string& commandLine) override
    {
        starts.emplace_back(gameFolder, commandLine);
        return outcome;
    }
    ServerState poll() override { return {running ? ServerState::Kind::Running : ServerState::Kind::None, {}, false}; }
    std::string consoleText() override { return {}; }
    bool adopt() override { return adoptable; }
    bool stop(std::chrono::milliseconds) override { return true; }
};

} // namespace

class LaunchDriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("quake3/baseq3")));
        gameFolder = QDir(folder.filePath(QStringLiteral("quake3"))).canonicalPath().toStdString();
        model.holdText(kQuakeDir, gameFolder);
        model.holdList(kMapRotation, {"q3dm1"});
    }
    void TearDown() override { QDir::setCurrent(originalFolder); }

    LaunchReport launch()
    {
        LaunchReport report = prepareLaunch(model, launcher);
        startLaunch(report, [this](const std::string& folder, const std::string& commandLine) {
            return launcher.start(folder, commandLine);
        });
        return report;
    }
    bool scriptWritten() const { return QFile::exists(QString::fromStdString(gameFolder + "/baseq3/vrn2data.cfg")); }

    const QString originalFolder = QDir::currentPath();
    QTemporaryDir folder;
    std::string gameFolder;
    ServerModel model{[]() -> std::unique_ptr<SettingsStore> { return nullptr; }};
    RecordingLauncher launcher;
};

TEST_F(LaunchDriverTest, AServerThatRunsAlreadyIsNotLaunchedAgain)
{
    for (const bool own : {true, false}) {
        launcher.running = own;
        launcher.adoptable = !own;
        const LaunchReport again = launch();
        EXPECT_EQ(again.outcome, LaunchReport::Outcome::Running) << own;
        EXPECT_EQ(again.message, kAlreadyRunningMessage);
    }
    EXPECT_FALSE(scriptWritten());
    EXPECT_TRUE(launcher.starts.empty());
}

TEST_F(LaunchDriverTest, WithoutMapsOrGameFolderNothingIsWrittenOrStarted)
{
    model.holdList(kMapRotation, {});
    const LaunchReport noMaps = launch();
    EXPECT_EQ(noMaps.outcome, LaunchReport::Outcome::NoMaps);
    EXPECT_EQ(noMaps.message, kNoMapsMessage);
    EXPECT_EQ(noMaps.pageToShow, kMapRotationPage);

    model.holdList(kMapRotation, {"q3dm1"});
    model.holdText(kQuakeDir, gameFolder + "/missing");
    const LaunchReport noFolder = launch();
    EXPECT_EQ(noFolder.outcome, LaunchReport::Outcome::NoGameFolder);
    EXPECT_EQ(noFolder.message, "No such file or directory");
    EXPECT_EQ(noFolder.gameFolder, gameFolder + "/missing");

    EXPECT_FALSE(scriptWritten());
    EXPECT_TRUE(launcher.starts.empty());
}

TEST_F(LaunchDriverTest, AValueTheScriptOrTheCommandLineRefusesWritesNothing)
{
    const struct {
        const SettingKey& key;
        std::string text;
    } cases[] = {{kServerName, "Evil\" ; quit"}, {kGameDir, std::string(500, 'm')}, {kNetPort, "1+map x"}};
    for (const auto& c : cases) {
        ServerModel refused = model;
        refused.holdText(c.key, c.text);
        EXPECT_THROW(prepareLaunch(refused, launcher), VarnoError) << c.key.name;
    }
    EXPECT_FALSE(scriptWritten());
}

TEST_F(LaunchDriverTest, TheScriptIsForTheOwnerAloneAndAFolderWithoutAGameIsToldOnceItIsWritten)
{
    launcher.program.reset();
    model.holdText(kServerType, "dedicated server");
    model.holdList(kBanIPList, {"10.1.1.1", "bot"});
    const LaunchReport report = launch();
    EXPECT_EQ(report.outcome, LaunchReport::Outcome::NotStarted);
    EXPECT_EQ(report.message, kGameNotFoundMessage);
    EXPECT_TRUE(report.commandLine.starts_with("quake3.exe +set net_port 27960 ")) << report.commandLine;
    EXPECT_EQ(report.banNotice, "1 banned entry left out of g_banIPs: 1 not IPv4.");
    EXPECT_TRUE(launcher.starts.empty());
    ASSERT_TRUE(scriptWritten());
    EXPECT_EQ(QFile::permissions(QString::fromStdString(gameFolder + "/baseq3/vrn2data.cfg")),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    // The box shows the server type the command line names; what is stored stays as typed.
    EXPECT_EQ(model.text(kServerType), "Listen");
}

TEST_F(LaunchDriverTest, TheStartsOutcomeIsWhatTheOperatorHears)
{
    const struct {
        LaunchOutcome outcome;
        LaunchReport::Outcome reported;
        std::string message;
        std::string consoleName;
    } cases[] = {{{kStillActive, "Q3 WinConsole", {}}, LaunchReport::Outcome::Started, "", "Q3 WinConsole"},
                 {{0, "Q3 WinConsole 2", {}}, LaunchReport::Outcome::Started, "", "Q3 WinConsole 2"},
                 {{-1, {}, "tmux is not installed"}, LaunchReport::Outcome::NotStarted, "tmux is not installed", ""},
                 {{-9, {}, {}}, LaunchReport::Outcome::NotStarted, std::string(kGameNotFoundMessage), ""}};
    for (const auto& c : cases) {
        launcher.outcome = c.outcome;
        const LaunchReport report = launch();
        EXPECT_EQ(report.outcome, c.reported) << c.message;
        EXPECT_EQ(report.message, c.message);
        EXPECT_EQ(report.consoleName, c.consoleName);
    }
    ASSERT_EQ(launcher.starts.size(), std::size(cases));
    EXPECT_EQ(launcher.starts.front().first, gameFolder);
    EXPECT_EQ(launcher.starts.front().second, "q3ded +set net_port 27960 +set fs_game baseq3 +set dedicated 1 "
                                              "+set com_hunkmegs 56 +exec vrn2data.cfg ");
    EXPECT_EQ(QDir::currentPath().toStdString(), gameFolder);
}
