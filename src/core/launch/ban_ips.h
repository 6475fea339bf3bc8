#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace varno {

// The longest value the game keeps in its g_banIPs setting.
inline constexpr std::size_t kMaxBanIpsLength = 255;

// What the script's g_banIPs line carries of the ban list, and what it had to leave out.
struct BanIps {
    std::string value;                // the text between the line's double quotes
    std::size_t leftOutForLength = 0; // older entries past the game's 255 characters
    std::size_t leftOutNotIpv4 = 0;   // entries the game's address filter cannot read
};

// The ban list as the game reads g_banIPs: blank-separated address patterns, each followed by a blank,
// of up to four dot-separated parts that are numbers or "*". An entry loses its ":port" (the status reply
// shows addresses so), blanks around it and repeats; entries of any other form ("bot", IPv6 addresses,
// host names) are left out. The list grows at its end, so the newest entries are kept: from the last one
// back, as long as they fit in kMaxBanIpsLength; the kept ones stay in list order.
BanIps banIpsFor(const std::vector<std::string>& entries);

// The status-line notice for entries left out, or empty text when none was.
std::string banIpsNotice(const BanIps& bans);

} // namespace varno
