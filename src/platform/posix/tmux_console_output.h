#pragma once

#include "core/console/console_output.h"

namespace varno {

// The output of the server console on Linux: the text of its tmux pane and the pane's history, wrapped lines
// joined. The console is the first live session on the panel's socket whose name begins with the console
// class, or, when none runs, the first that has ended.
class TmuxConsoleOutput : public ConsoleOutputReader {
public:
    std::optional<std::vector<std::string>> recentLines(std::size_t maxLines) override;
};

} // namespace varno
