#pragma once

#include <optional>
#include <string>

namespace varno {

// Starts "explorer <address>" in a console of its own and waits up to 100 ms; a start failure or a
// negative exit code within that time gives the message about the missing browser.
std::optional<std::string> openWebSiteWithExplorer(const std::string& address);

} // namespace varno
