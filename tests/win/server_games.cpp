#include "server_games.h"

#include "platform/win/win_console.h"

#include <algorithm>
#include <sstream>

namespace fs = std::filesystem;

namespace varno::wintest {

namespace {

std::vector<DWORD> consoleProcessIds()
{
    std::vector<DWORD> ids;
    for (HWND window = FindWindowExA(nullptr, nullptr, "Q3 WinConsole", nullptr); window;
         window = FindWindowExA(nullptr, window, "Q3 WinConsole", nullptr))
        ids.push_back(consoleProcessId(window));
    return ids;
}

std::string quoted(const fs::path& path)
{
    return "\"" + path.string() + "\"";
}

} // namespace

ServerGames::ServerGames()
{
    fs::copy_file(siblingProgram("console_stand_in.exe"), m_game.path() / "quake3.exe");
}

ServerGames::~ServerGames()
{
    for (const auto& launcher : m_launchers)
        launcher->stop(std::chrono::milliseconds(2000));
}

RunRecordPlace ServerGames::placeOf(const std::string& profile) const
{
    return {m_records.path().string(), profile};
}

RunRecordPlaceSource ServerGames::sourceOf(const std::string& profile) const
{
    return [place = placeOf(profile)] { return place; };
}

DWORD ServerGames::start(const std::string& profile)
{
    const std::vector<DWORD> before = consoleProcessIds();
    const fs::path report = m_game.path() / ("report-" + profile + ".txt");
    auto& launcher = m_launchers.emplace_back(std::make_unique<WinLauncher>(sourceOf(profile)));
    if (launcher->start(m_game.path().string(), "quake3.exe " + quoted(report)).exitCode != kStillActive)
        return 0;
    return awaitNewConsole(before, report);
}

DWORD ServerGames::startUnrecorded()
{
    const std::vector<DWORD> before = consoleProcessIds();
    const fs::path report = m_game.path() / "report-unrecorded.txt";
    m_unrecorded = startProcess(quoted(m_game.path() / "quake3.exe") + " " + quoted(report));
    return awaitNewConsole(before, report);
}

std::vector<std::string> ServerGames::report(const std::string& profile) const
{
    std::istringstream text(readWholeFile(m_game.path() / ("report-" + profile + ".txt")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

DWORD ServerGames::awaitNewConsole(const std::vector<DWORD>& before, const fs::path& report) const
{
    // The stand-in reports once its console window is shown.
    if (!waitUntil([&] { return !readWholeFile(report).empty(); }))
        return 0;
    for (const DWORD id : consoleProcessIds())
        if (std::find(before.begin(), before.end(), id) == before.end())
            return id;
    return 0;
}

} // namespace varno::wintest
