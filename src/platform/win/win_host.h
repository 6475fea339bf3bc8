#pragma once

namespace varno {

// Whether this Windows program runs under Wine rather than on Windows itself: Wine's ntdll.dll exports
// wine_get_version, Windows' does not.
bool runningUnderWine();

} // namespace varno
