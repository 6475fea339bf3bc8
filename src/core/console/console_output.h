#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace varno {

// How much of the server console's output the panel shows.
inline constexpr std::size_t kConsoleOutputLines = 500;

// Reads what the server console shows: the console window's output control on Windows, the tmux pane
// elsewhere. Like the console finder, it looks for the console again on every call.
class ConsoleOutputReader {
public:
    virtual ~ConsoleOutputReader() = default;

    // The console's last lines, at most maxLines, oldest first, the line being typed last; nothing when there
    // is no console. A console whose server has ended still shows its last output.
    virtual std::optional<std::vector<std::string>> recentLines(std::size_t maxLines) = 0;
};

// Follows a console's output through repeated reads of its last lines, for printing each finished line once.
// The last line shown is the one being written or typed, so it counts only when a later line follows it.
class ConsoleOutputFollower {
public:
    // The finished lines of snapshot that earlier snapshots did not hold, in order. When nothing of the earlier
    // snapshot is left in this one (more output than a snapshot holds came between), all of it is new.
    std::vector<std::string> update(const std::vector<std::string>& snapshot);

private:
    std::vector<std::string> m_finished;
    bool m_started = false;
};

// The last maxLines of text split at its line ends (CR LF or LF), blank lines at the end left out.
std::vector<std::string> lastLines(const std::string& text, std::size_t maxLines);

} // namespace varno
