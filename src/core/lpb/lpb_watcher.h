#pragma once

#include "core/lpb/rcon.h"
#include "core/lpb/rcon_pacer.h"
#include "core/lpb/status_parser.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varno {

class ServerModel;
class SettingsStore;

// The ZOZ Idaroz options, as the page's controls or the stored settings hold them.
struct WatcherOptions {
    bool localHost = true;
    std::string remoteHost;
    RconPorts ports;
    int minPing = 0;
    int checkRateSeconds = 0;
    std::string password;
    bool announce = false;
    std::string msg1;
    std::string msg2;
    bool kick = false;
    bool ban = false;
    bool log = false;
    bool kickBanned = false; // remove players whose address the banned-address list matches

    // Where polls go: "127.0.0.1" on localhost, the remote host text otherwise.
    std::string host() const { return rconHost(localHost, remoteHost); }
};

// The options from the store, each from the schema's default and within its range. The local choice wins over the
// remote one, as on the page.
WatcherOptions readWatcherOptions(SettingsStore& store);
// The options in effect, as the page's controls show them: numbers as typed, the local choice as its button is.
WatcherOptions watcherOptionsFrom(const ServerModel& model);

// The announcement for a player removed for its banned address: the name, then kBannedMessageEnd.
inline constexpr std::string_view kBannedMessageEnd = " ^7is banned from this server.";
std::string bannedAnnouncementCommand(const PlayerRecord& player);

// " clientkick " + the slot number. Every engine takes a slot there; the classic server's kick takes a name only.
std::string clientKickCommand(const PlayerRecord& player);
// " addip " + the address without its port; nothing when the address is not IPv4 (bot, loopback, IPv6).
std::optional<std::string> addIpCommand(const PlayerRecord& player);
// The address without a trailing ":port".
std::string_view addressHost(std::string_view address);
// Bots show address "bot": they are the server's own players, never low-ping players.
bool isBot(const PlayerRecord& player);

enum class LpbCommandKind { Announcement, Kick, AddIp };

// One rcon command decided for a low-ping player, to go to the server whose reply named the player.
struct LpbCommand {
    std::uint64_t id = 0;
    LpbCommandKind kind = LpbCommandKind::Kick;
    std::string commandText;
    std::int64_t minGapUs = 0; // after the datagram queued before it
};

// What to do about one low-ping player of a reply, or one whose address is banned.
struct LpbDecision {
    PlayerRecord player;
    // Removed for its banned address, whatever its ping: counted apart from the low-ping players.
    bool banned = false;
    // Still listed after its kick left: only the kick goes again, once announced by `message`.
    bool retry = false;
    std::optional<std::string> message;
    std::optional<std::string> logLine;
    std::optional<std::string> storeBan; // the address to append to the banned list
    std::vector<LpbCommand> commands;
    bool countedNow = false; // counted at once (no kick to wait for)
};

// A decided command that has left, or one that never will.
struct LpbCommandReport {
    LpbCommandKind kind = LpbCommandKind::Kick;
    PlayerRecord player;
    std::string address; // for AddIp: the address sent
    bool counted = false;    // this send completed the player's actions: count them
    bool banned = false;     // about a player removed for its banned address
    bool byOperator = false; // about a player the operator chose to remove
};

inline constexpr std::string_view kKickDidNotTakeEffect = "kick did not take effect";

inline constexpr std::string_view kNoPasswordMessage = "You must setup an RCon Password before enabling this feature!";
inline constexpr std::string_view kMinPingZeroMessage = "MinPing 0!?! you better fix that.";

// Why the watcher cannot start with these options; nothing when it can.
std::optional<std::string_view> startRefusal(const WatcherOptions& options);

// A player's name without the blanks that pad its field.
std::string playerName(const PlayerRecord& player);
// A player as the reports name it: "client " + slot number + " " + name, without their padding.
std::string playerText(const PlayerRecord& player);
// A decided command as the reports name it: "announcement of client 3 Bob", "kick of client 3 Bob", "addip 1.2.3.4".
std::string describeCommand(const LpbCommandReport& report);

