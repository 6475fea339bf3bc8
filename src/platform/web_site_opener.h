#pragma once

#include <optional>
#include <string>

namespace varno {

// Opens a web address in the system's browser and waits a moment (100 ms) to see whether the browser
// could be started. Nothing on success; otherwise the message for the operator.
std::optional<std::string> openWebSite(const std::string& address);

} // namespace varno
