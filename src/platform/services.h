#pragma once

#include "core/launch/process_launcher.h"

#include <memory>

namespace varno {

// The platform's game starter: a new console window on Windows, a tmux session elsewhere.
std::unique_ptr<ProcessLauncher> createProcessLauncher();

} // namespace varno
