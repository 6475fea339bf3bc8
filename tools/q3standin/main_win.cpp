// q3standin on Windows: a window program like the game's dedicated server, whose console is a window of its own.
// One thread waits on the game port's event and the window's messages at once.

#include "command_line.h"
#include "server.h"
#include "startup.h"
#include "udp_socket.h"
#include "win_console_window.h"

#include <windows.h>

#include <string>

namespace {

using varno::standin::Server;
using varno::standin::UdpSocket;
using varno::standin::WinConsoleWindow;

// After a fatal error the game waits for the user; its quit then ends it as every quit does, with exit code 0.
constexpr int kFatalErrorExitCode = 0;

int run(WinConsoleWindow& console, Server& server, UdpSocket* socket)
{
    const HANDLE portReady = socket ? reinterpret_cast<HANDLE>(socket->waitHandle()) : nullptr;
    while (true) {
        const bool busy = server.runCommandBuffer();
        if (server.quitRequested()) {
            server.shutDown("Server quit");
            return 0;
        }

        const DWORD handleCount = portReady ? 1 : 0;
        if (MsgWaitForMultipleObjectsEx(handleCount, &portReady, busy ? 0 : INFINITE, QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE) == WAIT_FAILED) {
            server.print("ERROR: MsgWaitForMultipleObjects failed\n");
            return 1;
        }
        // The window's messages first, then what they brought: the game reads its console after its message pump.
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        for (const std::string& text : console.takeInput())
            server.addTypedLine(text);
        if (portReady && WaitForSingleObject(portReady, 0) == WAIT_OBJECT_0)
            varno::standin::serveWaitingDatagrams(server, *socket);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    WinConsoleWindow console(instance);
    Server server([&console](std::string_view text) { console.append(text); });
    varno::standin::StartedServer started =
        varno::standin::startServer(server, varno::standin::commandLineTextCommands(commandLine ? commandLine : ""));
    if (!started.fatalError.empty()) {
        console.waitAfterFatalError(started.fatalError);
        return kFatalErrorExitCode;
    }
    return run(console, server, started.socket.get());
}
