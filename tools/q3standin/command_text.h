#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varno::standin {

// The arguments of one console command, split as the engine's console splits them: blanks separate, double
// quotes group (there are no escapes), and "//" or "/* */" comments are skipped.
std::vector<std::string> tokenizeCommand(std::string_view text);

// A command line that tokenizes back to the given arguments: one blank between them, double quotes around
// those that would not survive bare.
std::string joinArguments(const std::vector<std::string>& args);

// The arguments from `first` on, joined by single blanks, as the engine hands them to "say" or "echo".
std::string argumentsFrom(const std::vector<std::string>& args, std::size_t first);

std::string toLower(std::string_view text);
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// The value of a decimal text the way the engine's atoi reads it: leading blanks and a sign allowed, reading stops
// at the first non-digit, 0 when there is no number.
int toInteger(std::string_view text);

// True for a non-empty text of decimal digits only.
bool isDigits(std::string_view text);

// The console's command buffer: text from scripts, the command line and the console waits here and is taken
// one command at a time, split at line ends and at semicolons outside double quotes and comments.
class CommandBuffer {
public:
    // The size of the classic server's buffer: a script larger than this cannot be executed.
    static constexpr std::size_t kCapacity = 16384;

    // Adds text at the end; false (and nothing added) when it would not fit.
    bool append(std::string_view text);
    // Adds text and a line end in front of what waits, so that it runs next (as exec and vstr do); false (and
    // nothing added) when it would not fit.
    bool insert(std::string_view text);
    // The next command, without its separator; nullopt when the buffer is empty.
    std::optional<std::string> takeCommand();
    void clear();
    bool empty() const { return m_text.empty(); }

private:
    std::string m_text;
};

} // namespace varno::standin
