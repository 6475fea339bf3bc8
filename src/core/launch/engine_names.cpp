#include "core/launch/engine_names.h"

#include <array>

namespace varno {

std::span<const std::string_view> engineProgramNames()
{
    static constexpr std::array<std::string_view, 7> kNames{"ioq3ded",     "ioq3ded.x86_64", "quake3e.ded.x64",
                                                            "quake3e.ded", "oa_ded.x86_64",  "oa_ded",
                                                            "q3ded"};
    return kNames;
}

} // namespace varno
