#pragma once

#include "core/settings/settings_store.h"

#include <string>
#include <string_view>
#include <vector>

namespace varno {

// The settings under HKEY_CURRENT_USER\software\Vrn: one subkey per section, REG_SZ values, through
// the ANSI registry functions.
// The first server's key under HKEY_CURRENT_USER; other servers' keys lie below it in Servers.
inline constexpr std::string_view kRegistryRoot = "software\\Vrn";

// The names of the keys right below a key of HKEY_CURRENT_USER; none when it does not exist.
std::vector<std::string> registrySubkeys(const std::string& path);
// Removes a key of HKEY_CURRENT_USER with all below it; a missing key is no error. Throws VarnoError.
void removeRegistryKey(const std::string& path);

class RegistrySettingsStore : public SettingsStore {
public:
    // The store under a key of HKEY_CURRENT_USER, created when missing.
    explicit RegistrySettingsStore(const std::string& rootKey = std::string(kRegistryRoot));
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
