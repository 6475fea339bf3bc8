#include "rcon.h"

#include "command_text.h"

#include <algorithm>
#include <vector>

namespace varno::standin {

namespace {

constexpr std::size_t kMaxPacketTextLength = 1023;

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
    if (lower == "quake3e")
        return RconThrottleMode::Quake3e;
    return RconThrottleMode::Off;
}

bool LeakyBucket::admit(std::int64_t nowMs, int burst, int periodMs)
{
    if (!m_used) {
        m_used = true;
        m_burst = 0;
        m_lastTimeMs = nowMs;
    }
    const std::int64_t interval = nowMs - m_lastTimeMs;
    const std::int64_t expired = interval / periodMs;
    const std::int64_t remainder = interval % periodMs;
    if (expired > m_burst || interval < 0) {
        m_burst = 0;
        m_lastTimeMs = nowMs;
    } else {
        m_burst -= int(expired);
        m_lastTimeMs = nowMs - remainder;
    }
    if (m_burst >= burst)
        return false;
    ++m_burst;
    return true;
}

LeakyBucket& FloodProtection::bucketFor(const std::string& senderIp)
{
    if (m_buckets.size() >= kMaxBuckets && !m_buckets.count(senderIp))
        m_buckets.clear();
    return m_buckets[senderIp];
}

FloodVerdict FloodProtection::admitRcon(RconThrottleMode mode, const std::string& senderIp, bool passwordValid,
                                        std::int64_t nowMs)
{
    switch (mode) {
    case RconThrottleMode::Off:
        return FloodVerdict::Served;
    case RconThrottleMode::Classic:
        if (m_lastClassicRconMs && nowMs < *m_lastClassicRconMs + kClassicRconIntervalMs)
            return FloodVerdict::DroppedForAll;
        m_lastClassicRconMs = nowMs;
        return FloodVerdict::Served;
    case RconThrottleMode::Ioq3:
    case RconThrottleMode::Quake3e:
        break;
    }
    if (!bucketFor(senderIp).admit(nowMs, kAddressBurst, kAddressPeriodMs))
        return FloodVerdict::DroppedForSender;
    if (!passwordValid && !m_badPassword.admit(nowMs, kAddressBurst, kAddressPeriodMs))
        return FloodVerdict::DroppedForAll;
    return FloodVerdict::Served;
}

FloodVerdict FloodProtection::admitQuery(RconThrottleMode mode, const std::string& senderIp, std::int64_t nowMs)
{
    if (mode == RconThrottleMode::Off || mode == RconThrottleMode::Classic)
        return FloodVerdict::Served;
    if (!bucketFor(senderIp).admit(nowMs, kAddressBurst, kAddressPeriodMs))
        return FloodVerdict::DroppedForSender;
    if (!m_outbound.admit(nowMs, kOutboundBurst, kOutboundPeriodMs))
        return FloodVerdict::DroppedForAll;
    return FloodVerdict::Served;
}

} // namespace varno::standin
