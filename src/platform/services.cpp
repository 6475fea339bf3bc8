#include "platform/services.h"

#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include "core/launch/engine_names.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef _WIN32
#include "platform/win/win_console.h"
#include "platform/win/win_host.h"
#include "platform/win/win_key_injector.h"
#include "platform/win/win_keyboard_layout.h"
#include "platform/win/win_launcher.h"
#else
#include "platform/posix/tmux_console.h"
#include "platform/posix/tmux_key_injector.h"
#include "platform/posix/terminal_opener.h"
#include "platform/posix/tmux_console_output.h"
#include "platform/posix/tmux_launcher.h"
#endif

namespace varno {

#ifdef _WIN32
namespace {

// Whose server a Windows backend's call is for, and where the servers' run records lie: asked at every call.
RunRecordPlace runRecordPlace()
{
    return {crashLogFolder(), serverProfile()};
}

} // namespace
#endif

std::unique_ptr<ProcessLauncher> createProcessLauncher()
{
#ifdef _WIN32
    return std::make_unique<WinLauncher>(runRecordPlace);
#else
    return std::make_unique<TmuxLauncher>();
#endif
}

namespace {

// Runs every call of the platform's launcher with its server selected.
class ProfileLauncher : public ProcessLauncher {
public:
    ProfileLauncher(std::unique_ptr<ProcessLauncher> launcher, std::string profile)
        : m_launcher(std::move(launcher))
        , m_profile(std::move(profile))
    {
    }

    std::optional<std::string> gameProgram(const std::string& gameFolder) const override
    {
        ServerProfileScope scope(m_profile);
        return m_launcher->gameProgram(gameFolder);
    }
    LaunchOutcome start(const std::string& gameFolder, const std::string& commandLine) override
    {
        ServerProfileScope scope(m_profile);
        return m_launcher->start(gameFolder, commandLine);
    }
    ServerState poll() override
    {
        ServerProfileScope scope(m_profile);
        return m_launcher->poll();
    }
    std::string consoleText() override
    {
        ServerProfileScope scope(m_profile);
        return m_launcher->consoleText();
    }
    bool adopt() override
    {
        ServerProfileScope scope(m_profile);
        return m_launcher->adopt();
    }
    bool stop(std::chrono::milliseconds grace) override
    {
        ServerProfileScope scope(m_profile);
        return m_launcher->stop(grace);
    }

private:
    std::unique_ptr<ProcessLauncher> m_launcher;
    std::string m_profile;
};

} // namespace

std::unique_ptr<ProcessLauncher> createProcessLauncherFor(const std::string& profile)
{
    return std::make_unique<ProfileLauncher>(createProcessLauncher(), profile);
}

std::unique_ptr<ServerConsole> createServerConsole()
{
#ifdef _WIN32
    return std::make_unique<WinConsole>(runRecordPlace);
#else
    return std::make_unique<TmuxConsole>();
#endif
}

std::unique_ptr<KeyInjector> createKeyInjector()
{
#ifdef _WIN32
    return std::make_unique<WinKeyInjector>();
#else
    return std::make_unique<TmuxKeyInjector>();
#endif
}

std::unique_ptr<ConsoleWindowOpener> createConsoleWindowOpener()
{
#ifdef _WIN32
    return std::make_unique<WinConsoleWindowOpener>(runRecordPlace);
#else
    return std::make_unique<TerminalOpener>();
#endif
}

std::unique_ptr<ConsoleOutputReader> createConsoleOutputReader()
{
#ifdef _WIN32
    return std::make_unique<WinConsoleOutput>(runRecordPlace);
#else
    return std::make_unique<TmuxConsoleOutput>();
#endif
}

std::unique_ptr<KeyboardLayout> createKeyboardLayout()
{
#ifdef _WIN32
    return std::make_unique<WinKeyboardLayout>();
#else
    return std::make_unique<UsKeyboardLayout>();
#endif
}

std::string gameProgramFileFilter()
{
#ifdef _WIN32
    return "Quake 3 Executable (Quake3.exe) (quake3.exe)";
#else
    std::string names;
    for (const std::string_view name : engineProgramNames())
        names += (names.empty() ? "" : " ") + std::string(name);
    return "Quake 3 Dedicated Server (" + names + ")";
#endif
}

void prepareGuiPlatform()
{
#ifdef _WIN32
    // An operator's own choice of platform options stands.
    if (runningUnderWine() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
#endif
}

std::string crashLogFolder()
{
#ifdef _WIN32
    const std::string settings = settingsFile();
    if (!settings.empty())
        return toStd(QFileInfo(toQ(settings)).absolutePath());
    return toStd(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                     .filePath(QStringLiteral("varno-server")));
#else
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::home().filePath(QStringLiteral(".local/state"));
    return toStd(QDir(state).filePath(QStringLiteral("varno-server")));
#endif
}

} // namespace varno
