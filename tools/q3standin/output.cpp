#include "output.h"

#include <utility>

namespace varno::standin {

Output::Output(Sink console)
    : m_console(std::move(console))
{
}

void Output::print(std::string_view piece)
{
    if (!m_flush) {
        printToConsole(piece);
        return;
    }
    const std::size_t room = kRedirectBufferSize - 1;
    if (m_buffer.size() + piece.size() > room) {
        m_flush(m_buffer);
        m_buffer.clear();
    }
    // A single piece longer than the buffer is cut, as the engine's bounded concatenation does.
    m_buffer.append(piece.substr(0, room - m_buffer.size()));
}

void Output::printToConsole(std::string_view text)
{
    if (text.empty())
        return;
    if (m_hide)
        m_hide();
    m_console(text);
    if (m_show)
        m_show(text.back() == '\n');
}

void Output::setLineGuard(std::function<void()> hide, std::function<void(bool lineEnded)> show)
{
    m_hide = std::move(hide);
    m_show = std::move(show);
}

void Output::beginRedirect(FlushFunction flush)
{
    m_flush = std::move(flush);
    m_buffer.clear();
}

void Output::endRedirect()
{
    if (!m_flush)
        return;
    const FlushFunction flush = std::move(m_flush);
    m_flush = nullptr;
    flush(m_buffer);
    m_buffer.clear();
}

} // namespace varno::standin
