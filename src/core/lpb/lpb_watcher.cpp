#include "core/lpb/lpb_watcher.h"

#include "core/launch/ban_filter.h"
#include "core/lpb/lpb_log.h"
#include "core/settings/schema.h"
#include "core/settings/server_model.h"
#include "core/settings/settings_store.h"

#include <algorithm>
#include <set>

namespace varno {

namespace {

constexpr std::string_view kClientKickStart = " clientkick ";
constexpr std::string_view kAddIpStart = " addip ";
constexpr std::string_view kBotAddress = "bot";

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

bool isIpv4(std::string_view host)
{
    int parts = 0;
    std::size_t pos = 0;
    while (parts < 4) {
        std::size_t digits = 0;
        int value = 0;
        while (pos < host.size() && host[pos] >= '0' && host[pos] <= '9' && digits < 3) {
            value = value * 10 + (host[pos++] - '0');
            ++digits;
        }
        if (digits == 0 || value > 255)
            return false;
        ++parts;
        if (parts < 4) {
            if (pos >= host.size() || host[pos] != '.')
                return false;
            ++pos;
        }
    }
    return pos == host.size();
}

// The options as three readers give them: flags, numbers and texts.
template <typename Flag, typename Number, typename Text>
WatcherOptions watcherOptions(const Flag& flag, const Number& number, const Text& text)
{
    WatcherOptions options;
    options.localHost = flag(kLocalHost);
    options.remoteHost = text(kRemoteHostAddress);
    options.ports = {number(kLPBRemotePort), number(kLPBPort2), number(kLPBPort3), number(kLPBPort4)};
    options.minPing = number(kLPBMinPing);
    options.checkRateSeconds = number(kLPBCheckRate);
    options.password = text(kLPBRCon);
    options.kickBanned = flag(kKickBanned);
    options.announce = flag(kLPBMsg);
    options.msg1 = text(kLPBMsg1);
    options.msg2 = text(kLPBMsg2);
    options.kick = flag(kKickLPB);
    options.ban = flag(kBanIP);
    options.log = flag(kLogLPBs);
    return options;
}

} // namespace

WatcherOptions readWatcherOptions(SettingsStore& store)
{
    WatcherOptions options = watcherOptions([&](const SettingKey& key) { return store.ReadBool(key); },
                                            [&](const SettingKey& key) { return key.clamp(store.ReadInteger(key)); },
                                            [&](const SettingKey& key) { return store.ReadString(key); });
    options.localHost = options.localHost || !store.ReadBool(kRemoteHost);
    return options;
}

WatcherOptions watcherOptionsFrom(const ServerModel& model)
{
    return watcherOptions([&](const SettingKey& key) { return model.flag(key); },
                          [&](const SettingKey& key) { return model.integer(key); },
                          [&](const SettingKey& key) { return model.text(key); });
}

std::string clientKickCommand(const PlayerRecord& player)
{
    return std::string(kClientKickStart) + trimmed(player.clientNumber);
}

std::string_view addressHost(std::string_view address)
{
    const auto colon = address.rfind(':');
    // One colon: "a.b.c.d:port". More are an IPv6 address, whose port (if any) follows "]".
    if (colon != std::string_view::npos && address.find(':') == colon)
        return address.substr(0, colon);
    if (!address.empty() && address.front() == '[') {
        const auto close = address.find(']');
        if (close != std::string_view::npos)
            return address.substr(1, close - 1);
    }
    return address;
}

std::optional<std::string> addIpCommand(const PlayerRecord& player)
{
    const std::string_view host = addressHost(player.address);
    if (!isIpv4(host))
        return std::nullopt;
    return std::string(kAddIpStart) + std::string(host);
}

std::string bannedAnnouncementCommand(const PlayerRecord& player)
{
    return lpbAnnouncementCommand("", player, kBannedMessageEnd);
}

bool isBot(const PlayerRecord& player)
{
    return player.address == kBotAddress;
}

std::optional<std::string_view> startRefusal(const WatcherOptions& options)
{
    if (options.password.empty())
        return kNoPasswordMessage;
    if (options.minPing == 0)
        return kMinPingZeroMessage;
    return std::nullopt;
}

std::string playerName(const PlayerRecord& player)
{
    return trimmed(player.name);
}

std::string playerText(const PlayerRecord& player)
{
    return "client " + trimmed(player.clientNumber) + " " + playerName(player);
}

std::string describeCommand(const LpbCommandReport& report)
{
    switch (report.kind) {
    case LpbCommandKind::Announcement:
        return "announcement of " + playerText(report.player);
    case LpbCommandKind::Kick:
        return "kick of " + playerText(report.player);
    case LpbCommandKind::AddIp:
        return "addip " + report.address;
    }
    return {};
}

void LpbWatcher::pollSent(const RconTarget& target)
{
    ++m_polls[target];
}

LpbCommand LpbWatcher::plan(LpbCommandKind kind, std::string commandText, std::int64_t minGapUs)
{
    return {m_nextId++, kind, std::move(commandText), minGapUs};
}

std::vector<LpbDecision> LpbWatcher::decide(const RconTarget& target, const ParsedStatus& status,
                                            const WatcherOptions& options,
                                            const std::vector<std::string>& storedBans)
{
    std::vector<LpbDecision> decisions;
    if (status.layout == StatusLayout::Unknown)
        return decisions; // not a status table: says nothing about who is on the server
    const std::uint64_t reply = ++m_replies;
    std::set<std::string, std::less<>> bannedHosts;
    for (const std::string& entry : storedBans)
        bannedHosts.emplace(addressHost(entry));

    const bool operatorRemovals = std::any_of(m_appearances.begin(), m_appearances.end(), [&](const auto& entry) {
        return entry.second.byOperator && entry.first.target == target;
    });

    for (const StatusRow& row : status.rows) {
        const PlayerRecord& player = row.player;
        const bool bot = isBot(player);
        // A banned address is removed whatever the ping and whether or not low-ping players are kicked.
        const bool banned = !bot && options.kickBanned && isBannedAddress(player.address, storedBans);
        const bool lowPing = !bot && isLowPingPlayer(row, options.minPing);
        if (!banned && !lowPing && !operatorRemovals)
            continue;
        PlayerKey key{target, player.clientNumber, player.address, player.name};
        const auto seen = m_appearances.find(key);
        if (seen != m_appearances.end() && (banned || lowPing || seen->second.byOperator)) {
            Appearance& appearance = seen->second;
            appearance.lastListed = reply;
            if (auto retry = retryIfStillListed(appearance, key, player, options.kick || banned, banned))
                decisions.push_back(std::move(*retry));
            continue;
        }
        if (!banned && !lowPing)
            continue;

        if (banned) {
            LpbDecision removal;
            removal.player = player;
            removal.banned = true;
            if (options.log)
                removal.logLine = "Banned " + lpbLogLine(player);
            removal.commands.push_back(plan(LpbCommandKind::Announcement, bannedAnnouncementCommand(player)));
            removal.commands.push_back(
                plan(LpbCommandKind::Kick, clientKickCommand(player), RconPacer::kKickAfterAnnouncementUs));
            track(key, removal);
            m_appearances[std::move(key)].lastListed = reply;
            decisions.push_back(std::move(removal));
            continue;
        }

        LpbDecision decision;
        decision.player = player;
        if (options.log)
            decision.logLine = lpbLogLine(player);
        if (options.ban && !bannedHosts.contains(addressHost(player.address))) {
            decision.storeBan = player.address;
            bannedHosts.emplace(addressHost(player.address));
        }
        if (options.announce)
            decision.commands.push_back(plan(LpbCommandKind::Announcement,
                                             lpbAnnouncementCommand(options.msg1, player, options.msg2)));
        if (options.kick)
            decision.commands.push_back(plan(LpbCommandKind::Kick, clientKickCommand(player),
                                             options.announce ? RconPacer::kKickAfterAnnouncementUs : 0));
        // The ban reaches the running server after the kick, so the player cannot come straight back.
        if (options.ban) {
            if (auto addIp = addIpCommand(player))
                decision.commands.push_back(plan(LpbCommandKind::AddIp, std::move(*addIp)));
        }
        decision.countedNow = decision.commands.empty();
        track(key, decision);
        m_appearances[std::move(key)].lastListed = reply;
        decisions.push_back(std::move(decision));
    }

    // A player of this server who is no longer listed has left: a later appearance is a new one. Only a whole table
    // tells who has left; one cut short may just have lost the player's row.
    if (status.complete) {
        std::erase_if(m_appearances, [&](const auto& entry) {
            if (entry.first.target != target || entry.second.lastListed == reply)
                return false;
            if (entry.second.byOperator) {
                LpbDecision gone;
                gone.player = {entry.first.clientNumber, {}, entry.first.name, entry.first.address};
                gone.message = "Client " + trimmed(entry.first.clientNumber) + " " + trimmed(entry.first.name) +
                               " has left the server";
                decisions.push_back(std::move(gone));
            }
            return true;
        });
    }
    return decisions;
}

std::optional<LpbDecision> LpbWatcher::retryIfStillListed(Appearance& appearance, const PlayerKey& key,
                                                          const PlayerRecord& player, bool kicks, bool banned)
{
    // Listed again while its kick waits, or in a reply to a poll sent before the kick left: wait.
    if (appearance.state != State::KickSent || m_polls[key.target] <= appearance.pollMark ||
        !(kicks || appearance.byOperator))
        return std::nullopt;
    LpbDecision retry;
    retry.player = player;
    retry.retry = true;
    retry.banned = banned && !appearance.byOperator;
    if (!appearance.reportedIneffective) {
        retry.message = "Client " + trimmed(player.clientNumber) + " " + trimmed(player.name) + ": " +
                        std::string(kKickDidNotTakeEffect) + "; kicking again";
        appearance.reportedIneffective = true;
    }
    retry.commands.push_back(plan(LpbCommandKind::Kick, clientKickCommand(player)));
    appearance.state = State::KickPending;
    Pending pending{retry.commands.back().id, LpbCommandKind::Kick,
                    std::make_shared<const Subject>(Subject{key, player}), false, retry.banned};
    pending.byOperator = appearance.byOperator;
    m_pending.push_back(std::move(pending));
    return retry;
}

LpbDecision LpbWatcher::removeByOperator(const RconTarget& target, const PlayerRecord& player, bool ban,
                                         const std::vector<std::string>& storedBans)
{
    LpbDecision removal;
    removal.player = player;
    removal.commands.push_back(plan(LpbCommandKind::Kick, clientKickCommand(player)));
    if (ban) {
        const std::string_view host = addressHost(player.address);
        const bool stored = std::any_of(storedBans.begin(), storedBans.end(),
                                        [&](const std::string& entry) { return addressHost(entry) == host; });
        if (auto addIp = addIpCommand(player)) {
            if (!stored)
                removal.storeBan = player.address;
            removal.commands.push_back(plan(LpbCommandKind::AddIp, std::move(*addIp)));
        }
    }
    const PlayerKey key{target, player.clientNumber, player.address, player.name};
    track(key, removal, true);
    // Listed by the table the operator chose from.
    m_appearances[key].lastListed = m_replies;
    return removal;
}

bool LpbWatcher::announceStartAgain(const ParsedStatus& reply)
{
    if (m_startAnnouncementAnswered)
        return false;
    // Either a command's reply (the announcement's own) or the first table: in both cases it is settled.
    m_startAnnouncementAnswered = true;
    return reply.layout != StatusLayout::Unknown;
}

void LpbWatcher::track(const PlayerKey& key, const LpbDecision& decision, bool byOperator)
{
    Appearance appearance;
    appearance.byOperator = byOperator;
    const bool kicks = std::any_of(decision.commands.begin(), decision.commands.end(),
                                   [](const LpbCommand& command) { return command.kind == LpbCommandKind::Kick; });
    appearance.state = kicks ? State::KickPending : State::Done;
    m_appearances[key] = appearance;
    if (decision.commands.empty()) {
        ++m_count;
        return;
    }
    const auto subject = std::make_shared<const Subject>(Subject{key, decision.player});
    for (std::size_t i = 0; i < decision.commands.size(); ++i)
        m_pending.push_back({decision.commands[i].id, decision.commands[i].kind, subject,
                             !byOperator && i + 1 == decision.commands.size(), decision.banned, byOperator});
}

LpbCommandReport LpbWatcher::reportOf(const Pending& pending, bool counted)
{
    LpbCommandReport report{pending.kind, pending.subject->player, {}, counted, pending.banned, pending.byOperator};
    if (pending.kind == LpbCommandKind::AddIp)
        report.address = std::string(addressHost(pending.subject->player.address));
    return report;
}

std::optional<LpbCommandReport> LpbWatcher::commandSent(std::uint64_t id)
{
    // Datagrams leave nearly in the order decided: the sent one is at or near the front.
    const auto it =
        std::find_if(m_pending.begin(), m_pending.end(), [id](const Pending& pending) { return pending.id == id; });
    if (it == m_pending.end())
        return std::nullopt;
    const Pending sent = std::move(*it);
    m_pending.erase(it);
    if (sent.kind == LpbCommandKind::Kick) {
        if (const auto appearance = m_appearances.find(sent.subject->key); appearance != m_appearances.end()) {
            appearance->second.state = State::KickSent;
            appearance->second.pollMark = m_polls[sent.subject->key.target];
        }
    }
    if (sent.countsWhenSent)
        ++(sent.banned ? m_bannedCount : m_count);
    return reportOf(sent, sent.countsWhenSent);
}

std::vector<LpbCommandReport> LpbWatcher::dropPending()
{
    std::vector<LpbCommandReport> dropped;
    for (const Pending& pending : m_pending)
        dropped.push_back(reportOf(pending, false));
    m_pending.clear();
    // What was decided but never sent is decided afresh when the watcher runs again.
    std::erase_if(m_appearances, [](const auto& entry) { return entry.second.state == State::KickPending; });
    return dropped;
}

} // namespace varno
