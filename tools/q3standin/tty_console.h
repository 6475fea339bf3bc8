#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <termios.h>

namespace varno::standin {

// The engine's console on a terminal: the terminal is put in non-canonical mode without echo (signal keys
// still raise signals, as in the engine), and the console edits its own input line behind the "]" prompt:
// printable characters are added, the erase key deletes the last one, Tab completes, the up and down arrows
// walk the last 32 lines entered, Enter runs the line, and any other control sequence is dropped.
class TtyConsole {
public:
    // Completes the line in place; may print (the line is hidden meanwhile).
    using Completer = std::function<void(std::string& line)>;

    TtyConsole(int input, int output, Completer completer);
    ~TtyConsole();

    TtyConsole(const TtyConsole&) = delete;
    TtyConsole& operator=(const TtyConsole&) = delete;

    // Whether the terminal took the console's mode; false leaves plain line input to the caller.
    bool active() const { return m_active; }

    // Takes bytes read from the terminal; returns the lines entered.
    std::vector<std::string> feed(const std::string& bytes);

    // Around printed text: the edited line is taken off the screen and put back after a finished line.
    void hide();
    void show(bool lineEnded);

    static constexpr std::size_t kHistoryLines = 32;
    static constexpr std::size_t kMaxLine = 255; // the engine's edit line holds 256 bytes with the NUL

private:
    void write(const std::string& text) const;
    void back() const;
    void replaceLine(const std::string& text);
    void handleEscape(const std::string& bytes, std::size_t& at);

    int m_input;
    int m_output;
    Completer m_completer;
    termios m_saved{};
    bool m_active = false;
    int m_hidden = 0;
    int m_showOverdue = 0;
    std::string m_line;
    std::vector<std::string> m_history; // newest first
    int m_historyAt = -1;
};

} // namespace varno::standin
