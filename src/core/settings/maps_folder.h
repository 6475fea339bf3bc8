#pragma once

#include <string>
#include <string_view>

namespace varno {

// The stored MapsDir of one character (the missing value's "." among them) stands for "not chosen".
bool isMapsFolderUnset(std::string_view storedMapsDir);

// The maps folder that the Properties dialog shows: the stored one, or else the Maps folder of the
// program's installation folder.
std::string shownMapsFolder(std::string_view storedMapsDir, std::string_view installDir, char separator);

// Whether the operator has to be asked for the maps folder: none is stored and there is no installation
// folder (InstallDir at its missing value) to fall back on.
bool needsMapsFolderReminder(std::string_view storedMapsDir, std::string_view installDir);

} // namespace varno
