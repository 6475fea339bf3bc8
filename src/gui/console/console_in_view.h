#pragma once

#include <string>

namespace varno {

class StatusLine;

// After a launch: opens a window on the new server's console when the operator wants one (the Properties
// dialog's "Open the server console in a terminal window"), and says on the status line whether it showed
// the console or how to see it otherwise.
void showConsoleAfterLaunch(const std::string& consoleName, bool openWindow, StatusLine* statusLine);

// How long a started terminal may take to show the console before the status line gives the command instead.
inline constexpr int kConsoleWindowPatienceMs = 5000;

} // namespace varno
