#include "core/settings/setting_checks.h"

#include "core/app/varno_error.h"
#include "core/settings/bot_flags.h"
#include "core/settings/integer_text.h"

#include <algorithm>

namespace varno {

namespace {

std::string listed(const std::vector<std::string_view>& names)
{
    std::string text;
    for (const std::string_view name : names) {
        if (!text.empty())
            text += ", ";
        text += name;
    }
    return text;
}

bool isValid(const SettingKey& key, std::string_view text)
{
    switch (key.encoding) {
    case Encoding::Text:
    case Encoding::CommaList:
        return true;
    case Encoding::Integer: {
        const std::optional<int> value = parseStoredInteger(text);
        return value && (!key.hasRange() || (*value >= key.minimum && *value <= key.maximum));
    }
    case Encoding::Flag:
        return text == "0" || text == "1";
    case Encoding::BotFlags:
        // One position per bot of the list; a shorter text leaves the rest unchecked.
        return text.size() <= stockBotNames().size() &&
               std::all_of(text.begin(), text.end(), [](char c) { return c == '0' || c == '1'; });
    }
    return false;
}

} // namespace

std::vector<std::string_view> settingSections()
{
    std::vector<std::string_view> sections;
    for (const SettingKey& key : allSettings()) {
        if (std::find(sections.begin(), sections.end(), key.section) == sections.end())
            sections.push_back(key.section);
    }
    return sections;
}

std::optional<std::string> settingNameProblem(std::string_view section, std::string_view name)
{
    if (findSetting(section, name))
        return std::nullopt;
    std::vector<std::string_view> keys;
    for (const SettingKey& key : allSettings()) {
        if (key.section == section)
            keys.push_back(key.name);
    }
    if (keys.empty())
        return "unknown section '" + std::string(section) + "'; the sections are " + listed(settingSections());
    return "unknown key '" + std::string(name) + "' in section " + std::string(section) + "; its keys are " +
           listed(keys);
}

std::string_view encodingName(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Text:
        return "text";
    case Encoding::Integer:
        return "integer";
    case Encoding::Flag:
        return "flag";
    case Encoding::CommaList:
        return "list";
    case Encoding::BotFlags:
        return "bot-flags";
    }
    return {};
}

std::string validValuesText(const SettingKey& key)
{
    switch (key.encoding) {
    case Encoding::Text:
        return "any text";
    case Encoding::CommaList:
        return "a list of entries separated by commas";
    case Encoding::Integer:
        if (!key.hasRange())
            return "a whole number";
        return "a whole number from " + toDecimal(key.minimum) + " to " + toDecimal(key.maximum);
    case Encoding::Flag:
        return "0 or 1";
    case Encoding::BotFlags:
        return "up to " + std::to_string(stockBotNames().size()) +
               " digits 0 or 1, one for each bot of the list in its order";
    }
    return {};
}

std::optional<std::string> settingValueProblem(const SettingKey& key, std::string_view text)
{
    if (isValid(key, text))
        return std::nullopt;
    return "'" + std::string(text) + "' is not a valid value for " + std::string(key.section) + " " +
           std::string(key.name) + "; it takes " + validValuesText(key);
}

void writeSettingValue(SettingsStore& store, const SettingKey& key, std::string_view text)
{
    if (const auto problem = settingValueProblem(key, text))
        throw VarnoError(*problem);
    if (key.encoding == Encoding::Integer)
        store.WriteInteger(key, *parseStoredInteger(text));
    else if (key.encoding == Encoding::Flag)
        store.WriteBool(key, text == "1");
    else
        store.WriteString(key, text);
}

} // namespace varno
