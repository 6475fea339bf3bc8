#pragma once

#include "core/settings/settings_store.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace varno::test {

// The store's rules without a file: sections of named texts in memory, every write recorded.
class MemoryStore : public SettingsStore {
public:
    std::map<std::pair<std::string, std::string>, std::string> values;
    std::vector<std::string> writes;

protected:
    std::optional<std::string> readValue(std::string_view section, std::string_view name) override
    {
        const auto it = values.find({std::string(section), std::string(name)});
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    void writeValue(std::string_view section, std::string_view name, std::string_view text) override
    {
        values[{std::string(section), std::string(name)}] = std::string(text);
        writes.push_back(std::string(name) + "=" + std::string(text));
    }
    void eraseSection(std::string_view) override {}
};

} // namespace varno::test
