#include "tty_console.h"

#include <unistd.h>

#include <utility>

namespace varno::standin {

namespace {

constexpr const char* kPrompt = "]";
constexpr char kEscape = 27;
constexpr char kDelete = 127;

} // namespace

TtyConsole::TtyConsole(int input, int output, Completer completer)
    : m_input(input)
    , m_output(output)
    , m_completer(std::move(completer))
{
    if (::isatty(m_input) != 1 || ::tcgetattr(m_input, &m_saved) != 0)
        return;
    termios raw = m_saved;
    raw.c_lflag &= ~tcflag_t(ECHO | ICANON);
    raw.c_iflag &= ~tcflag_t(ISTRIP | INPCK);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (::tcsetattr(m_input, TCSADRAIN, &raw) != 0)
        return;
    m_active = true;
    write(kPrompt);
}

TtyConsole::~TtyConsole()
{
    if (!m_active)
        return;
    hide();
    ::tcsetattr(m_input, TCSADRAIN, &m_saved);
}

void TtyConsole::write(const std::string& text) const
{
    std::size_t at = 0;
    while (at < text.size()) {
        const ssize_t written = ::write(m_output, text.data() + at, text.size() - at);
        if (written <= 0)
            return;
        at += std::size_t(written);
    }
}

void TtyConsole::back() const
{
    // A lone backspace does not clear the character on every terminal.
    write("\b \b");
}

void TtyConsole::hide()
{
    if (!m_active)
        return;
    if (m_hidden++ > 0)
        return;
    for (std::size_t i = 0; i < m_line.size() + std::string(kPrompt).size(); ++i)
        back();
}

void TtyConsole::show(bool lineEnded)
{
    if (!m_active || m_hidden == 0)
        return;
    // Text that stops mid-line would be garbled by the prompt; the line comes back after the next newline.
    if (!lineEnded) {
        ++m_showOverdue;
        return;
    }
    for (int shows = 1 + std::exchange(m_showOverdue, 0); shows > 0 && m_hidden > 0; --shows) {
        if (--m_hidden == 0)
            write(kPrompt + m_line);
    }
}

void TtyConsole::replaceLine(const std::string& text)
{
    hide();
    m_line = text;
    show(true);
}

std::vector<std::string> TtyConsole::feed(const std::string& bytes)
{
    std::vector<std::string> lines;
    const char erase = char(m_saved.c_cc[VERASE]);
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const char key = bytes[at];
        if (key == erase || key == kDelete || key == '\b') {
            if (!m_line.empty()) {
                m_line.pop_back();
                back();
            }
            continue;
        }
        if (key != 0 && static_cast<unsigned char>(key) < ' ') {
            if (key == '\n') {
                if (!m_line.empty()) {
                    m_history.insert(m_history.begin(), m_line);
                    if (m_history.size() > kHistoryLines)
                        m_history.pop_back();
                }
                m_historyAt = -1;
                lines.push_back(std::exchange(m_line, {}));
                write(std::string("\n") + kPrompt);
                continue;
            }
            if (key == '\t') {
                hide();
                m_completer(m_line);
                if (m_line.size() > kMaxLine)
                    m_line.resize(kMaxLine);
                show(true);
                continue;
            }
            handleEscape(bytes, at);
            continue;
        }
        if (m_line.size() >= kMaxLine)
            continue;
        m_line += key;
        write(std::string(1, key));
    }
    return lines;
}

void TtyConsole::handleEscape(const std::string& bytes, std::size_t& at)
{
    // The engine reads a key at a time; after the up and down arrows and after any other control character it
    // flushes the terminal's input, so that everything that arrived behind them is lost. Left and right arrows
    // are skipped.
    std::size_t end = bytes.size();
    if (bytes[at] == kEscape && at + 2 < bytes.size() && (bytes[at + 1] == '[' || bytes[at + 1] == 'O')) {
        const char arrow = bytes[at + 2];
        if (arrow == 'A') {
            if (m_historyAt + 1 < int(m_history.size()))
                replaceLine(m_history[std::size_t(++m_historyAt)]);
        } else if (arrow == 'B') {
            if (m_historyAt >= 0)
                --m_historyAt;
            replaceLine(m_historyAt >= 0 ? m_history[std::size_t(m_historyAt)] : std::string());
        } else if (arrow == 'C' || arrow == 'D') {
            end = at + 3;
        }
    }
    if (end == bytes.size())
        ::tcflush(m_input, TCIFLUSH);
    at = end - 1;
}

} // namespace varno::standin
