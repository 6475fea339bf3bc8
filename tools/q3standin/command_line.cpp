#include "command_line.h"

#include <utility>

namespace varno::standin {

namespace {

bool isBlankText(const std::string& text)
{
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::vector<std::string> commandLineCommands(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        const bool quote = argument.find(' ') != std::string::npos;
        line += quote ? '"' + argument + '"' : argument;
        line += ' ';
    }
    return commandLineTextCommands(std::move(line));
}

std::vector<std::string> commandLineTextCommands(std::string line)
{
    if (line.size() > kMaxCommandLineLength - 1)
        line.resize(kMaxCommandLineLength - 1);

    std::vector<std::string> commands;
    std::string current;
    bool inQuotes = false;
    bool started = false; // text before the first "+" is not a command
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"')
            inQuotes = !inQuotes;
        const bool wordStart = i == 0 || line[i - 1] == ' ';
        if (c == '+' && !inQuotes && wordStart) {
            if (started && !isBlankText(current))
                commands.push_back(trimmed(current));
            current.clear();
            started = true;
            continue;
        }
        current += c;
    }
    if (started && !isBlankText(current))
        commands.push_back(trimmed(current));
    return commands;
}

} // namespace varno::standin
