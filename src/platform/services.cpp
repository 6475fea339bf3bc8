#include "platform/services.h"

#ifdef _WIN32
#include "platform/win/win_launcher.h"
#else
#include "platform/posix/tmux_launcher.h"
#endif

namespace varno {

std::unique_ptr<ProcessLauncher> createProcessLauncher()
{
#ifdef _WIN32
    return std::make_unique<WinLauncher>();
#else
    return std::make_unique<TmuxLauncher>();
#endif
}

} // namespace varno
