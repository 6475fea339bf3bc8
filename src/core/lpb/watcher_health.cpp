#include "core/lpb/watcher_health.h"

namespace varno {

namespace {

constexpr std::string_view kBadPassword = "Bad rconpassword.";
constexpr std::string_view kNoPasswordSet = "No rconpassword set on the server.";

std::string targetText(const RconTarget& target)
{
    return target.host + ":" + std::to_string(target.port);
}

bool contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

} // namespace

bool isRconRefusal(std::string_view replyText)
{
    // The refusal is the whole reply; a status table holding the words in a player's name is still a table.
    const std::string_view head = replyText.substr(0, 64);
    return contains(head, kBadPassword) || contains(head, kNoPasswordSet);
}

void WatcherHealth::pollSent(const RconTarget& target, std::int64_t)
{
    int& unanswered = m_unanswered[target];
    // The previous poll of this server is still unanswered when the next one leaves.
    if (unanswered > 0 && m_state != HealthState::HostNotFound &&
        !(m_state == HealthState::PasswordRefused && m_subject == target)) {
        m_state = m_foreignSincePoll ? HealthState::ForeignReplies : HealthState::NoReply;
        m_subject = target;
    }
    ++unanswered;
    m_foreignSincePoll = false;
}

void WatcherHealth::pollSkipped(const RconTarget&)
{
    ++m_skippedPolls;
}

void WatcherHealth::replyArrived(const RconTarget& target, std::string_view replyText, std::int64_t nowMs)
{
    m_unanswered[target] = 0;
    m_subject = target;
    m_lastReplyMs = nowMs;
    m_state = isRconRefusal(replyText) ? HealthState::PasswordRefused : HealthState::Answering;
}

void WatcherHealth::hostNotFound(const RconTarget& target)
{
    m_state = HealthState::HostNotFound;
    m_subject = target;
}

void WatcherHealth::foreignReply(const RconTarget& target, std::string_view source)
{
    m_foreignSincePoll = true;
    m_foreignSource = std::string(source);
    m_state = HealthState::ForeignReplies;
    m_subject = target;
}

void WatcherHealth::reset()
{
    *this = WatcherHealth();
}

std::string WatcherHealth::skippedText() const
{
    if (m_skippedPolls == 0)
        return {};
    return "; " + std::to_string(m_skippedPolls) + (m_skippedPolls == 1 ? " poll" : " polls") +
           " skipped for the server's rcon limit";
}

WatcherHealthStatus WatcherHealth::status(std::int64_t nowMs) const
{
    const std::string subject = targetText(m_subject);
    switch (m_state) {
    case HealthState::Waiting:
        return {m_state, "Waiting for the server's first reply", "waiting"};
    case HealthState::Answering:
        return {m_state,
                "Server " + subject + " answering (last reply " + std::to_string((nowMs - m_lastReplyMs) / 1000) +
                    " s ago" + skippedText() + ")",
                "answering " + subject};
    case HealthState::PasswordRefused:
        return {m_state, std::string(kPasswordRefusedText) + " (" + subject + ")", "password " + subject};
    case HealthState::NoReply: {
        const auto it = m_unanswered.find(m_subject);
        // The poll that just left has had no time yet.
        const int polls = it == m_unanswered.end() || it->second < 2 ? 1 : it->second - 1;
        return {m_state,
                "No reply from " + subject + " for " + std::to_string(polls) + (polls == 1 ? " poll" : " polls"),
                "silent " + subject};
    }
    case HealthState::HostNotFound:
        return {m_state, "Host not found: " + m_subject.host, "host " + m_subject.host};
    case HealthState::ForeignReplies:
        return {m_state, "Replies from " + m_foreignSource + " ignored: polling " + subject,
                "foreign " + m_foreignSource + " " + subject};
    }
    return {};
}

} // namespace varno
