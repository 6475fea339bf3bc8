#pragma once

#include <string>
#include <vector>

namespace varno::standin {

// The engine keeps this much of its command line, terminating NUL included.
inline constexpr std::size_t kMaxCommandLineLength = 1024;

// The commands of a command line such as "+set net_port 27960 +exec vrn2data.cfg": the arguments are joined with
// blanks (those holding a blank in double quotes), cut to what the engine keeps, and split at each "+" that
// starts a word outside double quotes. The "+" itself is dropped, blank commands are left out.
std::vector<std::string> commandLineCommands(const std::vector<std::string>& arguments);
// The same from a command line as one text, as a Windows program receives it.
std::vector<std::string> commandLineTextCommands(std::string line);

} // namespace varno::standin
