#pragma once

#include "client_table.h"
#include "cvar_table.h"
#include "status_table.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varno::standin {

// The engines' info strings hold at most this many bytes.
inline constexpr std::size_t kMaxInfoString = 1024;

// Sets key in an info string as the engine's Info_SetValueForKey does: a key or value holding a backslash,
// semicolon or double quote is refused, an empty value only removes the key, and a pair that would make the string
// too long is left out. The classic server and ioquake3 put the pair in front, Quake3e at the end.
void setInfoValue(std::string& info, std::string_view key, std::string_view value, StatusLayout engine);

// Cvar_InfoString(CVAR_SERVERINFO) of the given engine. The classic server and ioquake3 walk their cvars newest
// first and put each in front, so the string lists them oldest first (and drops the oldest when it fills up);
// Quake3e sorts them by name, the engine's own first, then the game's, then the user's, each added at the end.
std::string serverInfoString(const CvarTable& cvars, StatusLayout engine);

// The whole getstatus answer, as SVC_Status builds it: "statusResponse", the serverinfo with the query's challenge,
// then `<score> <ping> "<name>"` for each client not a zombie, in slot order, as long as the datagram has room
// (Quake3e keeps it under 1400 bytes, the others keep the player lines under 16 KB). Connecting clients show the
// engine's ping of 999. Nothing, when the engine ignores the query for a challenge over 128 characters (ioquake3,
// Quake3e). The engines also ignore it in a single player game, which "map" never starts.
std::optional<std::string> statusResponse(const CvarTable& cvars, StatusLayout engine, std::string_view challenge,
                                          const std::map<int, Client>& clients);

} // namespace varno::standin
