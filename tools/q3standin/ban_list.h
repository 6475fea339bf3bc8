#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace varno::standin {

// The addresses the game refuses, read from g_banIPs when a map starts.
class BanList {
public:
    // The longest g_banIPs value the game sees; the rest is cut off.
    static constexpr std::size_t kMaxValueLength = 255;

    // Entries are separated by blanks and one is taken only when a blank follows it, so an entry at the very end
    // is ignored. An entry is up to four numbers; "*" or a missing trailing number matches anything. Entries that
    // are not addresses are reported through `complain` and skipped.
    static BanList fromCvar(std::string_view value, const std::function<void(const std::string&)>& complain);

    // `address` may carry a port; names such as "bot" or "loopback" are never banned.
    bool isBanned(std::string_view address) const;
    std::size_t size() const { return m_filters.size(); }

private:
    struct Filter {
        std::array<std::uint8_t, 4> value{};
        std::array<std::uint8_t, 4> mask{};
    };
    std::vector<Filter> m_filters;
};

} // namespace varno::standin
