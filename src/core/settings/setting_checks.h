#pragma once

#include "core/settings/schema.h"
#include "core/settings/settings_store.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varno {

// What is typed for a stored value outside the panel's fields (varno settings), checked against the schema
// as the fields would check it.

// The schema's sections, in schema order.
std::vector<std::string_view> settingSections();

// Why section and name name no value of the schema, naming the valid sections or that section's keys, for
// example "unknown key 'Nope' in section BotSettings; its keys are BotList, MinBots, ...". Nothing when
// findSetting finds the value.
std::optional<std::string> settingNameProblem(std::string_view section, std::string_view name);

// The kind of a value in one word: text, integer, flag, list or bot-flags.
std::string_view encodingName(Encoding encoding);

// The values the key takes, in words: "any text", "a whole number from 0 to 999", "0 or 1" ...
std::string validValuesText(const SettingKey& key);

// Why text is no value the key takes, naming those it does, for example "'5000' is not a valid value for
// AdvancedSettings Gravity; it takes a whole number from 0 to 999". Nothing when it is one. A number may be
// written as the store reads it (decimal, or hexadecimal after 0x).
std::optional<std::string> settingValueProblem(const SettingKey& key, std::string_view text);

// Stores a value as the panel's field stores it: a number in decimal through WriteInteger, a flag through
// WriteBool, any other value through WriteString. Throws VarnoError with settingValueProblem's text for a
// value the key does not take.
void writeSettingValue(SettingsStore& store, const SettingKey& key, std::string_view text);

} // namespace varno
