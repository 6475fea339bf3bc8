#include "process_end.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace varno::standin {

std::string crashProcess(const std::string& argument, const ConsoleWriter&)
{
    const int number = argument.empty() ? SIGSEGV : std::atoi(argument.c_str());
    if (number <= 0 || number >= NSIG)
        return "usage: standin_crash [SIGNAL NUMBER]\n";
    std::fprintf(stderr, "Crashing with signal %d\n", number);
    std::fflush(nullptr);
    std::signal(number, SIG_DFL);
    std::raise(number);
    // A signal whose default action is not to end the process (SIGCHLD, say) leaves it running.
    return {};
}

void exitProcess(int code, const ConsoleWriter&)
{
    std::fprintf(stderr, "Exiting with code %d\n", code);
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace varno::standin
