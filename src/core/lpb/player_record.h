#pragma once

#include <string>

namespace varno {

// One player row of a status reply, as text.
//
// The name field is the name exactly as the row prints it (colour codes and inner blanks kept, the column's padding
// dropped) followed by one appended blank. The log line ("Name:" + name + "   Ping:") and the announcement
// (msg1 + name + msg2) are worded around that blank, so it is part of the field rather than added by each user.
struct PlayerRecord {
    std::string clientNumber; // two characters, right-aligned as the kick command takes them: " 3", "12"
    std::string ping;         // digits, or the marker the row shows instead
    std::string name;
    std::string address; // as printed: "a.b.c.d:port", "bot", an IPv4 or IPv6 address without port

    bool operator==(const PlayerRecord&) const = default;
};

} // namespace varno
