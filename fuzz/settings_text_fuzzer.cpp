// The settings file's text as the store judges and salvages it, without the file system: what is salvaged
// is sound and stays as it is when salvaged again, a sound text is kept whole, and nothing is kept that was
// not in the text, in its order.

#include "core/settings/ini_salvage.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// Whether every line of kept is a line of text, in the same order.
bool linesAreASubsequence(std::string_view kept, std::string_view text)
{
    while (!kept.empty()) {
        const std::string_view line = kept.substr(0, kept.find('\n') + 1);
        kept.remove_prefix(line.size());
        while (true) {
            if (text.empty())
                return false;
            const std::size_t end = text.find('\n');
            const std::string_view candidate = end == std::string_view::npos ? text : text.substr(0, end + 1);
            text.remove_prefix(candidate.size());
            if (candidate == line)
                break;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string salvaged = varno::salvageIniText(text);
    VARNO_FUZZ_REQUIRE(varno::isIniTextSound(salvaged));
    VARNO_FUZZ_REQUIRE(varno::salvageIniText(salvaged) == salvaged);
    if (varno::isIniTextSound(text))
        VARNO_FUZZ_REQUIRE(salvaged == text);
    VARNO_FUZZ_REQUIRE(linesAreASubsequence(salvaged, text));
    return 0;
}
