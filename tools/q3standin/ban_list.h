#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
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

    // addip: one more filter in the game's own form ("1.2.3.4", "10.0.*", a port after the address is ignored).
    // Text that is not one is reported through `complain` and adds nothing.
    void add(std::string_view entry, const std::function<void(const std::string&)>& complain);
    // removeip: takes out the filter given exactly so; false when there is none, nothing when the text is not a
    // filter (which `complain` hears of).
    std::optional<bool> remove(std::string_view entry, const std::function<void(const std::string&)>& complain);
    // The filters as the game writes them back into g_banIPs: "a.b.c.d " each, "*" for any part, as many as fit
    // below kMaxValueLength; `complain` hears of the rest.
    std::string cvarText(const std::function<void(const std::string&)>& complain) const;

    // `address` may carry a port; names such as "bot" or "loopback" are never banned.
    bool isBanned(std::string_view address) const;
    std::size_t size() const { return m_filters.size(); }

private:
    struct Filter {
        std::array<std::uint8_t, 4> value{};
        std::array<std::uint8_t, 4> mask{};
    };
    static std::optional<Filter> parseFilter(std::string_view entry);

    std::vector<Filter> m_filters;
};

} // namespace varno::standin
