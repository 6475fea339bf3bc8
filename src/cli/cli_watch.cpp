#include "cli/cli_context.h"

namespace varno::cli {

int watchCommand(Context&)
{
    throw CliError("watch is not available yet");
}

} // namespace varno::cli
