#include "rcon.h"

#include "command_text.h"

#include <algorithm>
#include <vector>

namespace varno::standin {

namespace {

constexpr std::size_t kMaxPacketTextLength = 1023;

// Senders are forgotten once this many are remembered, so that a flood of addresses cannot grow the table.
constexpr std::size_t kMaxRememberedSenders = 1024;

bool isSpace(char c)
{
    return c == ' ';
}

} // namespace

std::optional<std::string> connectionlessText(std::string_view payload)
{
    if (payload.substr(0, kConnectionlessHeader.size()) != kConnectionlessHeader)
        return std::nullopt;
    std::string_view text = payload.substr(kConnectionlessHeader.size());
    text = text.substr(0, text.find_first_of(std::string_view("\n\0", 2)));
    return std::string(text.substr(0, kMaxPacketTextLength));
}

std::optional<RconRequest> parseRconRequest(std::string_view text)
{
    const std::vector<std::string> args = tokenizeCommand(text);
    if (args.empty() || !equalsIgnoringCase(args[0], "rcon"))
        return std::nullopt;

    RconRequest request;
    if (args.size() > 1)
        request.password = args[1];

    // Walk the raw text rather than the arguments, so that the command keeps its quotes and spacing.
    std::size_t pos = 0;
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= ' ')
        ++pos;
    pos += 4;
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    while (pos < text.size() && !isSpace(text[pos]))
        ++pos;
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    request.command = std::string(text.substr(std::min(pos, text.size())));
    return request;
}

RconThrottleMode rconThrottleModeFromName(std::string_view name)
{
    const std::string lower = toLower(name);
    if (lower == "classic")
        return RconThrottleMode::Classic;
    if (lower == "ioq3")
        return RconThrottleMode::Ioq3;
    return RconThrottleMode::Off;
}

bool RconThrottle::accept(RconThrottleMode mode, const std::string& senderAddress, Clock::time_point now)
{
    switch (mode) {
    case RconThrottleMode::Off:
        return true;
    case RconThrottleMode::Classic:
        if (m_lastAccepted && now - *m_lastAccepted < kClassicInterval)
            return false;
        m_lastAccepted = now;
        return true;
    case RconThrottleMode::Ioq3:
        break;
    }

    if (m_acceptedBySender.size() >= kMaxRememberedSenders && !m_acceptedBySender.count(senderAddress))
        m_acceptedBySender.clear();
    std::deque<Clock::time_point>& accepted = m_acceptedBySender[senderAddress];
    while (!accepted.empty() && now - accepted.front() >= kIoq3Window)
        accepted.pop_front();
    if (accepted.size() >= kIoq3MaxPerWindow)
        return false;
    accepted.push_back(now);
    return true;
}

} // namespace varno::standin
