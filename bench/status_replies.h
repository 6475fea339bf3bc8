#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace varno::bench {

enum class ReplyLayout { Classic, Ioquake3 };

// The whole text of a status reply with players players, row by row as the engine of that layout prints
// them: a mix of human players (some with colour codes in their names, one connecting) and bots.
std::string statusReply(ReplyLayout layout, int players);

// The reply cut into the datagrams the server sends: each one the four 0xFF bytes and "print\n" followed
// by at most kDatagramTextBytes of the text, the split falling wherever the buffer fills.
inline constexpr std::size_t kDatagramTextBytes = 1007;
std::vector<std::string> statusDatagrams(const std::string& reply);

} // namespace varno::bench
