#include "platform/services.h"

#ifdef _WIN32
#include "platform/win/win_console.h"
#include "platform/win/win_key_injector.h"
#include "platform/win/win_keyboard_layout.h"
#include "platform/win/win_launcher.h"
#else
#include "platform/posix/tmux_console.h"
#include "platform/posix/tmux_key_injector.h"
#include "platform/posix/terminal_opener.h"
#include "platform/posix/tmux_console_output.h"
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

std::unique_ptr<ServerConsole> createServerConsole()
{
#ifdef _WIN32
    return std::make_unique<WinConsole>();
#else
    return std::make_unique<TmuxConsole>();
#endif
}

std::unique_ptr<KeyInjector> createKeyInjector()
{
#ifdef _WIN32
    return std::make_unique<WinKeyInjector>();
#else
    return std::make_unique<TmuxKeyInjector>();
#endif
}

std::unique_ptr<ConsoleWindowOpener> createConsoleWindowOpener()
{
#ifdef _WIN32
    return std::make_unique<WinConsoleWindowOpener>();
#else
    return std::make_unique<TerminalOpener>();
#endif
}

std::unique_ptr<ConsoleOutputReader> createConsoleOutputReader()
{
#ifdef _WIN32
    return std::make_unique<WinConsoleOutput>();
#else
    return std::make_unique<TmuxConsoleOutput>();
#endif
}

std::unique_ptr<KeyboardLayout> createKeyboardLayout()
{
#ifdef _WIN32
    return std::make_unique<WinKeyboardLayout>();
#else
    return std::make_unique<UsKeyboardLayout>();
#endif
}

} // namespace varno
