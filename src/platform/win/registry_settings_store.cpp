#include "platform/win/registry_settings_store.h"

#include "core/app/varno_error.h"

#include <windows.h>

#include <vector>

namespace varno {

namespace {

HKEY rootOf(void* handle)
{
    return static_cast<HKEY>(handle);
}

} // namespace

std::vector<std::string> registrySubkeys(const std::string& path)
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    RegCloseKey(key);
    return names;
}

void removeRegistryKey(const std::string& path)
{
    const LONG status = RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
        return;
    if (RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str()) != ERROR_SUCCESS)
        throw VarnoError(formatMessage("Cannot remove key %s", path));
}

RegistrySettingsStore::RegistrySettingsStore(const std::string& rootKey)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, rootKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw VarnoError(formatMessage(kFailedToCreateKey, rootKey));
    m_root = key;
}

RegistrySettingsStore::~RegistrySettingsStore()
{
    if (m_root)
        RegCloseKey(rootOf(m_root));
}

std::optional<std::string> RegistrySettingsStore::readValue(std::string_view section, std::string_view name)
{
    const std::string sectionName(section);
    const std::string valueName(name);
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootOf(m_root), sectionName.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return std::nullopt;

    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) {
        RegCloseKey(key);
        return std::nullopt;
    }
    if (status != ERROR_SUCCESS) {
        RegCloseKey(key);
        throw VarnoError(formatMessage(kFailedToGetData, name));
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        RegCloseKey(key);
        throw VarnoError(formatMessage(kInvalidDataType, name));
    }
    std::vector<char> data(size + 1, '\0');
    status = RegQueryValueExA(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        throw VarnoError(formatMessage(kFailedToGetData, name));
    data.resize(size);
    std::string text(data.begin(), data.end());
    // The stored byte count includes the terminating zero; the text ends at the first zero byte.
    if (const auto zero = text.find('\0'); zero != std::string::npos)
        text.resize(zero);
    return text;
}

void RegistrySettingsStore::writeValue(std::string_view section, std::string_view name, std::string_view text)
{
    const std::string sectionName(section);
    const std::string valueName(name);
    const std::string data(text);
    HKEY key = nullptr;
    if (RegCreateKeyExA(rootOf(m_root), sectionName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw VarnoError(formatMessage(kFailedToCreateKey, section));
    const LONG status = RegSetValueExA(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        throw VarnoError(formatMessage(kFailedToSetData, name));
}

void RegistrySettingsStore::eraseSection(std::string_view section)
{
    const std::string sectionName(section);
    RegDeleteKeyA(rootOf(m_root), sectionName.c_str()); // a missing section is no error
}

} // namespace varno
