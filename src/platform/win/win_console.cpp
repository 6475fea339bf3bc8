#include "platform/win/win_console.h"

#include "core/console/console_names.h"

#include <windows.h>

#include <string>

namespace varno {

namespace {

constexpr const char* kInputFieldClass = "Edit";

HWND findConsole()
{
    const std::string windowClass(kConsoleWindowClass);
    return FindWindowA(windowClass.c_str(), nullptr);
}

} // namespace

bool WinConsole::exists()
{
    return findConsole() != nullptr;
}

bool WinConsole::bringInputToForeground()
{
    const HWND console = findConsole();
    if (!console)
        return false;
    const HWND input = FindWindowExA(console, nullptr, kInputFieldClass, nullptr);
    if (!input)
        return false;
    // Activating the console moves the keyboard focus to its input line.
    return SetForegroundWindow(input) != FALSE;
}

} // namespace varno
