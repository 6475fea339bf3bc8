#include "core/launch/command_line.h"

#include "core/app/varno_error.h"
#include "core/settings/integer_text.h"

namespace varno {

namespace {

constexpr std::string_view kProgramQuoteMessage = "The game program name %s must not contain double quotes.";
constexpr std::string_view kPieceMessage = "The %s must not contain plus signs, double quotes or line breaks.";
constexpr std::string_view kZeroByteMessage = "The command line must not contain a zero byte.";
constexpr std::string_view kTooLongMessage = "The command line is %s characters long, more than the 512 allowed. "
                                             "Shorten the Game Directory or the extra command line text.";

constexpr std::string_view kPortField = "Port";
constexpr std::string_view kGameDirField = "Game Directory";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

void checkPiece(std::string_view value, std::string_view fieldName)
{
    if (value.find_first_of("+\"\r\n") != std::string_view::npos)
        throw VarnoError(formatMessage(kPieceMessage, fieldName));
}

std::string programPiece(std::string_view program)
{
    if (program.find('"') != std::string_view::npos)
        throw VarnoError(formatMessage(kProgramQuoteMessage, program));
    if (program.find_first_of(" \t") == std::string_view::npos)
        return std::string(program);
    return '"' + std::string(program) + '"';
}

} // namespace

int serverTypeIndex(std::string_view serverTypeText)
{
    return serverTypeText == kDedicatedServerType ? 1 : 0;
}

std::string_view serverTypeEntry(int index)
{
    return index == 1 ? kDedicatedServerType : kListenServerType;
}

std::string buildCommandLine(const CommandLineInput& input)
{
    checkPiece(input.port, kPortField);
    checkPiece(input.gameDir, kGameDirField);
    std::string line = programPiece(input.program);
    line += " +set net_port " + input.port;
    line += " +set fs_game " + input.gameDir;
    line += " +set dedicated " + toDecimal(input.serverType);
    line += " +set com_hunkmegs " + toDecimal(input.memory);
    line += " +exec " + std::string(kServerScriptFileName) + ' ';
    line += input.extra;
    if (line.find('\0') != std::string::npos)
        throw VarnoError(std::string(kZeroByteMessage));
    if (line.size() > kMaxCommandLineLength)
        throw VarnoError(formatMessage(kTooLongMessage, std::to_string(line.size())));
    return line;
}

std::vector<std::string> splitCommandLine(std::string_view commandLine)
{
    std::vector<std::string> arguments;
    std::size_t pos = 0;
    const std::size_t end = commandLine.size();
    while (true) {
        while (pos < end && isBlank(commandLine[pos]))
            ++pos;
        if (pos == end)
            break;
        std::string argument;
        bool quoted = false;
        for (; pos < end && (quoted || !isBlank(commandLine[pos])); ++pos) {
            const char c = commandLine[pos];
            if (c != '"') {
                argument += c;
            } else if (!quoted) {
                quoted = true;
            } else if (pos + 1 < end && commandLine[pos + 1] == '"') {
                argument += '"';
                ++pos;
            } else {
                quoted = false;
            }
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

} // namespace varno
