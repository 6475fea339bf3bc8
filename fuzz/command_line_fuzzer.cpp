// Command lines as the operator edits them in the Command Line dialog, split into the game's arguments;
// and lines built from the window's fields, whose first argument must come back as the program.
//
// The first byte chooses: odd, the rest is a command line; even, the rest fills a CommandLineInput.

#include "core/app/varno_error.h"
#include "core/launch/command_line.h"
#include "fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace varno;
using Arguments = std::vector<std::string>;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Without double quotes a line is just its blank-separated words.
Arguments words(std::string_view line)
{
    Arguments result;
    std::string word;
    for (const char c : line) {
        if (!isBlank(c)) {
            word += c;
        } else if (!word.empty()) {
            result.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty())
        result.push_back(std::move(word));
    return result;
}

// Each argument in double quotes, its own double quotes doubled.
std::string quotedLine(const Arguments& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty())
            line += ' ';
        line += '"';
        for (const char c : argument) {
            if (c == '"')
                line += '"';
            line += c;
        }
        line += '"';
    }
    return line;
}

void splitLine(std::string_view line)
{
    const Arguments arguments = splitCommandLine(line);
    std::size_t characters = 0;
    for (const std::string& argument : arguments)
        characters += argument.size();
    VARNO_FUZZ_REQUIRE(characters <= line.size());
    if (line.find('"') == std::string_view::npos)
        VARNO_FUZZ_REQUIRE(arguments == words(line));
    VARNO_FUZZ_REQUIRE(splitCommandLine(quotedLine(arguments)) == arguments);
}

void buildLine(FuzzedDataProvider& provider)
{
    CommandLineInput input;
    input.program = provider.ConsumeRandomLengthString(64);
    input.port = provider.ConsumeRandomLengthString(16);
    input.gameDir = provider.ConsumeRandomLengthString(32);
    input.serverType = provider.ConsumeIntegralInRange(0, 1);
    input.memory = provider.ConsumeIntegral<int>();
    input.extra = provider.ConsumeRemainingBytesAsString();
    std::string line;
    try {
        line = buildCommandLine(input);
    } catch (const VarnoError&) {
        return;
    }
    VARNO_FUZZ_REQUIRE(line.size() <= kMaxCommandLineLength && line.find('\0') == std::string::npos);
    if (!input.program.empty()) {
        const Arguments arguments = splitCommandLine(line);
        VARNO_FUZZ_REQUIRE(!arguments.empty() && arguments.front() == input.program);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] & 1) {
        splitLine(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    } else {
        FuzzedDataProvider provider(data + 1, size - 1);
        buildLine(provider);
    }
    return 0;
}
