#pragma once

#include "platform/win/win_launcher.h"

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace varno::wintest {

// How long a test waits for another process to do its part before it gives up.
inline constexpr std::chrono::milliseconds kPatience{5000};

// Polls condition until it holds or patience runs out; true when it held. Window messages of this
// thread are dispatched meanwhile, so that windows the test owns keep answering.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds patience = kPatience);

// The whole file, or empty text when it cannot be read (yet).
std::string readWholeFile(const std::filesystem::path& path);

// A program built next to the test program (the stand-ins the tests start).
std::filesystem::path siblingProgram(const std::string& fileName);

// A top-level window of a class registered here with the given procedure, for tests that need one.
HWND createTestWindow(const char* className, WNDPROC procedure, const char* title, DWORD style, int x, int y,
                      int width, int height);

// A folder of its own under the temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    explicit TempFolder(const std::string& purpose);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// A started process that is ended at the latest when this goes: asked to close its windows first,
// then terminated if it is still there after a short wait.
class ChildProcess {
public:
    ChildProcess() = default;
    explicit ChildProcess(HANDLE process);
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Opens the running process with that id so that it is ended as well; empty when it is gone.
    static ChildProcess fromId(DWORD processId);

    bool running() const;
    DWORD id() const;
    void end();

private:
    HANDLE m_process = nullptr;
};

// Starts commandLine (program and arguments) with nothing inherited; empty on failure.
ChildProcess startProcess(const std::string& commandLine);

// The current folder of this process, restored when this goes (the launcher changes it).
class CurrentFolderGuard {
public:
    CurrentFolderGuard();
    ~CurrentFolderGuard();
    CurrentFolderGuard(const CurrentFolderGuard&) = delete;
    CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

private:
    std::filesystem::path m_folder;
};

// Several servers' games at once: the console stand-in as quake3.exe, each started by a launcher of its server's
// profile, with the run records in a folder of their own. The games are ended when this goes.
class ServerGames {
public:
    ServerGames();
    ~ServerGames();

    RunRecordPlace placeOf(const std::string& profile) const;
    RunRecordPlaceSource sourceOf(const std::string& profile) const
    {
        return [place = placeOf(profile)] { return place; };
    }
    // Starts the profile's game and waits for its console; the id of the process that owns it, 0 when none came.
    DWORD start(const std::string& profile);
    // What the game reports: "ready", then "typed <line>" for every line entered.
    std::filesystem::path reportOf(const std::string& profile) const
    {
        return m_game.path() / ("report-" + profile + ".txt");
    }

private:
    TempFolder m_game{"games"};
    TempFolder m_records{"records"};
    CurrentFolderGuard m_folderGuard;
    std::vector<std::unique_ptr<WinLauncher>> m_launchers;
};

} // namespace varno::wintest
