#pragma once

#include "client_table.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace varno::standin {

enum class StatusLayout { Classic, Ioq3, Quake3e };

// The layout named by the standin_status cvar: "classic", "ioq3" or "quake3e"; anything else is classic.
StatusLayout statusLayoutFromName(std::string_view name);

// The address as ioquake3 prints it: without the port ("[v6]:port" loses its brackets too).
std::string addressWithoutPort(std::string_view address);

// The length of a name as shown in the game: "^" followed by a letter or digit is a colour code and takes no room.
int visibleLength(std::string_view name);

// The `status` reply in the given layout, one element per print call of the engine. The split of a long reply
// over several datagrams falls between these pieces, so they must be cut where the engine cuts them.
std::vector<std::string> statusPieces(StatusLayout layout, std::string_view mapName,
                                      const std::map<int, Client>& clients);

} // namespace varno::standin
