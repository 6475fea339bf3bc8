#include "process_end.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace varno::standin {

std::string crashProcess(const std::string& argument, const ConsoleWriter& console)
{
    // "0xC0000005" or a decimal number, as the exit code of a crashed program is usually written.
    char* end = nullptr;
    const unsigned long long code =
        argument.empty() ? EXCEPTION_ACCESS_VIOLATION : std::strtoull(argument.c_str(), &end, 0);
    if (code == 0 || code > 0xFFFFFFFFULL || (end && *end != '\0'))
        return "usage: standin_crash [EXCEPTION CODE]\n";
    char words[64];
    std::snprintf(words, sizeof words, "Crashing with exception 0x%08llX\n", code);
    console(words);
    // Ended from outside rather than by a real exception, so that no crash dialog or debugger holds it up; the
    // exit code is what a waiting parent sees of a crash.
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
    return {};
}

void exitProcess(int code, const ConsoleWriter& console)
{
    console("Exiting with code " + std::to_string(code) + '\n');
    std::_Exit(code);
}

} // namespace varno::standin
