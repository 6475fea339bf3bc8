#include "core/settings/settings_store.h"

#include "core/settings/integer_text.h"

namespace varno {

std::string SettingsStore::ReadString(std::string_view section, std::string_view name, std::string_view defaultText)
{
    auto text = readValue(section, name);
    if (!text)
        return std::string(defaultText);
    // Stored text ends at its first zero byte.
    if (const auto zero = text->find('\0'); zero != std::string::npos)
        text->resize(zero);
    return *text;
}

int SettingsStore::ReadInteger(std::string_view section, std::string_view name, int defaultValue)
{
    const auto text = readValue(section, name);
    if (!text)
        return defaultValue;
    return parseStoredInteger(text->substr(0, text->find('\0'))).value_or(defaultValue);
}

bool SettingsStore::ReadBool(std::string_view section, std::string_view name, bool defaultValue)
{
    return ReadInteger(section, name, defaultValue ? 1 : 0) != 0;
}

void SettingsStore::WriteString(std::string_view section, std::string_view name, std::string_view text)
{
    writeValue(section, name, text);
    // The loader's Startup stage reads its values only once the restore flag is 2; without it every
    // change made on the Startup page would be lost at the next start.
    if (readByStartupStage(section, name) && ReadInteger(kRestoreFlags) != kStartupStageArmed)
        writeValue(kRestoreFlags.section, kRestoreFlags.name, toDecimal(kStartupStageArmed));
}

void SettingsStore::WriteInteger(std::string_view section, std::string_view name, int value)
{
    WriteString(section, name, toDecimal(value));
}

void SettingsStore::WriteBool(std::string_view section, std::string_view name, bool value)
{
    WriteString(section, name, value ? "1" : "0");
}

void SettingsStore::EraseSection(std::string_view section)
{
    eraseSection(section);
}

std::string SettingsStore::ReadString(const SettingKey& key)
{
    return ReadString(key.section, key.name, key.defaultText);
}

int SettingsStore::ReadInteger(const SettingKey& key)
{
    return ReadInteger(key.section, key.name, key.defaultInteger());
}

bool SettingsStore::ReadBool(const SettingKey& key)
{
    return ReadInteger(key) != 0;
}

void SettingsStore::WriteString(const SettingKey& key, std::string_view text)
{
    WriteString(key.section, key.name, text);
}

void SettingsStore::WriteInteger(const SettingKey& key, int value)
{
    WriteInteger(key.section, key.name, value);
}

void SettingsStore::WriteBool(const SettingKey& key, bool value)
{
    WriteBool(key.section, key.name, value);
}

bool SettingsStore::ValueExists(const SettingKey& key)
{
    return readValue(key.section, key.name).has_value();
}

} // namespace varno
