#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace varno::standin {

// Where printed text goes: the console, or while an rcon command runs, the reply buffer. Like the engine, the
// buffer is sent as one datagram whenever the next printed piece would not fit, so the pieces' boundaries decide
// where a long reply is split.
class Output {
public:
    // The engine's rcon output buffer, 1024 - 16 bytes, one of them kept for the terminating NUL.
    static constexpr std::size_t kRedirectBufferSize = 1008;
    using FlushFunction = std::function<void(std::string_view text)>;
    // Shows printed text: standard output on POSIX, the console window on Windows.
    using Sink = std::function<void(std::string_view text)>;

    explicit Output(Sink console);

    void print(std::string_view piece);
    // Text that goes to the console even during an rcon command.
    void printToConsole(std::string_view text);

    // A terminal console's edited line, taken off the screen around printed text.
    void setLineGuard(std::function<void()> hide, std::function<void(bool lineEnded)> show);

    void beginRedirect(FlushFunction flush);
    // Sends what the buffer holds, also when it is empty, as the engine does.
    void endRedirect();

private:
    Sink m_console;
    FlushFunction m_flush;
    std::function<void()> m_hide;
    std::function<void(bool)> m_show;
    std::string m_buffer;
};

} // namespace varno::standin
