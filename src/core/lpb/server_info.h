#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace varno {

// The connectionless query a game port answers with its rules and players. Sent without a challenge: replies are
// told apart by their source, and the server then adds no "challenge" key.
inline constexpr std::string_view kGetStatusQuery = "\xff\xff\xff\xffgetstatus";

// Beyond any UDP payload; the rest of a longer text is not read.
inline constexpr std::size_t kMaxStatusResponseBytes = 64 * 1024;

struct InfoPlayer {
    int score = 0;
    int ping = 0;
    std::string name; // as the server sent it, colour codes kept

    bool operator==(const InfoPlayer&) const = default;
};

struct ServerInfo {
    std::vector<std::pair<std::string, std::string>> rules; // the serverinfo's keys and values, in the server's order
    std::vector<InfoPlayer> players;                        // in slot order, as listed

    bool operator==(const ServerInfo&) const = default;
};

// Whether a datagram is a getstatus answer: the four 0xFF bytes, "statusResponse" in any case, then a line end or
// nothing.
bool isStatusResponse(std::string_view datagram);

// Reads a whole statusResponse datagram as the engines send it: the header line, the serverinfo string
// ("\key\value..." of every cvar flagged SERVERINFO) on the next line, then one line per connected player,
// `<score> <ping> "<name>"`. The engines stop listing players when the answer would grow too long (Quake3e keeps the
// datagram under 1400 bytes, the others the player lines under 16 KB) and leave out whole lines only, so a full
// server may list fewer players than it has.
//
// nullopt when the datagram is no statusResponse. Anything else is read as far as it makes sense:
// - text after a NUL byte or beyond kMaxStatusResponseBytes is not read (the engines' readers stop at a NUL too);
// - a key without a value at the end of the serverinfo gets an empty value; pairs with an empty key are dropped;
// - the "challenge" key, the server's echo of the query's argument, is not a rule and is left out;
// - a player line that is not two integers and a quoted name is skipped, and the lines after it are still read.
std::optional<ServerInfo> parseStatusResponse(std::string_view datagram);

// The text as the game shows it: each "^" followed by a letter or digit (a colour code) left out.
std::string withoutColourCodes(std::string_view text);

} // namespace varno
