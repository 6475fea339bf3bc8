#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varno {

// An address pattern as the game's filter holds it: per octet a value and a mask (255: must be equal, 0: any).
struct BanFilter {
    std::array<std::uint8_t, 4> value{};
    std::array<std::uint8_t, 4> mask{};
};

// How the game reads one entry of the banned-address list (its StringToFilter): one to four numbers or "*" with a
// separator after each, missing trailing octets matching any, what follows the fourth octet ignored (so a ":port"
// is), numbers taken modulo 256. `problem` says what an operator would not expect: that the game ignores the entry,
// or that it reads it otherwise than it is written. Empty for a plain pattern such as "10.1.*" or "1.2.3.4:27960".
struct BanEntryReading {
    std::optional<BanFilter> filter; // nothing when the game ignores the entry
    std::string problem;
};
BanEntryReading readBanEntry(std::string_view entry);

// A player's address as the game's filter reads it (its G_FilterPacket): dotted IPv4 with an optional ":port".
// Nothing for anything else (bots, "loopback", IPv6), which no entry is meant to match.
std::optional<std::array<std::uint8_t, 4>> filterAddress(std::string_view address);

bool matches(const BanFilter& filter, const std::array<std::uint8_t, 4>& address);

// The filter as the game writes it back into g_banIPs: four parts, "*" for an octet that matches any.
std::string banFilterText(const BanFilter& filter);

// Whether an entry of the list bans the address, as the game decides; entries it ignores ban nobody.
bool isBannedAddress(std::string_view address, const std::vector<std::string>& entries);

} // namespace varno
