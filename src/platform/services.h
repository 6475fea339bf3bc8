#pragma once

#include "core/console/console_output.h"
#include "core/console/console_window.h"
#include "core/console/key_player.h"
#include "core/console/keyboard_layout.h"
#include "core/console/server_console.h"
#include "core/launch/process_launcher.h"

#include <memory>
#include <string>

namespace varno {

// The platform's game starter: a new console window on Windows, a tmux session elsewhere.
std::unique_ptr<ProcessLauncher> createProcessLauncher();
// The same for one server's profile, whichever is selected when it is used: its console lives where that server's
// consoles live (its own tmux socket on Linux).
std::unique_ptr<ProcessLauncher> createProcessLauncherFor(const std::string& profile);

// The running server's console: its window on Windows, its tmux session elsewhere.
std::unique_ptr<ServerConsole> createServerConsole();

// Where played keys go: the system's input stream on Windows, the console's tmux pane elsewhere.
std::unique_ptr<KeyInjector> createKeyInjector();

// Puts a launched server's console in view: nothing to do on Windows, a terminal window elsewhere.
std::unique_ptr<ConsoleWindowOpener> createConsoleWindowOpener();

// What the running server's console shows: its window's output on Windows, its tmux pane elsewhere.
std::unique_ptr<ConsoleOutputReader> createConsoleOutputReader();

// The keyboard layout characters are typed with: the system's on Windows, a US layout elsewhere.
std::unique_ptr<KeyboardLayout> createKeyboardLayout();

// The open dialog's filter for the game program: quake3.exe on Windows, the dedicated servers found elsewhere.
std::string gameProgramFileFilter();

// Settles how Qt draws on this system, before the application object exists: under Wine text is drawn with
// FreeType, since Wine's DirectWrite has been seen to leave edits and spin boxes without text.
void prepareGuiPlatform();

// The folder crash logs go to: $XDG_STATE_HOME/varno-server (~/.local/state/varno-server); on Windows the
// settings file's folder, or the per-user application data folder beside the registry settings.
std::string crashLogFolder();

} // namespace varno
