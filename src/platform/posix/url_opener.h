#pragma once

#include <optional>
#include <string>

namespace varno {

// Hands the address to the desktop's URL opener: xdg-open, or the program VARNO_URL_OPENER names.
// The opener counts as failed when it cannot be started, or ends within 100 ms with a non-zero code or
// by a signal; the message then names it.
std::optional<std::string> openWebSiteWithUrlOpener(const std::string& address);

} // namespace varno
