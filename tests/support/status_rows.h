#pragma once

// Pieces of the game servers' status rows, for the tools that print replies: the tests, the benchmarks and
// the fuzzers. Standard library only.

#include <algorithm>
#include <string>
#include <string_view>

namespace varno::test {

// count blanks, none for a count below one.
inline std::string blanks(long count)
{
    return std::string(static_cast<std::size_t>(std::max(0L, count)), ' ');
}

// A name's length on screen: colour codes (^ and the character after it) take no room.
inline long visibleLength(std::string_view name)
{
    long length = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '^' && i + 1 < name.size() && name[i + 1] != '^') {
            ++i;
            continue;
        }
        ++length;
    }
    return length;
}

} // namespace varno::test
