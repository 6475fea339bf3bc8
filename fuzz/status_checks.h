#pragma once

#include "core/lpb/status_parser.h"

namespace varno::fuzz {

// Aborts when a parsed reply breaks what the parser promises its callers: bounded fields without control
// characters, kinds that agree with the ping text, and reading that stops at the first invalid ping.
void checkStatus(const ParsedStatus& status);

bool sameStatus(const ParsedStatus& a, const ParsedStatus& b);

} // namespace varno::fuzz
