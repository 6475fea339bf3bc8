#include "core/settings/damaged_settings.h"

#include "core/app/varno_error.h"

namespace varno {

namespace {

// A file of binary junk has a broken line for every line break; a handful tells the operator enough.
constexpr std::size_t kLinesNamed = 5;

constexpr std::string_view kCouldNotBeRead = "The settings file %s could not be read: ";
constexpr std::string_view kMoreLines = "; and %s more";
constexpr std::string_view kKeptAsWithValues =
    ". It was kept as %s, and Varno Server now uses the values that could still be read from it (";
constexpr std::string_view kDefaultsForTheRest = ") and the default settings for the rest.";
constexpr std::string_view kKeptAsWithoutValues =
    ". It was kept as %s, and Varno Server now uses the default settings.";
constexpr std::string_view kNotKeptAside =
    ". It could not be kept aside, so Varno Server uses the default settings until it is mended or removed.";

std::string_view faultText(IniLineFault fault)
{
    switch (fault) {
    case IniLineFault::NoEquals:
        return "has no \"=\"";
    case IniLineFault::ZeroByte:
        return "holds a zero byte";
    case IniLineFault::CarriageReturn:
        return "holds a carriage return";
    case IniLineFault::OpenQuote:
        return "leaves a double quote open";
    case IniLineFault::NoClosingBracket:
        return "has no closing \"]\"";
    case IniLineFault::CutOff:
        return "is cut off (the file does not end with a line break)";
    }
    return {};
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator)
{
    std::string text;
    for (const std::string& part : parts) {
        if (&part != &parts.front())
            text += separator;
        text += part;
    }
    return text;
}

} // namespace

std::string describeUnreadableLine(const UnreadableIniLine& line)
{
    std::string text = "line " + std::to_string(line.line);
    if (!line.start.empty())
        text += " (" + line.start + ")";
    text += ' ';
    text += faultText(line.fault);
    if (line.lastLineBelow == line.line + 1)
        text += ", so line " + std::to_string(line.lastLineBelow) + " below it was left out too";
    else if (line.lastLineBelow > line.line)
        text += ", so the lines below it up to line " + std::to_string(line.lastLineBelow) + " were left out too";
    return text;
}

std::string damagedSettingsNotice(const DamagedSettingsFile& file)
{
    std::vector<std::string> named;
    for (std::size_t i = 0; i < file.lines.size() && i < kLinesNamed; ++i)
        named.push_back(describeUnreadableLine(file.lines[i]));
    std::string notice = formatMessage(kCouldNotBeRead, file.path) + joined(named, "; ");
    if (file.lines.size() > kLinesNamed)
        notice += formatMessage(kMoreLines, std::to_string(file.lines.size() - kLinesNamed));
    if (file.keptAs.empty())
        return notice + std::string(kNotKeptAside);
    if (file.keptValues.empty())
        return notice + formatMessage(kKeptAsWithoutValues, file.keptAs);
    return notice + formatMessage(kKeptAsWithValues, file.keptAs) + joined(file.keptValues, ", ") +
           std::string(kDefaultsForTheRest);
}

} // namespace varno
