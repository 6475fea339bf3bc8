#include "platform/web_site_opener.h"

#ifdef _WIN32
#include "platform/win/win_web_site.h"
#else
#include "platform/posix/url_opener.h"
#endif

namespace varno {

std::optional<std::string> openWebSite(const std::string& address)
{
#ifdef _WIN32
    return openWebSiteWithExplorer(address);
#else
    return openWebSiteWithUrlOpener(address);
#endif
}

} // namespace varno
