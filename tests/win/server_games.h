#pragma once

#include "platform/win/win_launcher.h"
#include "win_test_support.h"

#include <memory>
#include <string>
#include <vector>

namespace varno::wintest {

// Several servers' games at once: the console stand-in as quake3.exe, each game started by a launcher of its
// server's profile, with the run records in a folder of their own. Every game is ended when this goes.
class ServerGames {
public:
    ServerGames();
    ~ServerGames();
    ServerGames(const ServerGames&) = delete;
    ServerGames& operator=(const ServerGames&) = delete;

    RunRecordPlace placeOf(const std::string& profile) const;
    RunRecordPlaceSource sourceOf(const std::string& profile) const;
    // Starts the profile's game and waits for its console; the id of the process that owns it, 0 when none came.
    DWORD start(const std::string& profile);
    // The same for a game started without a launcher, as an earlier build of the panel left one running.
    DWORD startUnrecorded();
    // What the profile's game reported: "ready", then "typed <line>" for every line entered.
    std::vector<std::string> report(const std::string& profile) const;

private:
    DWORD awaitNewConsole(const std::vector<DWORD>& before, const std::filesystem::path& report) const;

    TempFolder m_game{"games"};
    TempFolder m_records{"records"};
    CurrentFolderGuard m_folderGuard;
    std::vector<std::unique_ptr<WinLauncher>> m_launchers;
    ChildProcess m_unrecorded;
};

} // namespace varno::wintest
