#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace varno::standin {

// Writes to the server's console, past any rcon redirect.
using ConsoleWriter = std::function<void(std::string_view text)>;

// The test instruments' endings, which differ by system. Their last words go where a dying engine's would be
// seen: standard error on POSIX, the console window on Windows (a GUI program has no standard error).

// standin_crash: ends the process as a crashing engine ends, by a signal (SIGSEGV unless `argument` names
// another) on POSIX, with an exception code (EXCEPTION_ACCESS_VIOLATION unless `argument` gives another) on
// Windows. Returns the usage text, without ending, when the argument is not a valid signal or code.
std::string crashProcess(const std::string& argument, const ConsoleWriter& console);

// standin_exit: ends the process at once with that exit code, without the orderly shutdown of quit.
[[noreturn]] void exitProcess(int code, const ConsoleWriter& console);

} // namespace varno::standin
