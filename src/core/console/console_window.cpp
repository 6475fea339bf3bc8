#include "core/console/console_window.h"

namespace varno {

std::optional<std::string> chooseTerminal(bool hasDisplay, const std::string& terminalVariable,
                                          const std::function<bool(const std::string&)>& isInstalled)
{
    if (!hasDisplay)
        return std::nullopt;
    for (const std::string& program : {std::string("x-terminal-emulator"), terminalVariable, std::string("xterm")}) {
        if (!program.empty() && isInstalled(program))
            return program;
    }
    return std::nullopt;
}

std::string tmuxAttachCommand(const std::string& socket, const std::string& session)
{
    const auto quoted = [](const std::string& word) {
        if (!word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                                                    "_-.,:/=+@%") == std::string::npos)
            return word;
        std::string text = "'";
        for (char c : word)
            text += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return text + "'";
    };
    return "tmux -L " + quoted(socket) + " attach -t " + quoted(session);
}

} // namespace varno
