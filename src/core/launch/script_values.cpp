#include "core/launch/script_values.h"

#include "core/app/varno_error.h"

namespace varno {

namespace {

constexpr std::string_view kQuotedValueMessage = "The %s must not contain double quotes or line breaks.";
constexpr std::string_view kBareValueMessage =
    "The %s must not contain blanks, semicolons, double quotes, line breaks, // or /*.";
constexpr std::string_view kMapNameMessage =
    "The map name \"%s\" in the rotation list must not contain semicolons, double quotes, line breaks, // or /*.";

bool isLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

bool isBlankOrControl(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code <= 32 || code == 127;
}

bool hasCommentMark(std::string_view text)
{
    return text.find("//") != std::string_view::npos || text.find("/*") != std::string_view::npos;
}

} // namespace

void checkQuotedValue(std::string_view value, std::string_view fieldName)
{
    for (const char c : value) {
        if (c == '"' || isLineBreak(c))
            throw VarnoError(formatMessage(kQuotedValueMessage, fieldName));
    }
}

void checkBareValue(std::string_view value, std::string_view fieldName)
{
    for (const char c : value) {
        if (c == '"' || c == ';' || isBlankOrControl(c))
            throw VarnoError(formatMessage(kBareValueMessage, fieldName));
    }
    if (hasCommentMark(value))
        throw VarnoError(formatMessage(kBareValueMessage, fieldName));
}

void checkRotationMapName(std::string_view mapName)
{
    for (const char c : mapName) {
        if (c == '"' || c == ';' || isLineBreak(c))
            throw VarnoError(formatMessage(kMapNameMessage, mapName));
    }
    if (hasCommentMark(mapName))
        throw VarnoError(formatMessage(kMapNameMessage, mapName));
}

} // namespace varno
