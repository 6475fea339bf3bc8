#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varno {

// Several servers from one panel: each has a profile of its own, named by the operator. The first server's
// profile is the settings as they always were; every other one is kept beside it under an id made from its name.

// The name the first server answers to when its profile names none.
inline constexpr std::string_view kFirstServerName = "default";

// The id a name is kept under: lower-case letters and digits, any other run of characters one '-', none at
// either end. Empty when the name holds no letter or digit.
std::string profileIdFor(std::string_view name);

// Why a name cannot name a new server beside those whose ids are taken; empty when it can.
std::string newServerNameProblem(std::string_view name, const std::vector<std::string>& takenIds);

// The game port for a new server: the first one above the first server's that no server uses.
int nextFreeGamePort(int firstServerPort, const std::vector<int>& usedPorts);

} // namespace varno
