#pragma once

#include "core/lpb/status_parser.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

namespace varno::fuzz {

// A status reply printed from fuzz-chosen players with each engine's exact row format, and what a correct
// reader makes of it.
struct PrintedStatus {
    std::string reply;
    ParsedStatus expected;
};

PrintedStatus printStatus(FuzzedDataProvider& provider);

} // namespace varno::fuzz
