#include "core/settings/maps_folder.h"

#include "core/settings/schema.h"

namespace varno {

bool isMapsFolderUnset(std::string_view storedMapsDir)
{
    return storedMapsDir.size() == 1;
}

std::string shownMapsFolder(std::string_view storedMapsDir, std::string_view installDir, char separator)
{
    if (!isMapsFolderUnset(storedMapsDir))
        return std::string(storedMapsDir);
    return std::string(installDir) + separator + "Maps";
}

bool needsMapsFolderReminder(std::string_view storedMapsDir, std::string_view installDir)
{
    return isMapsFolderUnset(storedMapsDir) && installDir == kInstallDir.defaultText;
}

} // namespace varno
