#pragma once

#include "core/lpb/player_record.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varno {

// The table layouts the engines print for "status"; recognised from the header line.
enum class StatusLayout {
    Unknown,  // no status table in the text (another command's reply, a bad password, garbage)
    Classic,  // "num score ping name            lastmsg address ..."
    Ioquake3, // "cl score ping name            address ... rate " (fixed widths, header ends with a blank)
    Quake3e,  // any other "cl score ping name ..." header (columns sized to the widest name and address)
};

enum class StatusRowKind {
    Player,      // a connected player: a table row, and the LPB test applies
    Zombie,      // ZMBI, MBI, ZMB: status-bar notice only
    Connecting,  // CNCT, NCT, CON, PRM: status-bar notice only
    InvalidPing, // ping neither a number nor a marker: a table row, then reading stops (ParsedStatus::error)
};

inline constexpr std::string_view kZombieNotice = "ZMBI: Zombie Detected, flushing...";
inline constexpr std::string_view kConnectNotice = "CNCT: Client Connect Detected, ignoring...";

// Longest kept lengths. Rows are cut before their fields are read; the name limit includes the appended blank.
inline constexpr std::size_t kMaxStatusRowLength = 250;
inline constexpr std::size_t kMaxClientNumberLength = 2;
inline constexpr std::size_t kMaxPingLength = 20;
inline constexpr std::size_t kMaxNameLength = 150;
inline constexpr std::size_t kMaxAddressLength = 150;
inline constexpr std::size_t kMaxMapNameLength = 64;

struct StatusRow {
    StatusRowKind kind = StatusRowKind::Player;
    PlayerRecord player;
    int ping = 0; // the ping field as a number; Player rows only

    // Whether the row goes into the Status Window's player table.
    bool isTableRow() const { return kind == StatusRowKind::Player || kind == StatusRowKind::InvalidPing; }

    // The status-bar text of a zombie or connecting row; empty for the others.
    std::string_view notice() const;
};

// One reply, row by row in table order, so the caller can act on each row before looking at the next.
struct ParsedStatus {
    StatusLayout layout = StatusLayout::Unknown;
    std::string mapName;
    std::vector<StatusRow> rows;
    // Set when a ping field was not a number: "'<field>' is not a valid integer value". That row is the last one in
    // rows (kind InvalidPing); the rows after it in the reply were not read. The caller acts on the rows first and
    // then reports this text as an error.
    std::optional<std::string> error;
    // The table reached its closing empty line: every player is in rows. A table cut short (a datagram lost or late)
    // says nothing about the players it does not list.
    bool complete = false;
};

// Reads the player table of a status reply: the whole reply text as it arrived (the four 0xFF bytes and "print"
// line may stay in front), several datagrams already joined by ReplyAssembler.
//
// Rows start after the header's dashed separator line and end at the table's empty line. Only complete rows
// (ended by a line feed) with every column up to the address are read; anything else, including rows holding
// control characters or a client number wider than two characters, yields no row at all. Names may hold colour
// codes and blanks, double blanks included: a name is bounded by the columns after it, never by a double blank.
//
// This overload reads into status, which is reset first. Its rows and their strings keep their storage, so a caller
// that reads every reply of one server into the same object allocates next to nothing once the table has been seen.
void parseStatusReply(std::string_view replyText, ParsedStatus& status);
// The same into a new result.
ParsedStatus parseStatusReply(std::string_view replyText);

// The LPB test: a connected player whose ping is strictly lower than the threshold.
bool isLowPingPlayer(const StatusRow& row, int minPing);

} // namespace varno
