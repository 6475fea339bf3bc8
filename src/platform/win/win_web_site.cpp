#include "platform/win/win_web_site.h"

#include "platform/win/win_process.h"

namespace varno {

std::optional<std::string> openWebSiteWithExplorer(const std::string& address)
{
    if (startInNewConsole("explorer " + address, 100) < 0)
        return std::string("Error: file iexplore.exe not found!  Please reinstall Internet Explorer.");
    return std::nullopt;
}

} // namespace varno
