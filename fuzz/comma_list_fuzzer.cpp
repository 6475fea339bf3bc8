// The comma-list format of the rotation and ban list settings, read from stored text and written back.
//
// The first byte chooses the direction: odd, the rest is stored text to read; even, the rest is a list of
// items to write (as FuzzedDataProvider cuts strings), zero bytes left out since stored text ends at the
// first one.

#include "core/settings/comma_list.h"
#include "fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using List = std::vector<std::string>;

// The one list the format cannot carry: more than one item with an empty last one, written as a final
// comma, which reading drops.
bool endsInEmptyItemAfterOthers(const List& items)
{
    return items.size() > 1 && items.back().empty();
}

void checkRoundTrip(const List& items)
{
    const std::string text = varno::ToCommaList(items);
    const List back = varno::FromCommaList(text);
    if (endsInEmptyItemAfterOthers(items)) {
        VARNO_FUZZ_REQUIRE(back == List(items.begin(), items.end() - 1));
        return;
    }
    VARNO_FUZZ_REQUIRE(back == items);
}

void readStoredText(std::string_view text)
{
    const List items = varno::FromCommaList(text);
    for (const std::string& item : items)
        VARNO_FUZZ_REQUIRE(item.find('\0') == std::string::npos);
    List reused{"stale", ""};
    varno::FromCommaList(text, reused);
    VARNO_FUZZ_REQUIRE(reused == items);
    checkRoundTrip(items);
}

void writeItems(FuzzedDataProvider& provider)
{
    List items;
    while (provider.remaining_bytes() > 0) {
        std::string item = provider.ConsumeRandomLengthString();
        std::erase(item, '\0');
        items.push_back(std::move(item));
    }
    checkRoundTrip(items);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] & 1) {
        readStoredText(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    } else {
        FuzzedDataProvider provider(data + 1, size - 1);
        writeItems(provider);
    }
    return 0;
}
