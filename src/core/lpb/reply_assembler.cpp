#include "core/lpb/reply_assembler.h"

#include <algorithm>
#include <iterator>

namespace varno {

namespace {

constexpr std::string_view kReplyPrefix = "\xff\xff\xff\xffprint\n";
constexpr std::string_view kStatusStart = "map: ";

bool startsReply(std::string_view payload)
{
    if (!payload.starts_with(kReplyPrefix))
        return true; // not a continuation, whatever it is
    return payload.substr(kReplyPrefix.size()).starts_with(kStatusStart);
}

// A status table whose rows have begun (its dashed separator line is complete) and whose closing empty line
// has not come yet. Whatever follows it is more of its rows: a player's name may hold "map: " right where
// the server's buffer filled.
bool isUnfinishedTable(std::string_view text)
{
    if (!text.starts_with(kReplyPrefix) || !text.substr(kReplyPrefix.size()).starts_with(kStatusStart))
        return false;
    const auto separator = text.find("\n-");
    if (separator == std::string_view::npos)
        return false;
    const auto rows = text.find('\n', separator + 1);
    if (rows == std::string_view::npos)
        return false;
    return text.find("\n\n", rows) == std::string_view::npos && text.find("\n\r\n", rows) == std::string_view::npos;
}

} // namespace

std::string_view printedText(std::string_view reply)
{
    return reply.starts_with(kReplyPrefix) ? reply.substr(kReplyPrefix.size()) : reply;
}

ReplyAssembler::ReplyAssembler(std::int64_t joinWindowMs)
    : m_joinWindowMs(joinWindowMs)
{
}

void ReplyAssembler::setJoinWindowMs(std::int64_t joinWindowMs)
{
    m_joinWindowMs = joinWindowMs;
}

void ReplyAssembler::feed(std::string_view payload, std::int64_t arrivalMs, std::string_view source)
{
    if (auto it = m_pending.find(source); it != m_pending.end()) {
        Pending& pending = it->second;
        const std::string_view continuation = payload.substr(std::min(payload.size(), kReplyPrefix.size()));
        const bool continues =
            !startsReply(payload) || (payload.starts_with(kReplyPrefix) && isUnfinishedTable(pending.text));
        const bool joins = continues && arrivalMs - pending.lastMs < m_joinWindowMs &&
                           pending.text.size() + continuation.size() <= kMaxReplyBytes;
        if (joins) {
            pending.text.append(continuation);
            pending.lastMs = std::max(pending.lastMs, arrivalMs);
            return;
        }
        complete(it, std::min(arrivalMs, pending.lastMs + m_joinWindowMs));
    }
    if (m_pending.size() >= kMaxPendingSources) {
        const auto oldest = std::min_element(m_pending.begin(), m_pending.end(), [](const auto& a, const auto& b) {
            return a.second.lastMs < b.second.lastMs;
        });
        complete(oldest, arrivalMs);
    }
    m_pending.emplace(std::string(source), Pending{std::string(payload), arrivalMs, arrivalMs});
}

void ReplyAssembler::complete(PendingMap::iterator it, std::int64_t readyMs)
{
    m_completed.push_back({{std::move(it->second.text), it->first}, readyMs});
    m_pending.erase(it);
    if (m_completed.size() > kMaxCompletedReplies)
        m_completed.pop_front();
}

std::optional<AssembledReply> ReplyAssembler::takeComplete(std::int64_t nowMs)
{
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        const auto next = std::next(it);
        if (nowMs - it->second.lastMs >= m_joinWindowMs)
            complete(it, it->second.lastMs + m_joinWindowMs);
        it = next;
    }
    if (m_completed.empty())
        return std::nullopt;
    const auto first = std::min_element(m_completed.begin(), m_completed.end(),
                                        [](const Completed& a, const Completed& b) { return a.readyMs < b.readyMs; });
    AssembledReply reply = std::move(first->reply);
    m_completed.erase(first);
    return reply;
}

std::optional<std::int64_t> ReplyAssembler::nextDeadline() const
{
    std::optional<std::int64_t> deadline;
    const auto consider = [&deadline](std::int64_t at) {
        if (!deadline || at < *deadline)
            deadline = at;
    };
    for (const Completed& completed : m_completed)
        consider(completed.readyMs);
    for (const auto& [source, pending] : m_pending)
        consider(pending.lastMs + m_joinWindowMs);
    return deadline;
}

void ReplyAssembler::clear()
{
    m_pending.clear();
    m_completed.clear();
}

} // namespace varno
