// Banned-list entries and player addresses as the game's filter reads them: any text, never a crash, and the
// readings hold together.

#include "core/launch/ban_filter.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const varno::BanEntryReading reading = varno::readBanEntry(text);
    // The game's reading or its reason to ignore the entry, never neither.
    VARNO_FUZZ_REQUIRE(reading.filter.has_value() || !reading.problem.empty());
    if (reading.filter) {
        const varno::BanFilter& filter = *reading.filter;
        for (std::size_t i = 0; i < 4; ++i) {
            VARNO_FUZZ_REQUIRE(filter.mask[i] == 0 || filter.mask[i] == 255);
            VARNO_FUZZ_REQUIRE(filter.mask[i] == 255 || filter.value[i] == 0);
        }
        // Written as the game writes it back, the entry reads the same, plainly.
        const varno::BanEntryReading again = varno::readBanEntry(varno::banFilterText(filter));
        VARNO_FUZZ_REQUIRE(again.filter && again.problem.empty());
        VARNO_FUZZ_REQUIRE(again.filter->value == filter.value && again.filter->mask == filter.mask);
        // The address the pattern names is banned by it.
        VARNO_FUZZ_REQUIRE(varno::matches(filter, filter.value));
    }
    if (const auto address = varno::filterAddress(text)) {
        const std::string dotted = std::to_string((*address)[0]) + '.' + std::to_string((*address)[1]) + '.' +
                                   std::to_string((*address)[2]) + '.' + std::to_string((*address)[3]);
        VARNO_FUZZ_REQUIRE(varno::isBannedAddress(text, {dotted}));
    }
    return 0;
}