// Decides what the ZOZ Idaroz does with each status reply and remembers what it decided, so that a player gets one
// announcement and one kick per appearance, reports are made when datagrams have left, and what never left can be
// named. No clock and no sockets: the driver tells it about polls and sends.
class LpbWatcher {
public:
    // A status poll left for target. A player still listed in a reply to a later poll than its kick was not removed.
    void pollSent(const RconTarget& target);

    // The actions for each low-ping player of a status reply from target, and with kickBanned for each player whose
    // address the banned-address list matches as the game would match it (bots never). storedBans is that list as it
    // stands; an address already there, with or without its port, is not stored again.
    std::vector<LpbDecision> decide(const RconTarget& target, const ParsedStatus& status, const WatcherOptions& options,
                                    const std::vector<std::string>& storedBans);

    // The operator removes a player of the last table from target: a kick, then with ban an addip, the address stored
    // unless the list holds it already. The kick goes again at each poll while the player is still listed; a whole
    // table without the player brings a decision with only the message that the player has left. Not counted.
    LpbDecision removeByOperator(const RconTarget& target, const PlayerRecord& player, bool ban,
                                 const std::vector<std::string>& storedBans);

    // The start announcement has left. A server that was not yet listening (the watcher started with the launch)
    // never heard it: when a status table comes back before any reply to a command, the server answers now but did
    // not answer the announcement, and it is to go again, once.
    void startAnnouncementSent() { m_startAnnouncementAnswered = false; }
    // Whether to send the start announcement again, for one reply from the polled server.
    bool announceStartAgain(const ParsedStatus& reply);

    // The datagram of command id has left. Nothing for an unknown id.
    std::optional<LpbCommandReport> commandSent(std::uint64_t id);
    // Every decided command that has not left, in the order decided; they are forgotten (the watcher stops).
    std::vector<LpbCommandReport> dropPending();
    bool hasPending() const { return !m_pending.empty(); }

    int count() const { return m_count; }
    // Players removed for their banned address.
    int bannedCount() const { return m_bannedCount; }

private:
    enum class State { KickPending, KickSent, Done };
    struct Appearance {
        State state = State::Done;
        int pollMark = 0; // polls of the target when the kick left
        bool reportedIneffective = false;
        bool byOperator = false;
        std::uint64_t lastListed = 0; // the reply that last listed the player
    };
    struct PlayerKey {
        RconTarget target;
        std::string clientNumber;
        std::string address;
        std::string name;
        auto operator<=>(const PlayerKey&) const = default;
    };
    // Whom a decision's commands are about; shared by them.
    struct Subject {
        PlayerKey key;
        PlayerRecord player;
    };
    struct Pending {
        std::uint64_t id = 0;
        LpbCommandKind kind = LpbCommandKind::Kick;
        std::shared_ptr<const Subject> subject;
        bool countsWhenSent = false;
        bool banned = false;
        bool byOperator = false;
    };

    LpbCommand plan(LpbCommandKind kind, std::string commandText, std::int64_t minGapUs = 0);
    void track(const PlayerKey& key, const LpbDecision& decision, bool byOperator = false);
    std::optional<LpbDecision> retryIfStillListed(Appearance& appearance, const PlayerKey& key,
                                                  const PlayerRecord& player, bool kicks, bool banned);
    static LpbCommandReport reportOf(const Pending& pending, bool counted);

    std::map<RconTarget, int> m_polls;
    std::map<PlayerKey, Appearance> m_appearances;
    std::deque<Pending> m_pending;
    std::uint64_t m_replies = 0;
    std::uint64_t m_nextId = 1;
    int m_count = 0;
    int m_bannedCount = 0;
    bool m_startAnnouncementAnswered = true;
};

} // namespace varno
