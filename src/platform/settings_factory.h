#pragma once

#include "core/settings/settings_store.h"

#include <memory>
#include <string>

namespace varno {

// Points every store created from now on at this file (the --settings option). An empty path
// returns to the default: the VARNO_SETTINGS environment variable, else the per-user location.
void setSettingsFile(const std::string& path);

// The settings file in use; empty where the platform's own store (the Windows registry) is used.
std::string settingsFile();

// Where no installer puts InstallDir (Linux), the program's own data folder takes its place: created with
// its Maps folder and stored when InstallDir is missing. Throws VarnoError "Cannot create folder %s".
void supplyInstallDir(SettingsStore& store);

// A store on the configured location; created for one access and released after it.
std::unique_ptr<SettingsStore> createSettingsStore();

} // namespace varno
