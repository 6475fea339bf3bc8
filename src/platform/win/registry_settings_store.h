#pragma once

#include "core/settings/settings_store.h"

namespace varno {

// The settings under HKEY_CURRENT_USER\software\Vrn: one subkey per section, REG_SZ values, through
// the ANSI registry functions.
class RegistrySettingsStore : public SettingsStore {
public:
    RegistrySettingsStore();
    ~RegistrySettingsStore() override;
    RegistrySettingsStore(const RegistrySettingsStore&) = delete;
    RegistrySettingsStore& operator=(const RegistrySettingsStore&) = delete;

protected:
    std::optional<std::string> readValue(std::string_view section, std::string_view name) override;
    void writeValue(std::string_view section, std::string_view name, std::string_view text) override;
    void eraseSection(std::string_view section) override;

private:
    void* m_root = nullptr; // HKEY of software\Vrn
};

} // namespace varno
