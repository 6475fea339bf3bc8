#pragma once

#include "core/settings/settings_store.h"

#include <memory>
#include <string>
#include <vector>

namespace varno {

// Points every store created from now on at this file (the --settings option). An empty path
// returns to the default: the VARNO_SETTINGS environment variable, else the per-user location.
void setSettingsFile(const std::string& path);

// The server every store created from now on belongs to: empty for the first server, else another server's
// profile id (see core/settings/server_profiles.h). Another server's settings lie beside the first one's: the
// file settings.<id>.ini next to the settings file, or the key software\Vrn\Servers\<id>.
void setServerProfile(const std::string& id);
std::string serverProfile();
// Selects a server for as long as it lives, then the one selected before: for the services of a server that is not
// the selected one (its launcher's tmux socket, its console window), run on the panel's one thread.
class ServerProfileScope {
public:
    explicit ServerProfileScope(const std::string& id)
        : m_before(serverProfile())
    {
        setServerProfile(id);
    }
    ~ServerProfileScope() { setServerProfile(m_before); }
    ServerProfileScope(const ServerProfileScope&) = delete;
    ServerProfileScope& operator=(const ServerProfileScope&) = delete;

private:
    std::string m_before;
};
// The ids of the other servers' profiles, sorted.
std::vector<std::string> otherServerProfiles();
// Removes another server's settings; the first server's are never removed.
void removeServerProfile(const std::string& id);

// The settings file in use (the selected server's); empty where the platform's own store (the Windows
// registry) is used.
std::string settingsFile();
// The same for any server's profile, selected or not.
std::string settingsFileOf(const std::string& profile);

// Where no installer puts InstallDir (Linux), the program's own data folder takes its place: created with
// its Maps folder and stored when InstallDir is missing. Throws VarnoError "Cannot create folder %s".
void supplyInstallDir(SettingsStore& store);

// What the panel and varno do with the settings file in use once, at their start, before anything reads it: a
// file that cannot be read is kept aside and a fresh one starts with the values that could still be read from
// it (see SettingsFileStore::setAsideIfDamaged). Returns the notice to show the operator, which names the lines
// that could not be read and where the original was kept; empty when the file was sound, absent or the
// platform's own store is in use.
std::string recoverDamagedSettingsFile();

// Where the selected server's settings are, for the operator: the file, or the registry key.
std::string settingsLocation();

// A store on the configured location; created for one access and released after it.
std::unique_ptr<SettingsStore> createSettingsStore();
// A store of any server's profile, selected or not.
std::unique_ptr<SettingsStore> createSettingsStoreOf(const std::string& profile);

} // namespace varno
