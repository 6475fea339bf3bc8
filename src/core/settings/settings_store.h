#pragma once

#include "core/settings/schema.h"

#include <optional>
#include <string>
#include <string_view>

namespace varno {

// The per-user store of named sections holding named text values. One is created for each access
// and released right after it; nothing is cached between accesses.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    std::string ReadString(std::string_view section, std::string_view name, std::string_view defaultText);
    int ReadInteger(std::string_view section, std::string_view name, int defaultValue);
    bool ReadBool(std::string_view section, std::string_view name, bool defaultValue);
    void WriteString(std::string_view section, std::string_view name, std::string_view text);
    void WriteInteger(std::string_view section, std::string_view name, int value);
    void WriteBool(std::string_view section, std::string_view name, bool value);
    void EraseSection(std::string_view section);

    // The same operations addressed through the schema; a missing value reads as the schema's default.
    std::string ReadString(const SettingKey& key);
    int ReadInteger(const SettingKey& key);
    bool ReadBool(const SettingKey& key);
    void WriteString(const SettingKey& key, std::string_view text);
    void WriteInteger(const SettingKey& key, int value);
    void WriteBool(const SettingKey& key, bool value);

    // Whether the value exists at all (the loader tells "missing" from "empty" for a few values).
    bool ValueExists(const SettingKey& key);

protected:
    // The stored text, or nothing when the section or value is missing. Throws VarnoError with
    // "Invalid data type for '%s'" or "Failed to get data for '%s'".
    virtual std::optional<std::string> readValue(std::string_view section, std::string_view name) = 0;
    // Throws VarnoError with "Failed to create key %s" or "Failed to set data for '%s'".
    virtual void writeValue(std::string_view section, std::string_view name, std::string_view text) = 0;
    // A missing section is no error.
    virtual void eraseSection(std::string_view section) = 0;
};

inline constexpr std::string_view kInvalidDataType = "Invalid data type for '%s'";
inline constexpr std::string_view kFailedToCreateKey = "Failed to create key %s";
inline constexpr std::string_view kFailedToSetData = "Failed to set data for '%s'";
inline constexpr std::string_view kFailedToGetData = "Failed to get data for '%s'";

} // namespace varno
